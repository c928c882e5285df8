// The format inspector over the real clipboard, whose data clipboard_helper
// owns in another process: the header, the dump, the text view, the saved
// files and each failure's report.
#include <richedit.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <new>

#include "clipboard/win32_clipboard_service.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "inspector/data_headers.h"
#include "inspector/hex_dump.h"
#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_inspector_line_actions.h"
#include "inspector/win32_save_format.h"
#include "util/placeable_metafile.h"
#include "win32/inspector_settles.h"
#include "win32/pixels.h"
#include "win32/second_process.h"
#include "win32/window_text.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingMessages;
using ::testing::StartsWith;
using testing::WideTextOf;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kKnownText = "Known text";

Bytes KnownBytes(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string ScratchFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "norvane-inspector-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

struct InspectorTest : ::testing::Test {
    static void SetUpTestSuite() { helper = new ClipboardHelper("inspect", kKnownText); }
    static void TearDownTestSuite() { delete helper; }
    static inline ClipboardHelper* helper = nullptr;

    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const std::string folder = ScratchFolder();

    unsigned shown = 0;

    void Show(unsigned format, const std::string& line) {
        shown = format;
        inspector.SetFormat(format, line);
        inspector.Show();
        ASSERT_TRUE(testing::InspectorSettles(inspector));
        UpdateWindow(inspector.Dump().Handle());
    }
    std::string Header() {
        return inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label));
    }
    std::string Owner() {
        return "Owner: A NorvaneTestOwner Class Window of clipboard_helper.exe, process id " +
               std::to_string(helper->Id());
    }
    std::string Saved(const std::string& name) {
        const std::string path = folder + name;
        DeleteFileA(path.c_str());
        const auto failure = WriteFormatFile(path, shown, inspector.Reading().data);
        EXPECT_EQ(failure, std::nullopt);
        return path;
    }
};

TEST_F(InspectorTest, KnownBytesInARegisteredFormat) {
    const unsigned format = RegisterClipboardFormatA("Norvane Bytes");
    Show(format, "Norvane Bytes [" + std::to_string(format) + "]");
    EXPECT_EQ(inspector.Caption(), "Norvane Bytes [" + std::to_string(format) + "]");
    EXPECT_EQ(Header(),
              "Format " + std::to_string(format) + ": a memory block, 300 bytes\r\n" + Owner());
    const Bytes known = KnownBytes(300);
    const auto& painted = inspector.Dump().PaintedLines();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted, DumpLines(known, 0, painted.size()));
    inspector.Dump().ScrollTo(DumpLineCount(known.size()));
    UpdateWindow(inspector.Dump().Handle());
    EXPECT_EQ(inspector.Dump().PaintedLines().back(), DumpLine(known, 18));
    EXPECT_FALSE(IsWindowVisible(inspector.Text().Handle()));
    EXPECT_EQ(FileBytes(Saved("bytes.bin")), known);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(InspectorTest, TextFormatsShowTheirText) {
    // Other processes read the view's text as its window's.
    auto text = [&] { return WideTextOf(inspector.Text().Handle()); };
    Show(1, "CF_TEXT (Predefined) [1]");
    EXPECT_TRUE(IsWindowVisible(inspector.Text().Handle()));
    EXPECT_EQ(text(), L"Known text");
    EXPECT_THAT(inspector.Dump().PaintedLines(),
                ElementsAre(StartsWith("00000000  4B 6E 6F 77 6E 20 74 65  78 74")));
    Show(13, "CF_UNICODETEXT (Predefined) [13]");
    EXPECT_EQ(text(), L"Known text \u00e9t\u00e9");
    EXPECT_THAT(inspector.Dump().PaintedLines().front(),
                StartsWith("00000000  4B 00 6E 00 6F 00 77 00  6E 00"));
}

TEST_F(InspectorTest, BitmapSavedAsABmpThatLoadsBack) {
    Show(2, "CF_BITMAP (Predefined) [2]");
    EXPECT_THAT(Header(), HasSubstr("\r\nBitmap: 24 x 16 pixels, "));
    const std::string path = Saved("bitmap.bmp");
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(loaded, nullptr);
    BITMAP info{};
    GetObjectA(loaded, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 24);
    EXPECT_EQ(info.bmHeight, 16);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, loaded);
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 21, 13), RGB(0, 0, 255));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(loaded);
}

// The preview's pixels at natural size, drawn as the view draws them.
COLORREF PreviewPixel(TFormat_Inspector_Form& inspector, int x, int y) {
    testing::Canvas canvas(32, 32, RGB(1, 2, 3));
    const RECT area{0, 0, 32, 32};
    inspector.Picture().Draw(canvas.dc(), area);
    return canvas.At(x, y);
}

TEST_F(InspectorTest, BitmapAndDibPreviewedInTheirColours) {
    for (const auto& [format, line] :
         {std::pair{2u, "CF_BITMAP (Predefined) [2]"}, std::pair{8u, "CF_DIB (Predefined) [8]"}}) {
        Show(format, line);
        EXPECT_TRUE(IsWindowVisible(inspector.Picture().Handle())) << line;
        EXPECT_EQ(PreviewPixel(inspector, 2, 2), RGB(255, 0, 0)) << line;
        EXPECT_EQ(PreviewPixel(inspector, 21, 13), RGB(0, 0, 255)) << line;
        EXPECT_EQ(PreviewPixel(inspector, 24, 16), GetSysColor(COLOR_APPWORKSPACE)) << line;
        // The header still says its size.
        EXPECT_THAT(Header(), HasSubstr("\r\nBitmap: 24 x 16 pixels, ")) << line;
    }
    Show(13, "CF_UNICODETEXT (Predefined) [13]");
    EXPECT_FALSE(IsWindowVisible(inspector.Picture().Handle()));
}

TEST_F(InspectorTest, EnhancedMetafileWithItsBoundsSavedByteForByte) {
    Show(14, "CF_ENHMETAFILE (Predefined) [14]");
    EXPECT_THAT(Header(), HasSubstr("\r\nBounds: (10, 20) - ("));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    Bytes bits(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    CloseClipboard();
    EXPECT_EQ(FileBytes(Saved("picture.emf")), bits);
    EXPECT_THAT(Header(), HasSubstr(", " + std::to_string(bits.size()) + " bytes\r\n"));
}

TEST_F(InspectorTest, FormatsTheSystemMakesFromThemSavedAsPictures) {
    // The system offers the bitmap as a DIB and the enhanced metafile as a
    // metafile picture too.
    Show(8, "CF_DIB (Predefined) [8]");
    EXPECT_THAT(Header(), HasSubstr("Format 8: a memory block, "));
    EXPECT_THAT(Header(), HasSubstr("\r\nBitmap: 24 x 16 pixels, "));
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageA(nullptr, Saved("dib.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_NE(loaded, nullptr);
    DeleteObject(loaded);

    Show(3, "CF_METAFILEPICT (Predefined) [3]");
    EXPECT_THAT(Header(), HasSubstr("\r\nMetafile picture: mapping mode "));
    const Bytes file = FileBytes(Saved("picture.wmf"));
    EXPECT_TRUE(ReadPlaceableHeader(file));
    HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(file.size() - 22), file.data() + 22);
    EXPECT_NE(metafile, nullptr) << "the records after the placeable header are a metafile";
    DeleteMetaFile(metafile);
}

// A file list, an HTML fragment and a locale, as programs copy them.
struct DocumentsTest : ::testing::Test {
    static void SetUpTestSuite() { helper = new ClipboardHelper("documents", "copied"); }
    static void TearDownTestSuite() { delete helper; }
    static inline ClipboardHelper* helper = nullptr;

    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};

    void Show(unsigned format, const std::string& line) {
        inspector.SetFormat(format, line);
        inspector.Show();
        ASSERT_TRUE(testing::InspectorSettles(inspector));
    }
    std::string Header() {
        return inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label));
    }
    std::wstring Text() { return inspector.Text().Contents(SIZE_MAX); }
};

TEST_F(DocumentsTest, FileListShowsItsPathsOneALine) {
    Show(15, "CF_HDROP (Predefined) [15]");
    EXPECT_THAT(Header(), HasSubstr("\r\nFiles: 2 paths of wide characters from offset 20\r\n"));
    EXPECT_TRUE(IsWindowVisible(inspector.Text().Handle()));
    EXPECT_EQ(Text(), L"C:\\one.txt\r\nD:\\two words.txt");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DocumentsTest, HtmlShowsItsFragmentAndHeaderFields) {
    const unsigned format = RegisterClipboardFormatA("HTML Format");
    Show(format, "HTML Format [" + std::to_string(format) + "]");
    EXPECT_THAT(Header(), HasSubstr("\r\nHTML: version 0.9, HTML "));
    EXPECT_THAT(Header(), HasSubstr(", source https://example.com/page\r\nOwner: "));
    EXPECT_EQ(Text(), L"<b>copied</b>");
}

TEST_F(DocumentsTest, AlphaDrawnOverACheckerboard) {
    Show(17, "CF_MAX (Predefined) [17]");
    ASSERT_TRUE(IsWindowVisible(inspector.Picture().Handle()));
    EXPECT_EQ(PreviewPixel(inspector, 1, 1), RGB(255, 255, 255));  // a light square, clear
    // Red at half alpha over a dark square (0xCC): 255 x 128/255 + 204 x 127/255.
    EXPECT_EQ(PreviewPixel(inspector, 12, 1), RGB(230, 102, 102));
}

// Whether the characters from `first` to `last` are all bold.
bool IsBold(HWND box, LONG first, LONG last) {
    CHARRANGE range{first, last};
    SendMessageA(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    const auto mask = static_cast<DWORD>(
        SendMessageA(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)));
    return (mask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
}

TEST_F(DocumentsTest, RtfShownFormattedBesideItsSource) {
    const unsigned format = RegisterClipboardFormatA("Rich Text Format");
    Show(format, "Rich Text Format [" + std::to_string(format) + "]");
    const HWND formatted = inspector.Formatted().Box();
    Form::Component& text = inspector.Get(InspectorFormPart::Text_Place);
    ASSERT_TRUE(IsWindowVisible(formatted));
    EXPECT_EQ(GetParent(formatted), inspector.Handle());
    EXPECT_EQ(WideTextOf(formatted), L"plain copied end");
    EXPECT_TRUE(IsBold(formatted, 6, 12));
    EXPECT_FALSE(IsBold(formatted, 0, 5));
    EXPECT_EQ(Text(), L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b copied} end}");
    // Side by side, the formatted view on the left.
    RECT left{};
    GetWindowRect(formatted, &left);
    MapWindowPoints(nullptr, inspector.Handle(), reinterpret_cast<POINT*>(&left), 2);
    const Bounds right = inspector.BoundsOf(text);
    EXPECT_EQ(left.top, right.top);
    EXPECT_LT(left.right, right.left);
    EXPECT_THAT(Header(), Not(HasSubstr("formatted view")));
    EXPECT_THAT(Header(), Not(HasSubstr(FormattedView::kFormattingText)));

    // Other text takes the whole row again.
    const unsigned html = RegisterClipboardFormatA("HTML Format");
    Show(html, "HTML Format [" + std::to_string(html) + "]");
    EXPECT_EQ(inspector.Formatted().Box(), nullptr);
    EXPECT_FALSE(IsWindow(formatted));
    EXPECT_EQ(inspector.BoundsOf(text).left, left.left);
}

TEST_F(DocumentsTest, LocaleShowsItsNumberAndName) {
    Show(16, "CF_LOCALE (Predefined) [16]");
    EXPECT_THAT(Header(), HasSubstr("\r\nLocale: 1031 (0x0407)\r\n"));
    EXPECT_EQ(Text(), L"1031 (0x0407): de-DE, German (Germany)");
}

TEST_F(InspectorTest, EachFailureReportedAndNothingLeftOpen) {
    const unsigned delayed = RegisterClipboardFormatA("Norvane Delayed");
    Show(delayed, "Norvane Delayed [" + std::to_string(delayed) + "]");
    const unsigned gone = RegisterClipboardFormatA("Norvane Gone");
    Show(gone, "Norvane Gone [" + std::to_string(gone) + "]");
    EXPECT_THAT(messages.Texts(),
                ElementsAre(NotRenderedText("Norvane Delayed [" + std::to_string(delayed) + "]"),
                            FormatGoneText("Norvane Gone [" + std::to_string(gone) + "]")));
    EXPECT_THAT(Header(),
                StartsWith("Format " + std::to_string(gone) + ": no longer on the clipboard\r\n"));
    EXPECT_TRUE(inspector.Dump().PaintedLines().empty());
    EXPECT_FALSE(inspector.IsEnabled(inspector.Get(InspectorFormPart::Save_As_BitBtn)));
    ASSERT_TRUE(OpenClipboard(nullptr)) << "the inspector left the clipboard open";
    CloseClipboard();
}

TEST_F(InspectorTest, AFileThatCannotBeWrittenLeavesNothingHalfWritten) {
    // The chosen name is a folder: the whole file is written beside it, and
    // the rename over it fails.
    const std::string path = folder + "a folder";
    CreateDirectoryA(path.c_str(), nullptr);
    const FormatData data{DataKind::MemoryBlock, KnownBytes(5000)};
    const auto failure = WriteFormatFile(path, 49999, data);
    ASSERT_TRUE(failure);
    EXPECT_THAT(*failure, StartsWith("The file \"" + path + "\" could not be written: "));
    EXPECT_GT(failure->size(), path.size() + 36);  // the system's reason follows
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    for (const std::string& name : FilesIn(folder))
        EXPECT_THAT(name, ::testing::Not(StartsWith("~nvn")));
    EXPECT_THAT(WriteFormatFile(folder + "no such folder\\x.bin", 49999, data).value_or(""),
                HasSubstr("could not be written: "));
    RemoveDirectoryA(path.c_str());
}

TEST_F(InspectorTest, SavedInAFolderTooDeepForTheSystemsTemporaryNames) {
    // A folder of 250 characters: beyond MAX_PATH - 14, with room for the file's name.
    std::string deep = folder;
    std::vector<std::string> made;
    while (deep.size() < 250) {
        deep += std::string(std::min<std::size_t>(60, 250 - deep.size() - 1), 'd') + "\\";
        ASSERT_TRUE(CreateDirectoryA(("\\\\?\\" + deep).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        made.push_back(deep);
    }
    ASSERT_EQ(deep.size(), 250u);
    const std::string path = deep + "deep.bin";
    const Bytes known = KnownBytes(3000);
    EXPECT_EQ(WriteFormatFile(path, 49999, {DataKind::MemoryBlock, known}), std::nullopt);
    EXPECT_EQ(FileBytes(path), known);
    EXPECT_THAT(FilesIn(deep), ElementsAre("deep.bin"));
    DeleteFileA(path.c_str());
    for (auto at = made.rbegin(); at != made.rend(); ++at)
        RemoveDirectoryA(("\\\\?\\" + *at).c_str());
}

// A copy that runs out of memory, as a huge block can in a 32-bit process.
class ClipboardOutOfMemory : public testing::FakeClipboard {
  public:
    bool outOfMemory = false;
    std::optional<FormatData> CopyFormatData(unsigned format) override {
        if (outOfMemory) throw std::bad_alloc();
        return FakeClipboard::CopyFormatData(format);
    }
};

TEST(InspectorOverAFailedCopy, SaysWhatFailedAndOffersNothingToSave) {
    ClipboardOutOfMemory clipboard;
    clipboard.formats = {{1, ""}};
    clipboard.data[1] = FormatData{DataKind::MemoryBlock, Bytes{'H', 'i', 0}};
    RecordingMessages messages;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const std::string line = "CF_TEXT (Predefined) [1]";
    inspector.SetFormat(1, line);
    inspector.Show();
    ASSERT_TRUE(testing::InspectorSettles(inspector));
    ASSERT_TRUE(inspector.IsEnabled(inspector.Get(InspectorFormPart::Save_As_BitBtn)));

    clipboard.outOfMemory = true;
    inspector.Refresh_BitBtnClick();
    ASSERT_TRUE(testing::InspectorSettles(inspector));
    UpdateWindow(inspector.Dump().Handle());
    const std::string failure = "there is not enough memory for a copy of its data";
    EXPECT_EQ(inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label)),
              "Format 1: it could not be read: " + failure + "\r\nOwner: none");
    EXPECT_THAT(messages.Texts(), ElementsAre(ReadFailedText(line, failure)));
    EXPECT_EQ(ReadFailedText(line, failure),
              "The format \"CF_TEXT (Predefined) [1]\" could not be read: " + failure + ".");
    EXPECT_FALSE(IsWindowVisible(inspector.Text().Handle()));
    EXPECT_EQ(inspector.Text().Contents(SIZE_MAX), L"");
    EXPECT_TRUE(inspector.Dump().PaintedLines().empty());
    EXPECT_FALSE(inspector.IsEnabled(inspector.Get(InspectorFormPart::Save_As_BitBtn)));
    EXPECT_FALSE(clipboard.isOpen);
}

// A refresh clicked while the box of a failed reading is up: the reading
// shown after the box is the new one, whole, and nothing of the old is used.
TEST(InspectorOverAFailedCopy, ARefreshUnderItsBoxShowsTheNewReadingWhole) {
    testing::FakeClipboard clipboard;
    clipboard.formats = {{1, ""}};
    clipboard.data[1] = std::nullopt;  // not rendered
    RecordingMessages messages;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const std::string text = "Known text";
    const Bytes known(text.c_str(), text.c_str() + text.size() + 1);
    messages.whileShown = [&] {
        clipboard.data[1] = FormatData{DataKind::MemoryBlock, known};
        inspector.Refresh_BitBtnClick();
        ASSERT_TRUE(testing::InspectorSettles(inspector));
    };
    inspector.SetFormat(1, "CF_TEXT (Predefined) [1]");
    inspector.Show();
    ASSERT_TRUE(testing::PumpUntil([&] { return !messages.whileShown; }));
    ASSERT_TRUE(testing::InspectorSettles(inspector));
    UpdateWindow(inspector.Dump().Handle());
    EXPECT_THAT(messages.Texts(), ElementsAre(NotRenderedText("CF_TEXT (Predefined) [1]")));
    EXPECT_EQ(inspector.Reading().data.bytes, known);
    EXPECT_EQ(inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label)),
              "Format 1: a memory block, 11 bytes\r\nOwner: none");
    EXPECT_EQ(inspector.Dump().PaintedLines(), DumpLines(known, 0, 1));
    EXPECT_EQ(inspector.Text().Contents(SIZE_MAX), L"Known text");
    EXPECT_TRUE(inspector.IsEnabled(inspector.Get(InspectorFormPart::Save_As_BitBtn)));
}

// "Save As..." on a line of the list reads the format on the reader's
// worker, then says why nothing can be saved (or opens the save dialog).
TEST(SaveAsFromTheList, ReadOffTheWindowsThreadThenWhyNothingIsSaved) {
    const std::string line = "Norvane Bytes [49999]";
    const struct {
        bool held, gone, rendered;
        std::string said;
    } cases[] = {
        {true, false, true, "Nothing was saved: " + ClipboardHeldText() + "."},
        {false, true, true, FormatGoneText(line)},
        {false, false, false, NotRenderedText(line)},
    };
    for (const auto& c : cases) {
        testing::FakeClipboard clipboard;
        clipboard.failOpen = c.held;
        if (!c.gone) clipboard.formats = {{49999, "Norvane Bytes"}};
        clipboard.data[49999] = std::nullopt;  // not rendered, when asked
        RecordingMessages messages;
        const auto actions = MakeInspectorLineActions({messages, clipboard, nullptr});
        actions->SaveAs(49999, line);
        EXPECT_TRUE(messages.shown.empty()) << c.said;  // not read yet: the window answers
        EXPECT_TRUE(testing::PumpUntil([&] { return !messages.shown.empty(); })) << c.said;
        EXPECT_THAT(messages.Texts(), ElementsAre(c.said));
    }
}

// A clipboard whose copies wait until the test lets them go on.
struct GatedClipboard : testing::FakeClipboard {
    UniqueKernelHandle entered{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    UniqueKernelHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::optional<FormatData> CopyFormatData(unsigned format) override {
        SetEvent(entered.get());
        WaitForSingleObject(release.get(), 10000);
        return FakeClipboard::CopyFormatData(format);
    }
};

// The list closed while its Save As reads: no box or dialog comes of it.
TEST(SaveAsFromTheList, DroppedWhenTheListCloses) {
    GatedClipboard clipboard;
    clipboard.formats = {{49999, "Norvane Bytes"}};
    clipboard.data[49999] = std::nullopt;  // would be reported as not rendered
    RecordingMessages messages;
    const auto actions = MakeInspectorLineActions({messages, clipboard, nullptr});
    actions->SaveAs(49999, "Norvane Bytes [49999]");
    ASSERT_EQ(WaitForSingleObject(clipboard.entered.get(), 5000), WAIT_OBJECT_0);
    actions->Cancel();
    SetEvent(clipboard.release.get());
    testing::PumpFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(messages.shown.empty());
}

// A format not read has no contents to describe: a locale, a file list or
// an HTML header held from the inspector is not said to be empty.
TEST(InspectorOverAHeldClipboard, SaysNothingOfContentsItCouldNotRead) {
    for (const auto& [format, name] :
         {std::pair{16u, ""}, std::pair{15u, ""}, std::pair{0xC100u, "HTML Format"}}) {
        testing::FakeClipboard clipboard;
        clipboard.formats = {{format, name}};
        clipboard.failOpen = true;
        RecordingMessages messages;
        TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
        inspector.SetFormat(format, "the format");
        inspector.Show();
        ASSERT_TRUE(testing::InspectorSettles(inspector));
        EXPECT_EQ(inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label)),
                  "Format " + std::to_string(format) + ": " + ClipboardHeldText() +
                      "\r\nOwner: none\r\nHeld open by: a program that opened it without a window")
            << format;
    }
}

TEST(InspectorOverAHeldClipboard, ReportsAsTheListDoesAndOpensNothing) {
    const ClipboardHelper holder("hold", kKnownText);
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    inspector.SetFormat(1, "CF_TEXT (Predefined) [1]");
    inspector.Show();
    ASSERT_TRUE(testing::InspectorSettles(inspector));
    EXPECT_THAT(inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label)),
                StartsWith("Format 1: " + ClipboardHeldText() + "\r\nOwner: A NorvaneTestOwner"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(inspector.Dump().PaintedLines().empty());
}

// The system's own conversion of an enhanced metafile to a Windows one
// carries the enhanced metafile in comments, which the system makes back in
// place of converting the records: taken as it is, and refused once the
// carried header's own size is made smaller than its fields.
TEST(MetafilePictures, TheEnhancedMetafileTheSystemCarriesHasItsChecks) {
    HDC recording = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(recording, 10, 20, 110, 70);
    HENHMETAFILE emf = CloseEnhMetaFile(recording);
    HDC screen = GetDC(nullptr);
    Bytes picture(12 + GetWinMetaFileBits(emf, 0, nullptr, MM_ANISOTROPIC, screen));
    GetWinMetaFileBits(emf, static_cast<UINT>(picture.size() - 12), picture.data() + 12,
                       MM_ANISOTROPIC, screen);
    ReleaseDC(nullptr, screen);
    DeleteEnhMetaFile(emf);
    picture[0] = MM_ANISOTROPIC;
    EXPECT_EQ(ReadMetafilePictureHeader(picture).problem, "");

    // The first comment's identifier, 10 bytes into its record; the carried
    // metafile 44 bytes into it, its own size 4 bytes into that.
    const char identifier[] = "WMFC";
    const auto comment = std::search(picture.begin(), picture.end(), identifier, identifier + 4);
    ASSERT_NE(comment, picture.end()) << "the conversion carries the enhanced metafile";
    *(comment - 10 + 44 + 4) = 40;
    EXPECT_EQ(ReadMetafilePictureHeader(picture).problem,
              "Its metafile carries an enhanced metafile, which the system makes in its place: Its "
              "header gives its own size as 40 bytes, fewer than an enhanced metafile header's 88 "
              "bytes.");
}

}  // namespace
}  // namespace norvane
