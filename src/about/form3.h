#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
namespace platform {
class ImageBox;
}

// The version window, opened from the title picture.
class Form3 : public QDialog {
    Q_OBJECT
  public:
    explicit Form3(QWidget* title);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Command1;
    platform::ImageBox* Image1;

    void Form_Load();
    void Command1_Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
