#include "util/text_fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace norvane {
namespace {

using namespace std::string_literals;

TEST(ReplaceAllText, ReplacesAgainFromTheFront) {
    EXPECT_EQ(ReplaceAllText("aabb", "ab", ""), "");
    EXPECT_EQ(ReplaceAllText("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(ReplaceAllText("aaab", "ab", "b"), "b");  // each replacement forms the next "ab"
}

TEST(ReplaceAllText, FindInsideReplacementReplacesEachOccurrenceOnce) {
    EXPECT_EQ(ReplaceAllText("a.b.c", ".", ".."), "a..b..c");
    EXPECT_EQ(ReplaceAllText("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAllText("abab", "ab", "xabx"), "xabxxabx");
}

TEST(ReplaceAllText, MarkerBytesInTheTextSurvive) {
    const std::string marker = "\x01\x02\x03\x04\x05\x01"s;
    EXPECT_EQ(ReplaceAllText(marker + "." + marker, ".", ".."), marker + ".." + marker);
    EXPECT_EQ(ReplaceAllText("\x01\x01"s, "\x01"s, marker), marker + marker);
    EXPECT_EQ(ReplaceAllText(marker, "\x01"s, "\x01\x01"s), "\x01\x01\x02\x03\x04\x05\x01\x01"s);
}

TEST(ReplaceAllText, EmptySourceOrFindReturnsTheSource) {
    EXPECT_EQ(ReplaceAllText("", "a", "b"), "");
    EXPECT_EQ(ReplaceAllText("abc", "", "x"), "abc");
}

TEST(ReplaceAllText, ZeroBytesAreOrdinary) {
    EXPECT_EQ(ReplaceAllText("a\0b\0c"s, "\0"s, "-"), "a-b-c");
}

TEST(ExtractNumber, KeepsDigitsAndALeadingSign) {
    EXPECT_EQ(ExtractNumber("W=123px"), 123);
    EXPECT_EQ(ExtractNumber("-12-3"), -123);
    EXPECT_EQ(ExtractNumber("1+2"), 12);
    EXPECT_EQ(ExtractNumber("abc"), 0);
    EXPECT_EQ(ExtractNumber(""), 0);
    EXPECT_EQ(ExtractNumber("x-5"), -5);  // the sign is first among the kept characters
    EXPECT_EQ(ExtractNumber("007"), 7);
}

TEST(ExtractNumber, RangeEdges) {
    EXPECT_EQ(ExtractNumber("-2147483648"), INT32_MIN);
    EXPECT_EQ(ExtractNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(ExtractNumber("+2147483647"), INT32_MAX);
    EXPECT_THROW(ExtractNumber("-2147483649"), ConversionError);
    EXPECT_THROW(ExtractNumber("2147483648"), ConversionError);
    EXPECT_THROW(ExtractNumber("99999999999999999999999"), ConversionError);
}

TEST(ExtractNumber, LoneSignIsAConversionError) {
    EXPECT_THROW(ExtractNumber("-"), ConversionError);
    EXPECT_THROW(ExtractNumber("+"), ConversionError);
    EXPECT_THROW(ExtractNumber("px+-"), ConversionError);
    try {
        ExtractNumber("-");
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'-' is not a valid integer value");
    }
}

TEST(ExtractNumberField, CountsFieldsFromOne) {
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", 1), 10);
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", 0), 10);
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", -4), 10);
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", 2), 20);
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", 3), 30);
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", 4), 30);
    EXPECT_EQ(ExtractNumberField("10 20 30", " ", 400), 30);
}

TEST(ExtractNumberField, EmptyFieldIsZero) {
    EXPECT_EQ(ExtractNumberField("10  20", " ", 2), 0);
}

TEST(ExtractNumberField, LongDelimiterLeavesItsTailInTheField) {
    EXPECT_EQ(ExtractNumberField("1ab2ab3", "ab", 2), 2);
    EXPECT_EQ(ExtractNumberField("1:-2:-3", ":-", 2),
              -2);  // the "-" left of the delimiter signs the field
}

TEST(ExtractNumberField, SnapshotLines) {
    const char line[] = "3 191 2 32 11 Erase_Clipboard_BitBtn";
    EXPECT_EQ(ExtractNumberField(line, " ", 2), 191);
    EXPECT_EQ(ExtractNumberField(line, " ", 5), 11);
    EXPECT_EQ(ExtractNumberField("198 103 W/H Mainform1", " ", 2), 103);
}

}  // namespace
}  // namespace norvane
