#include "engine/gamecode.h"

#include <gtest/gtest.h>

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

GameCode randomCode(std::mt19937& gen) {
    return {static_cast<int>(gen() % 3), (gen() & 1) != 0, (gen() & 1) != 0,
            static_cast<std::uint32_t>(gen())};
}

TEST(GameCode, RoundTripsEveryFieldAndFitsTwelveCharacters) {
    std::mt19937 gen(2024);
    for (int i = 0; i < 20000; ++i) {
        const GameCode code = randomCode(gen);
        const std::string text = encodeGameCode(code);
        ASSERT_LE(text.size(), 12u) << text;
        for (const char c : withoutHyphens(text)) ASSERT_NE(Alphabet.find(c), std::string_view::npos) << text;
        ASSERT_EQ(decodeGameCode(text), code) << text;
    }
    for (const std::uint32_t seed : {0u, 1u, 0xFFFFFFFFu}) {
        const GameCode edge{2, true, true, seed};
        EXPECT_EQ(decodeGameCode(encodeGameCode(edge)), edge);
    }
    // Codes already handed out must keep meaning the same game.
    EXPECT_EQ(encodeGameCode({1, true, false, 123456789u}), "0M3-NQK-8NE");
}

TEST(GameCode, AcceptsAnyCaseSpacesHyphensLookalikesAndPastedLineEnds) {
    const GameCode code{1, true, false, 1000001u};
    for (const char* typed : {"0m0-0yg-j1b", "0M00YGJ1B", " 0M00 - YGJ1B ", "oMO0YGjlB", "\t0M0\r\n0YGJ1B\n"})
        EXPECT_EQ(decodeGameCode(typed), code) << typed;
}

TEST(GameCode, RefusesEverySingleWrongCharacterAndEverySwapOfNeighbours) {
    std::mt19937 gen(7);
    for (int sample = 0; sample < 200; ++sample) {
        const std::string bare = withoutHyphens(encodeGameCode(randomCode(gen)));
        for (std::size_t at = 0; at < bare.size(); ++at) {
            std::string typo = bare;
            for (const char c : Alphabet) {
                typo[at] = c;
                ASSERT_TRUE(c == bare[at] || !decodeGameCode(typo)) << bare << " -> " << typo;
            }
            if (at + 1 < bare.size() && bare[at] != bare[at + 1]) {
                std::string swapped = bare;
                std::swap(swapped[at], swapped[at + 1]);
                ASSERT_FALSE(decodeGameCode(swapped)) << bare << " -> " << swapped;
            }
        }
    }
}

TEST(GameCode, RefusesWrongLengthsForeignCharactersAndLevelThree) {
    const std::string bare = withoutHyphens(encodeGameCode({0, false, false, 12345u}));
    for (const std::string& text :
         {std::string(), std::string("---"), bare.substr(0, 8), bare + "0", bare.substr(0, 8) + "U",
          bare.substr(0, 4) + "_" + bare.substr(4), std::string("\0", 1)})
        EXPECT_FALSE(decodeGameCode(text)) << text;
    // The level's two bits hold 3 too; its check character is right, its level is not.
    EXPECT_FALSE(decodeGameCode(encodeGameCode({3, false, false, 12345u})));
}

} // namespace
