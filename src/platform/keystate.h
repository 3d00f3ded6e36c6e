#pragma once

#include <cstdint>

class QKeyEvent;
class QObject;

namespace platform {

// Virtual-key codes the game listens for.
enum VirtualKey : int {
    VK_RETURN = 13,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_0 = 48,
    VK_A = 65,
    VK_NUMPAD0 = 96,
};

// High bit 0x8000 set while the key is held, as the asynchronous key query answers.
std::int16_t GetAsyncKeyState(int vk);

// The virtual-key code of a Qt key event (0 when the game has no use for it).
int virtualKey(const QKeyEvent& event);

// Held keys are recorded from the application's own key events: install once.
void installKeyStateTracker(QObject* application);

// For tests: press or release a key without an event.
void setKeyDown(int vk, bool down);
void releaseAllKeys();

} // namespace platform
