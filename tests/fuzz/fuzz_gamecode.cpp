// Any bytes typed or pasted as a game code: decoding never misbehaves, and whatever it
// accepts encodes back to a code that reads as the same game.
#include "engine/gamecode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto code = engine::decodeGameCode(text);
    if (!code) return 0;
    if (code->level < 0 || code->level > 2) std::abort();
    const auto again = engine::decodeGameCode(engine::encodeGameCode(*code));
    if (!again || !(*again == *code)) std::abort();
    return 0;
}
