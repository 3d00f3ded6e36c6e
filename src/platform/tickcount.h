#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system's tick count.
std::uint32_t GetTickCount();

// Tests drive the clock by hand; an empty function restores the system clock.
void setTickSource(std::function<std::uint32_t()> source);

// Milliseconds from start to now, right across a wrap of the counter.
constexpr std::uint32_t elapsedTicks(std::uint32_t start, std::uint32_t now) {
    return now - start;
}

} // namespace platform
