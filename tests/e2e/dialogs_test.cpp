// List Clipboard Format and Display Clipboard Data against the real clipboard.
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

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
        return ListBoxLines(ChildOfClass(dialog, "ListBox"));
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
    // "Display Clipboard Data" pressed: the viewer, which shows itself while a long text loads.
    HWND OpenLoading() {
        program->Click(program->Control("Display Clipboard Data"));
        return program->WaitForWindow("TClipboard_Viewer_Form", 15s);
    }
    // The progress it shows, once it shows it; empty when it never does.
    std::string ProgressOf(HWND viewer) {
        std::string progress;
        WaitUntil(
            [&] {
                for (HWND w : ChildrenOf(viewer))
                    if (IsWindowVisible(w) && WindowText(w).rfind("Loading the text: ", 0) == 0)
                        progress = WindowText(w);
                return !progress.empty();
            },
            15s);
        return progress;
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

// What the helper's "unicode" mode places first.
const wchar_t kUnicodeLine[] =
    L"Gr\u00fc\u00dfe \u65e5\u672c\u8a9e \U0001F600 \u03a9mega "
    L"\u041f\u0440\u0438\u0432\u0435\u0442 \u0645\u0631\u062d\u0628\u0627";

// A rich edit box's text as UTF-16, asked for in the program's own memory:
// its window text would come through the ANSI code page.
std::wstring BoxText(const Norvane& program, HWND box) {
    struct Request {
        GETTEXTEX get;
        wchar_t text[4096];
    } request{};
    request.get = {sizeof request.text, GT_USECRLF, 1200, nullptr, nullptr};
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, program.Id());
    auto* remote = static_cast<Request*>(
        VirtualAllocEx(process, nullptr, sizeof request, MEM_COMMIT, PAGE_READWRITE));
    WriteProcessMemory(process, remote, &request, sizeof request, nullptr);
    DWORD_PTR length = 0;
    SendMessageTimeoutA(box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&remote->get),
                        reinterpret_cast<LPARAM>(remote->text), SMTO_ABORTIFHUNG, 5000, &length);
    ReadProcessMemory(process, remote, &request, sizeof request, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return std::wstring(request.text, std::min<std::size_t>(length, std::size(request.text)));
}

TEST_F(Dialogs, ViewerShowsUnicodeTextAsItIs) {
    HelperProcess owner("unicode", "0");  // format 13 only, as a Unicode program places it
    Start();
    HWND viewer = Open("Display Clipboard Data", "TClipboard_Viewer_Form");
    EXPECT_EQ(WindowText(viewer), "Clipboard Data Pasted From A NorvaneTestOwner Class Window");
    HWND box = ChildOfClass(viewer, "RichEdit20A", true);
    ASSERT_NE(box, nullptr);
    const std::wstring shown = BoxText(*program, box);
    std::string utf8(shown.size() * 4, '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, shown.data(), static_cast<int>(shown.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    EXPECT_TRUE(shown == kUnicodeLine) << utf8;
    CloseDialog(viewer);
}

TEST_F(Dialogs, ViewerShowsTheProgressOfALongLoadAndEscStopsIt) {
    HelperProcess owner("unicode", "100000");
    const std::string whole = std::to_string(std::size(kUnicodeLine) - 1 + 100000 * 80);
    Start();
    HWND viewer = OpenLoading();
    ASSERT_NE(viewer, nullptr);
    const std::string progress = ProgressOf(viewer);
    ASSERT_FALSE(progress.empty());
    EXPECT_NE(progress.find(" of " + whole + " characters. Esc stops it."), std::string::npos)
        << progress;
    // The clipboard is free while the text goes into the box.
    EXPECT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();

    program->PressKey(VK_ESCAPE);
    auto box = program->WaitForMessageBox(20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Warning");
    EXPECT_EQ(
        box->text.rfind("Loading the text on the Clipboard was stopped.\r\n\r\nOnly its first ", 0),
        0u)
        << box->text;
    EXPECT_NE(box->text.find(" of " + whole + " characters are shown."), std::string::npos);
    program->Answer(*box, "OK");
    EXPECT_TRUE(WaitUntil([&] { return ChildOfClass(viewer, "RichEdit20A", true) != nullptr; }));
    CloseDialog(viewer);
}

TEST_F(Dialogs, ViewerClosesAtOnceDuringALongLoad) {
    HelperProcess owner("unicode", "100000");
    Start();
    HWND viewer = OpenLoading();
    ASSERT_NE(viewer, nullptr);
    ASSERT_FALSE(ProgressOf(viewer).empty());
    program->Click(program->Control("Close", viewer));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(viewer); }, 10s));
    EXPECT_FALSE(program->WaitForMessageBox(2s));  // nothing said of what was loaded
    EXPECT_TRUE(IsWindowEnabled(program->Main()));
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
    // Loaded once the reader has copied it.
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(ChildOfClass(viewer, "RichEdit20A", true)) == "nobody's"; }));
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
