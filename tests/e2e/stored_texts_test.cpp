// Texts kept scrambled never appear in their display form in the executable.
#include "app/stored_texts.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/driver.h"

namespace e2e {
namespace {

bool Contains(const std::string& haystack, std::string_view needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

TEST(StoredTexts, OnlyTheScrambledFormIsInTheExecutable) {
    const char* built = std::getenv("NORVANE_EXE");
    ASSERT_NE(built, nullptr);
    const std::string exe = ReadFile(WindowsPath(built));
    ASSERT_GT(exe.size(), 100000u);
    using namespace norvane::stored;
    for (const auto& text :
         {kDefaultsQuestion1.view(), kDefaultsQuestion2.view(), kDefaultsQuestion3.view(),
          kDefaultsQuestion4.view(), kAuthorCredit.view(), kToolCredit.view(),
          kCopyrightLine.view(), kCommentLine.view(), kWebPageLine.view(), kContactEmail.view(),
          kWebAddress.view()}) {
        const std::string display = norvane::DescrambleText(text);
        EXPECT_TRUE(Contains(exe, text)) << display;
        EXPECT_FALSE(Contains(exe, display)) << display;
    }
}

}  // namespace
}  // namespace e2e
