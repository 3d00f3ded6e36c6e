#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

// Ends the process the moment the watched window has painted for the first time, so the
// parent measures the time to a window on the screen and the peak memory up to then.
class ShownProbe : public QObject {
  public:
    explicit ShownProbe(QWidget* window) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::puts("shown");
            std::fflush(stdout);
            std::_Exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
};
