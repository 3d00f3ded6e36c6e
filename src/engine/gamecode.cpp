#include "engine/gamecode.h"

#include <array>

namespace engine {

namespace {

constexpr std::string_view Alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
// 40 bits: seed 32, level 2, NotenOK 1, SortHai 1, shape 3 (0 none, else 1 + shape), 1 kept
// zero. Codes made before the shape existed have zeros there and read as they always did.
constexpr int DataChars = 8;
constexpr int CodeChars = DataChars + 1;

// Multiplication in GF(32) modulo x^5 + x^2 + 1. A check over a field, rather than a sum
// modulo 32, catches every swap of neighbours as well as every single wrong character.
int gfMul(int a, int b) {
    int product = 0;
    for (; b != 0; b >>= 1) {
        if (b & 1) product ^= a;
        a <<= 1;
        if (a & 0x20) a ^= 0x25;
    }
    return product;
}

// The sum of digit i times x^i over all positions; a valid code sums to zero.
int weightedSum(const std::array<int, CodeChars>& digits, int count) {
    int sum = 0, weight = 1;
    for (int i = 0; i < count; ++i) {
        sum ^= gfMul(weight, digits[i]);
        weight = gfMul(weight, 2);
    }
    return sum;
}

int inverse(int a) {
    for (int b = 1; b < 32; ++b)
        if (gfMul(a, b) == 1) return b;
    return 0;
}

int digitOf(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == 'O') c = '0';
    if (c == 'I' || c == 'L') c = '1';
    const auto at = Alphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// The digits of a code with separators dropped; nullopt on any other character or length.
std::optional<std::array<int, CodeChars>> readDigits(std::string_view text) {
    std::array<int, CodeChars> digits{};
    int count = 0;
    for (const char c : text) {
        // Pasted codes bring tabs and line ends along; they separate like spaces.
        if (c == ' ' || c == '-' || c == '\t' || c == '\r' || c == '\n') continue;
        const int d = digitOf(c);
        if (d < 0 || count == CodeChars) return std::nullopt;
        digits[count++] = d;
    }
    if (count != CodeChars) return std::nullopt;
    return digits;
}

constexpr int ShapeCount = 5;

} // namespace

std::string encodeGameCode(const GameCode& code) {
    const std::uint64_t bits = std::uint64_t{code.seed} | std::uint64_t(code.level & 3) << 32 |
                               std::uint64_t{code.notenOK} << 34 | std::uint64_t{code.sortHai} << 35 |
                               std::uint64_t(code.shape & 7) << 36;
    std::array<int, CodeChars> digits{};
    for (int i = 0; i < DataChars; ++i) digits[i] = static_cast<int>(bits >> (5 * (DataChars - 1 - i)) & 31);
    // Choose the check so the whole sum vanishes: c * x^8 = sum of the rest.
    const int weight8 = gfMul(16, 16); // x^8 = (x^4)^2
    digits[DataChars] = gfMul(weightedSum(digits, DataChars), inverse(weight8));
    std::string text;
    for (int i = 0; i < CodeChars; ++i) {
        if (i > 0 && i % 3 == 0) text += '-';
        text += Alphabet[static_cast<std::size_t>(digits[i])];
    }
    return text;
}

std::optional<GameCode> decodeGameCode(std::string_view text) {
    const auto digits = readDigits(text);
    if (!digits || weightedSum(*digits, CodeChars) != 0) return std::nullopt;
    std::uint64_t bits = 0;
    for (int i = 0; i < DataChars; ++i) bits = bits << 5 | static_cast<std::uint64_t>((*digits)[i]);
    const int level = static_cast<int>(bits >> 32 & 3);
    const int shape = static_cast<int>(bits >> 36);
    if (level > 2 || shape > ShapeCount) return std::nullopt;
    GameCode code{level, (bits >> 34 & 1) != 0, (bits >> 35 & 1) != 0, static_cast<std::uint32_t>(bits)};
    code.shape = shape;
    return code;
}

} // namespace engine
