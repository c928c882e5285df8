#include "util/visible_text.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

struct VisibleCase {
    const char* name;
    std::string_view in;
    std::string_view out;
};

const VisibleCase kVisibleCases[] = {
    {"plain ASCII and UTF-8 kept", "CF_UNICODETEXT \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80",
     "CF_UNICODETEXT \xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80"},
    {"line breaks", "Spoof\r\nOwner: x", "Spoof\\u000D\\u000AOwner: x"},
    {"tab, NUL and DEL", std::string_view("a\tb\0c\x7F", 6), "a\\u0009b\\u0000c\\u007F"},
    {"C1 next line", "a\xC2\x85z", "a\\u0085z"},
    {"line and paragraph separators", "a\xE2\x80\xA8z\xE2\x80\xA9", "a\\u2028z\\u2029"},
    {"right-to-left override", "evil\xE2\x80\xAEtxt.exe", "evil\\u202Etxt.exe"},
    {"isolates and marks", "\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8E\xE2\x80\x8F\xD8\x9C",
     "\\u2066\\u2069\\u200E\\u200F\\u061C"},
    {"neighbours of the controls kept", "\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA",
     "\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA"},
    {"code-page bytes kept", "caf\xE9 \x85", "caf\xE9 \x85"},
    {"overlong and truncated forms kept as bytes", "\xC0\x8A\xE2\x80", "\xC0\x8A\xE2\x80"},
    {"encoded surrogate kept as bytes", "\xED\xA0\x80", "\xED\xA0\x80"},
};

TEST(VisibleText, WritesOutEveryHiddenControlAndNothingElse) {
    for (const VisibleCase& c : kVisibleCases) EXPECT_EQ(VisibleText(c.in), c.out) << c.name;
}

}  // namespace
}  // namespace norvane
