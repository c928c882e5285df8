#include "util/descramble.h"

#include <gtest/gtest.h>

#include <string>

namespace norvane {
namespace {

using namespace std::string_literals;

// Scrambling at run time, to check the compile-time one against it.
std::string ScrambleAtRunTime(std::string text) {
    for (std::size_t i = 1; i + 3 < text.size(); i += 2) std::swap(text[i], text[i + 3]);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(static_cast<unsigned char>(text[i]) + (i + 1) % 5);
    return text;
}

TEST(DescrambleText, ShiftsByPositionModFive) {
    EXPECT_EQ(DescrambleText(""), "");
    EXPECT_EQ(DescrambleText("\x00"s), "\xff"s);
    EXPECT_EQ(DescrambleText("bdfh"), "abcd");  // up to 4 characters: only shifted
    EXPECT_EQ(DescrambleText("\x01\x02\x03\x03"s), "\x00\x00\x00\xff"s);
    EXPECT_EQ(DescrambleText("zzzzzzzzzz")[9], 'z');  // position 10 keeps its code, unswapped
}

TEST(DescrambleText, SwapsEvenPositionsWithThreeFurther) {
    // After the shift "abcdefgh" the pairs (2,5) and (4,7) are exchanged.
    const std::string shifted = "abcdefgh";
    std::string stored = shifted;
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<char>(stored[i] + (i + 1) % 5);
    EXPECT_EQ(DescrambleText(stored), "aecgbfdh");
    // Odd length: the last character takes part.
    EXPECT_EQ(DescrambleText(ScrambleAtRunTime("1234567")), "1234567");
}

TEST(DescrambleText, UndoesScramblingForEveryLengthAndByte) {
    for (std::size_t length = 0; length <= 64; ++length) {
        for (int value = 0; value < 256; ++value) {
            std::string text(length, '\0');
            for (std::size_t i = 0; i < length; ++i)
                text[i] = static_cast<char>((value + 37 * i) & 0xFF);
            const std::string stored = ScrambleAtRunTime(text);
            ASSERT_EQ(stored.size(), length);
            ASSERT_EQ(DescrambleText(stored), text) << "length " << length << " value " << value;
        }
    }
}

TEST(Scramble, CompileTimeFormMatchesAndRoundTrips) {
    constexpr auto stored = SCRAMBLED("Reset all settings to their factory defaults ?");
    static_assert(stored.view().size() == 46);
    EXPECT_EQ(std::string(stored.view()),
              ScrambleAtRunTime("Reset all settings to their factory defaults ?"));
    EXPECT_EQ(stored.Display(), "Reset all settings to their factory defaults ?");
    EXPECT_NE(std::string(stored.view()), stored.Display());
    constexpr auto empty = SCRAMBLED("");
    EXPECT_EQ(empty.Display(), "");
}

}  // namespace
}  // namespace norvane
