#include "platform/keystate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

#include <array>
#include <utility>

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

namespace {

// The physical keys the game reads, by X11 keycode (evdev + 8), whatever Shift, Caps Lock or
// the layout make them type.
int fromScanCode(quint32 scan) {
    if (scan >= 10 && scan <= 18) return VK_0 + 1 + static_cast<int>(scan - 10); // 1..9
    if (scan == 19) return VK_0;
    static constexpr std::array<std::pair<quint32, int>, 3> keypadRows{{{79, 7}, {83, 4}, {87, 1}}};
    for (const auto& [first, digit] : keypadRows) {
        if (scan >= first && scan < first + 3) return VK_NUMPAD0 + digit + static_cast<int>(scan - first);
    }
    if (scan == 90) return VK_NUMPAD0;
    static constexpr std::array<std::pair<quint32, char>, 11> letters{{{24, 'Q'},
                                                                       {25, 'W'},
                                                                       {38, 'A'},
                                                                       {39, 'S'},
                                                                       {40, 'D'},
                                                                       {41, 'F'},
                                                                       {52, 'Z'},
                                                                       {53, 'X'},
                                                                       {54, 'C'},
                                                                       {114, VK_RIGHT},
                                                                       {116, VK_DOWN}}};
    for (const auto& [code, vk] : letters) {
        if (scan == code) return vk;
    }
    return 0;
}

} // namespace

int virtualKey(const QKeyEvent& event) {
    // Without a scan code (an offscreen or synthetic event) the key's own code must do.
    if (const int vk = fromScanCode(event.nativeScanCode())) return vk;
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
