#include "platform/tickcount.h"

#include <chrono>
#include <utility>

namespace platform {

namespace {
std::function<std::uint32_t()>& tickSource() {
    static std::function<std::uint32_t()> source;
    return source;
}
} // namespace

std::uint32_t GetTickCount() {
    if (auto& source = tickSource()) return source();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void setTickSource(std::function<std::uint32_t()> source) {
    tickSource() = std::move(source);
}

} // namespace platform
