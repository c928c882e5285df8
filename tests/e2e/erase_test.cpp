// Erase Clipboard against the real clipboard.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace e2e {
namespace {

TEST(EraseClipboard, ErasesTextAndSaysSo) {
    ClipboardHelper owner(ClipboardHelper::Mode::Text, "erase me");
    ASSERT_EQ(ClipboardText(), "erase me");
    Norvane program(FreshScratchFolder());
    program.Click(program.Control("Erase Clipboard"));
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Information");
    EXPECT_EQ(box->text, "All data was erased from the Windows Clipboard !");
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    program.Answer(*box, "OK");
    EXPECT_EQ(ClipboardFormatCount(), 0);
    EXPECT_TRUE(program.NoMessageBoxWithin(300ms));
}

TEST(EraseClipboard, EmptyClipboardErasesToo) {
    PutTextOnClipboard("x");
    Norvane program(FreshScratchFolder());
    program.Click(program.Control("Erase Clipboard"));
    auto first = program.WaitForMessageBox();
    ASSERT_TRUE(first);
    program.Answer(*first, "OK");
    program.Click(program.Control("Erase Clipboard"));
    ASSERT_TRUE(program.ExpectBox("", "All data was erased from the Windows Clipboard !"));
}

TEST(EraseClipboard, HeldOpenElsewhereReportsEachPhaseAndKeepsTheData) {
    ClipboardHelper holder(ClipboardHelper::Mode::Hold, "kept safe");
    Norvane program(FreshScratchFolder());
    program.Click(program.Control("Erase Clipboard"));
    for (const char* phase : {"Open", "Erase", "Close"}) {
        ASSERT_TRUE(program.ExpectBox(
            "Error",
            std::string("The Windows Clipboard could not be erased (") + phase + " phase)."))
            << phase;
    }
    EXPECT_TRUE(program.NoMessageBoxWithin(500ms)) << "no success message may follow";
    holder.Release();
    EXPECT_EQ(ClipboardText(), "kept safe");
}

}  // namespace
}  // namespace e2e
