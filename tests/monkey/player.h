#pragma once

#include "title/form2.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace testsupport {
class Environment;
}

namespace monkey {

// Drives the program's own windows from a timer, so it keeps running inside the nested event
// loops of modal windows: a title window it re-creates when it closes, and whatever window is
// on top. Knows how to play a game right; what else it does is up to the subclass.
class Driver : public QObject {
    Q_OBJECT
  public:
    explicit Driver(testsupport::Environment& env);
    ~Driver() override;

    // Steps until step() returns false, then closes every window and ends the event loop.
    void run();

    int titlesClosed = 0;
    int gamesFinished = 0;

  protected:
    virtual bool step() = 0;

    // The window input would reach now: a popup, the modal window on top, else the title window.
    QWidget* topWindow() const;
    Form2* title() const { return title_; }
    testsupport::Environment& env() { return env_; }

    // One move of a player who knows the answer; returns true when a game has just ended.
    bool playRight(QWidget* top);

  private:
    void openTitle();
    void titleClosed();
    void tick();
    void tearDown();

    testsupport::Environment& env_;
    QPointer<Form2> title_;
    bool finishing_ = false;
    bool stopped_ = false;
};

// The resident memory of this process in kB (VmRSS), or -1 when unknown.
long residentKb();

} // namespace monkey
