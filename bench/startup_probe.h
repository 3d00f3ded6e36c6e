#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

// Ends the process once the watched window and everything in it has been painted for the
// first time, so the parent measures the time to a window on the screen and the peak memory
// up to then.
class ShownProbe : public QObject {
  public:
    explicit ShownProbe(QWidget* window) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Queued behind the children's paints of the same frame.
            QTimer::singleShot(0, [] {
                std::puts("shown");
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};
