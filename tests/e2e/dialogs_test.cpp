// List Clipboard Format and Display Clipboard Data against the real clipboard.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/driver.h"

namespace e2e {
namespace {

struct Dialogs : FreshStart {
    std::optional<Norvane> program;
    void Start() { program.emplace(folder); }

    HWND Open(const char* button, const char* dialogClass) {
        program->Click(program->Control(button));
        HWND dialog = program->WaitForWindow(dialogClass, 10s);
        EXPECT_NE(dialog, nullptr) << dialogClass;
        program->Sync();
        return dialog;
    }
    std::vector<std::string> Lines(HWND dialog) {
        HWND list = ChildOfClass(dialog, "ListBox");
        std::vector<std::string> lines;
        for (int i = 0; i < ListBoxCount(list); ++i) lines.push_back(ListBoxLine(list, i));
        return lines;
    }
    std::string CountLine(HWND dialog) {
        for (HWND w : ChildrenOf(dialog))
            if (WindowText(w).rfind("There are ", 0) == 0) return WindowText(w);
        return {};
    }
    void CloseDialog(HWND dialog) {
        program->Click(program->Control("Close", dialog));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }));
        EXPECT_TRUE(IsWindowEnabled(program->Main()));
    }
    bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(Dialogs, FormatListShowsEveryFormatAndRefreshes) {
    ClipboardHelper owner(ClipboardHelper::Mode::Format, "formatted");
    Start();
    HWND dialog = Open("List Clipboard Format", "TClipboard_Formats_Form");
    EXPECT_EQ(WindowText(dialog), "Clipboard Data Formats :");
    EXPECT_FALSE(IsWindowEnabled(program->Main()));
    const auto lines = Lines(dialog);
    EXPECT_EQ(CountLine(dialog), "There are " + std::to_string(lines.size()) +
                                     " data formats available in the Clipboard");
    EXPECT_TRUE(Has(lines, "CF_TEXT (Predefined) [1]"));
    EXPECT_TRUE(
        Has(lines, "My Format [" + std::to_string(RegisterClipboardFormatA("My Format")) + "]"));

    PutTextOnClipboard("changed");  // the dialog stays open meanwhile
    program->Click(program->Control("Refresh", dialog));
    const std::string myFormat =
        "My Format [" + std::to_string(RegisterClipboardFormatA("My Format")) + "]";
    EXPECT_TRUE(WaitUntil([&] { return !Has(Lines(dialog), myFormat); }));
    const auto after = Lines(dialog);
    EXPECT_TRUE(Has(after, "CF_TEXT (Predefined) [1]"));
    CloseDialog(dialog);
}

TEST_F(Dialogs, FormatListOfAnEmptyOrHeldClipboard) {
    ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    CloseClipboard();
    Start();
    HWND dialog = Open("List Clipboard Format", "TClipboard_Formats_Form");
    EXPECT_EQ(CountLine(dialog), "There are 0 data formats available in the Clipboard");
    EXPECT_TRUE(Lines(dialog).empty());
    CloseDialog(dialog);

    ClipboardHelper holder(ClipboardHelper::Mode::Hold, "held");
    dialog = Open("List Clipboard Format", "TClipboard_Formats_Form");
    EXPECT_NE(CountLine(dialog), "There are 0 data formats available in the Clipboard");
    EXPECT_TRUE(Lines(dialog).empty());
    CloseDialog(dialog);
}

TEST_F(Dialogs, ViewerShowsTextAndItsOwnersClass) {
    ClipboardHelper owner(ClipboardHelper::Mode::Text, "Hello from the helper");
    Start();
    HWND viewer = Open("Display Clipboard Data", "TClipboard_Viewer_Form");
    EXPECT_EQ(WindowText(viewer), "Clipboard Data Pasted From A NorvaneTestOwner Class Window");
    HWND edit = ChildOfClass(viewer, "RichEdit20A", true);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowText(edit), "Hello from the helper");
    CloseDialog(viewer);
}

TEST_F(Dialogs, ViewerPrefersTheBitmap) {
    ClipboardHelper owner(ClipboardHelper::Mode::Bitmap, "under the bitmap");
    Start();
    HWND viewer = Open("Display Clipboard Data", "TClipboard_Viewer_Form");
    EXPECT_EQ(ChildOfClass(viewer, "RichEdit20A", true), nullptr);
    HWND picture = nullptr;
    for (HWND w : ChildrenOf(viewer))
        if ((GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW && IsWindowVisible(w))
            picture = w;
    EXPECT_NE(picture, nullptr);
    CloseDialog(viewer);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));  // the clipboard's own bitmap is untouched
}

TEST_F(Dialogs, ViewerNoticeAndNoOwner) {
    ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    CloseClipboard();
    Start();
    HWND viewer = Open("Display Clipboard Data", "TClipboard_Viewer_Form");
    EXPECT_EQ(WindowText(viewer), "Clipboard Data");
    EXPECT_NE(program->Control("Sorry, No Text or Bitmap data is on the Clipboard", viewer),
              nullptr);
    EXPECT_TRUE(IsWindowVisible(
        program->Control("Sorry, No Text or Bitmap data is on the Clipboard", viewer)));

    ClipboardHelper nobody(ClipboardHelper::Mode::NoOwner, "nobody's");
    ASSERT_EQ(GetClipboardOwner(), nullptr);
    program->Click(program->Control("Refresh", viewer));
    EXPECT_TRUE(WaitUntil([&] {
        return WindowText(viewer) == "Clipboard Data Pasted From A  Class Window";
    })) << WindowText(viewer);
    EXPECT_FALSE(IsWindowVisible(
        program->Control("Sorry, No Text or Bitmap data is on the Clipboard", viewer)));
    EXPECT_EQ(WindowText(ChildOfClass(viewer, "RichEdit20A", true)), "nobody's");
    CloseDialog(viewer);
}

TEST_F(Dialogs, DataThatIsNeverRenderedIsAnError) {
    ClipboardHelper lazy(ClipboardHelper::Mode::Delayed, "");
    Start();
    program->Click(program->Control("Display Clipboard Data"));
    ASSERT_TRUE(program->ExpectBox("Norvane v1.1b", "Error getting clipboard data"));
    HWND viewer = program->WaitForWindow("TClipboard_Viewer_Form", 5s);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(WindowText(viewer), "Clipboard Data Pasted From A NorvaneTestOwner Class Window");
    // The viewer closed the clipboard again: others can open it.
    EXPECT_TRUE(WaitUntil([] {
        if (!OpenClipboard(nullptr)) return false;
        CloseClipboard();
        return true;
    }));

    // The box left the main window as the viewer had made it: disabled.
    program->Sync();
    EXPECT_FALSE(IsWindowEnabled(program->Main()));
    const int formats = ClipboardFormatCount();
    ASSERT_GT(formats, 0);
    program->Click(program->Control("Erase Clipboard"));
    EXPECT_TRUE(program->NoMessageBoxWithin(500ms)) << "the main window took the click";
    EXPECT_EQ(ClipboardFormatCount(), formats);

    // The same after an error on Refresh.
    program->Click(program->Control("Refresh", viewer));
    ASSERT_TRUE(program->ExpectBox("", "Error getting clipboard data"));
    program->Sync();
    EXPECT_FALSE(IsWindowEnabled(program->Main()));
    EXPECT_TRUE(IsWindowEnabled(viewer));
    CloseDialog(viewer);  // and everything is enabled again
}

}  // namespace
}  // namespace e2e
