#include "inspector/rich_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace norvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Optional;

std::optional<std::string> ProblemOf(const std::string& rtf) {
    const std::vector<std::uint8_t> bytes(rtf.begin(), rtf.end());
    return RichTextProblem(bytes);
}

// The outer group and `inner` groups within it.
std::string Nested(std::size_t inner) {
    return "{\\rtf1 a" + std::string(inner, '{') + "x" + std::string(inner, '}') + "}";
}

TEST(RichText, TheFormatsThatHoldRtf) {
    EXPECT_TRUE(IsRichTextFormat("Rich Text Format"));
    EXPECT_TRUE(IsRichTextFormat("Rich Text Format Without Objects"));
    EXPECT_TRUE(IsRichTextFormat("RTF As Text"));
    EXPECT_FALSE(IsRichTextFormat("HTML Format"));
    EXPECT_FALSE(IsRichTextFormat(""));
}

TEST(RichText, DocumentsAsProgramsWriteThemAreGiven) {
    EXPECT_EQ(ProblemOf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold} \\{ \\\\}"),
              std::nullopt);
    EXPECT_EQ(ProblemOf("{\\rtf1 unended"), std::nullopt);
    EXPECT_EQ(ProblemOf("{\\rtf1\\intbl\\itap32 x\\nestcell\\nestrow}"), std::nullopt);
}

TEST(RichText, WhatDoesNotBeginAsRtfIsRefused) {
    for (const char* text : {"", "{\\rt", "plain words", " {\\rtf1 x}"})
        EXPECT_THAT(ProblemOf(text), Optional(HasSubstr("does not begin with \"{\\rtf\""))) << text;
}

TEST(RichText, GroupsNestedBeyondTheLimitAreRefused) {
    EXPECT_EQ(ProblemOf(Nested(kMaxRichTextNesting - 1)), std::nullopt);
    EXPECT_THAT(ProblemOf(Nested(kMaxRichTextNesting)),
                Optional(std::string("The formatted view is not shown: its groups nest deeper "
                                     "than 32 levels.")));
    // Unclosed, and deep enough to overflow a reader that recurses.
    EXPECT_THAT(ProblemOf("{\\rtf1 " + std::string(100000, '{')), Optional(HasSubstr("groups")));
}

TEST(RichText, EscapedBracesAreNoGroups) {
    std::string escaped = "{\\rtf1 ", afterBackslash = "{\\rtf1 ";
    for (int i = 0; i < 40; ++i) {
        escaped += "\\{";
        afterBackslash += "\\\\{";  // an escaped backslash, then a group
    }
    EXPECT_EQ(ProblemOf(escaped + "}"), std::nullopt);
    EXPECT_THAT(ProblemOf(afterBackslash), Optional(HasSubstr("groups")));
}

TEST(RichText, TablesNestedBeyondTheLimitAreRefused) {
    EXPECT_THAT(ProblemOf("{\\rtf1\\intbl\\itap33 x\\nestcell\\nestrow}"),
                Optional(HasSubstr("its tables nest deeper than 32 levels.")));
    // A number too long for any integer saturates rather than wraps.
    EXPECT_THAT(ProblemOf("{\\rtf1\\itap4294967329 x}"), Optional(HasSubstr("tables")));
    EXPECT_EQ(ProblemOf("{\\rtf1\\itap-100 x}"), std::nullopt);
}

// Braces in binary data count whether a reader skips the data or not.
TEST(RichText, BracesInBinaryDataCountEitherWay) {
    const std::string opens(kMaxRichTextNesting, '{');
    const std::string closes(kMaxRichTextNesting, '}');
    // Read as data, the closing braces hide the opening ones that follow.
    EXPECT_THAT(ProblemOf("{\\rtf1{\\bin32 " + closes + "}" + opens),
                Optional(HasSubstr("groups")));
    // Read as data, the opening braces are no groups.
    EXPECT_THAT(ProblemOf("{\\rtf1{\\bin32 " + opens + "}}"), Optional(HasSubstr("groups")));
}

// Controls that readers take in different ways are refused; what RTF
// writers write is not.
TEST(RichText, ControlsReadersTakeDifferentlyAreRefused) {
    const std::string prefix = "The formatted view is not shown: ";
    const struct {
        std::string rtf;
        std::optional<std::string> problem;
    } cases[] = {
        {"{\\rtf1 caf\\'e9 \\'C3\\'A9}", std::nullopt},
        {"{\\rtf1{\\bin4 }}{}}", std::nullopt},  // braces as data, then groups
        {"{\\rtf1{\\bin2 ab}}", std::nullopt},
        {"{\\rtf1 \\'}}" + std::string(40, '{'),
         prefix + "its \\' at offset 7 is not followed by two hexadecimal digits."},
        {"{\\rtf1 \\'4g}",
         prefix + "its \\' at offset 7 is not followed by two hexadecimal digits."},
        {"{\\rtf1 x\\'a",
         prefix + "its \\' at offset 8 is not followed by two hexadecimal digits."},
        // Within binary data a reader that reads the data as text meets it too.
        {"{\\rtf1{\\bin3 \\'}}}",
         prefix + "its \\' at offset 13 is not followed by two hexadecimal digits."},
        {"{\\rtf1{\\bin4000000000 ab}}",
         prefix + "its \\bin at offset 7 claims 4000000000 bytes of data; 4 follow it."},
        {"{\\rtf1{\\bin3 ab",
         prefix + "its \\bin at offset 7 claims 3 bytes of data; 2 follow it."},
        // Larger than any block: the count saturates rather than wraps.
        {"{\\rtf1\\bin99999999999999999999 x}",
         prefix + "its \\bin at offset 6 claims 4294967295 bytes of data; 2 follow it."},
    };
    for (const auto& c : cases) EXPECT_EQ(ProblemOf(c.rtf), c.problem) << c.rtf;
}

TEST(RichText, CutLineSaysHowMuchIsShown) {
    EXPECT_EQ(RichTextCutLine(1048576, 2000000),
              "The formatted view shows the first 1048576 of the RTF's 2000000 bytes.");
}

}  // namespace
}  // namespace norvane
