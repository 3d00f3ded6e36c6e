#include "platform/keystate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

#include <array>

namespace platform {

namespace {

std::array<bool, 256>& held() {
    static std::array<bool, 256> keys{};
    return keys;
}

// Records every key going down or up anywhere in the application, like the system's key map.
class KeyStateTracker : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) {
                if (const int vk = virtualKey(*key)) setKeyDown(vk, event->type() == QEvent::KeyPress);
            }
        } else if (event->type() == QEvent::ApplicationDeactivate) {
            // Releases outside our windows never reach us.
            releaseAllKeys();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

std::int16_t GetAsyncKeyState(int vk) {
    if (vk < 0 || vk >= static_cast<int>(held().size())) return 0;
    return held()[static_cast<std::size_t>(vk)] ? static_cast<std::int16_t>(0x8000) : std::int16_t{0};
}

int virtualKey(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? VK_NUMPAD0 : VK_0) + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return VK_A + (key - Qt::Key_A);
    switch (key) {
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    default:
        return 0;
    }
}

void installKeyStateTracker(QObject* application) {
    application->installEventFilter(new KeyStateTracker(application));
}

void setKeyDown(int vk, bool down) {
    if (vk >= 0 && vk < static_cast<int>(held().size())) held()[static_cast<std::size_t>(vk)] = down;
}

void releaseAllKeys() {
    held().fill(false);
}

} // namespace platform
