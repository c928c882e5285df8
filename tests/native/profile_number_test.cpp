#include "app/profile_number.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(ParseProfileInteger, DecimalWithBlanksAndSign) {
    EXPECT_EQ(ParseProfileInteger("250"), 250);
    EXPECT_EQ(ParseProfileInteger("   -40"), -40);
    EXPECT_EQ(ParseProfileInteger("+7"), 7);
    EXPECT_EQ(ParseProfileInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseProfileInteger("2147483647"), INT32_MAX);
}

TEST(ParseProfileInteger, Hexadecimal) {
    EXPECT_EQ(ParseProfileInteger("0x120"), 288);
    EXPECT_EQ(ParseProfileInteger("0X120"), 288);
    EXPECT_EQ(ParseProfileInteger("$1f"), 31);
    EXPECT_EQ(ParseProfileInteger("x10"), 16);
    EXPECT_EQ(ParseProfileInteger("-$10"), -16);
    EXPECT_EQ(ParseProfileInteger("$FFFFFFFF"), -1);
}

TEST(ParseProfileInteger, AnythingElseIsNothing) {
    for (const char* text : {"", "abc", "12a", "0x", "$", " ", "-", "1 2", "2147483648",
                             "-2147483649", "$100000000", "\t5"})
        EXPECT_EQ(ParseProfileInteger(text), std::nullopt) << text;
}

}  // namespace
}  // namespace norvane
