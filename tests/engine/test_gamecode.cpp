#include "engine/gamecode.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

namespace {

using engine::decodeGameCode;
using engine::encodeGameCode;
using engine::GameCode;

constexpr std::string_view Alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

std::string withoutHyphens(std::string text) {
    std::erase(text, '-');
    return text;
}

TEST(GameCode, RoundTripsEveryFieldAndFitsTwelveCharacters) {
    std::mt19937 gen(2024);
    for (int i = 0; i < 20000; ++i) {
        const GameCode code{static_cast<int>(gen() % 3), (gen() & 1) != 0, (gen() & 1) != 0,
                            static_cast<std::uint32_t>(gen())};
        const std::string text = encodeGameCode(code);
        ASSERT_LE(text.size(), 12u) << text;
        for (const char c : withoutHyphens(text)) ASSERT_NE(Alphabet.find(c), std::string_view::npos) << text;
        const auto back = decodeGameCode(text);
        ASSERT_TRUE(back) << text;
        ASSERT_EQ(*back, code) << text;
    }
    for (const std::uint32_t seed : {0u, 1u, 0xFFFFFFFFu}) {
        const GameCode edge{2, true, true, seed};
        EXPECT_EQ(decodeGameCode(encodeGameCode(edge)), edge);
    }
}

TEST(GameCode, AcceptsAnyCaseSpacesHyphensAndLookalikes) {
    const GameCode code{1, true, false, 0x01234567u};
    const std::string text = encodeGameCode(code);
    EXPECT_EQ(text.size(), 11u);
    EXPECT_EQ(text[3], '-');
    EXPECT_EQ(text[7], '-');
    std::string lower = text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(decodeGameCode(lower), code);
    const std::string bare = withoutHyphens(text);
    EXPECT_EQ(decodeGameCode(bare), code);
    EXPECT_EQ(decodeGameCode(" " + bare.substr(0, 4) + " - " + bare.substr(4) + " "), code);
    std::string lookalikes = bare;
    for (char& c : lookalikes) {
        if (c == '0') c = 'o';
        if (c == '1') c = 'l';
    }
    EXPECT_EQ(decodeGameCode(lookalikes), code);
    // Pasted from a message or a spreadsheet cell.
    EXPECT_EQ(decodeGameCode("\t" + bare.substr(0, 3) + "\r\n" + bare.substr(3) + "\n"), code);
}

TEST(GameCode, KnownCodeKeepsItsString) {
    // Codes already handed out must keep meaning the same game.
    EXPECT_EQ(encodeGameCode({1, true, false, 123456789u}), "0M3-NQK-8NE");
}

TEST(GameCode, RefusesEverySingleWrongCharacterAndEverySwapOfNeighbours) {
    std::mt19937 gen(7);
    for (int sample = 0; sample < 200; ++sample) {
        const GameCode code{static_cast<int>(gen() % 3), (gen() & 1) != 0, (gen() & 1) != 0,
                            static_cast<std::uint32_t>(gen())};
        const std::string bare = withoutHyphens(encodeGameCode(code));
        for (std::size_t at = 0; at < bare.size(); ++at) {
            for (const char c : Alphabet) {
                if (c == bare[at]) continue;
                std::string typo = bare;
                typo[at] = c;
                ASSERT_FALSE(decodeGameCode(typo)) << bare << " -> " << typo;
            }
            if (at + 1 < bare.size() && bare[at] != bare[at + 1]) {
                std::string swapped = bare;
                std::swap(swapped[at], swapped[at + 1]);
                ASSERT_FALSE(decodeGameCode(swapped)) << bare << " -> " << swapped;
            }
        }
    }
}

TEST(GameCode, RefusesWrongLengthsForeignCharactersAndOutOfRangeFields) {
    const std::string bare = withoutHyphens(encodeGameCode({0, false, false, 12345u}));
    EXPECT_FALSE(decodeGameCode(""));
    EXPECT_FALSE(decodeGameCode("---"));
    EXPECT_FALSE(decodeGameCode(bare.substr(0, 8)));
    EXPECT_FALSE(decodeGameCode(bare + "0"));
    EXPECT_FALSE(decodeGameCode(bare.substr(0, 8) + "U"));
    EXPECT_FALSE(decodeGameCode(bare.substr(0, 4) + "_" + bare.substr(4)));
    EXPECT_FALSE(decodeGameCode(std::string_view("\0", 1)));
    // Every first two characters (spare bits, 理牌, level, ノーテンあり) with every check
    // character: only in-range fields pass, and each passing code is the one its fields encode.
    int accepted = 0;
    for (const char first : Alphabet)
        for (const char second : Alphabet)
            for (const char check : Alphabet) {
                std::string text = bare;
                text[0] = first;
                text[1] = second;
                text[8] = check;
                const auto code = decodeGameCode(text);
                if (!code) continue;
                ++accepted;
                ASSERT_LE(code->level, 2) << text;
                ASSERT_EQ(withoutHyphens(encodeGameCode(*code)), text);
            }
    // 理牌 either way and a practice shape 0..5 with the top bit zero: 12 first characters;
    // level 0..2: 24 second ones.
    EXPECT_EQ(accepted, 12 * 24);
}

} // namespace
