#pragma once

#include <QDialog>

class Form2;

// The game screen (being built): for now an empty modal window.
class Form1 : public QDialog {
    Q_OBJECT
  public:
    explicit Form1(Form2* title);
    bool replayRequested() const { return replay_; }

  private:
    bool replay_ = false;
};
