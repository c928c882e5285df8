// Malformed data on the real clipboard, placed by clipboard_helper as another
// program could place it: the viewer and the inspector show it and survive,
// leave the clipboard closed, the inspector says what is wrong, and Save As
// writes nothing that claims more than it holds.
#include <richedit.h>
#include <richole.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>

#include "clipboard/format_list.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "inspector/rich_text.h"
#include "inspector/save_all_formats.h"
#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_save_format.h"
#include "util/little_endian.h"
#include "win32/inspector_settles.h"
#include "win32/pixels.h"
#include "win32/second_process.h"
#include "win32/window_text.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::HasSubstr;
using testing::RecordingMessages;
using testing::WideTextOf;
using Bytes = std::vector<std::uint8_t>;

struct HostileCase {
    const char* name;  // clipboard_helper's name for the data it places
    unsigned format;
    const char* told;  // what the inspector says of it
    // Data the system takes from no program, given by a fake clipboard as
    // the clipboard service reads it.
    std::optional<FormatData> fake = std::nullopt;
    const char* registered = nullptr;  // the format's name, when it is registered
    // RTF: a part of what the formatted view shows, and how many pictures
    // it holds (never an embedded object); nullptr: the view is not shown.
    const wchar_t* formatted = nullptr;
    long pictures = 0;

    friend void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }
};

// An enhanced metafile's header (88 bytes) claiming `claimed` bytes.
FormatData EnhMetafileClaiming(std::uint32_t claimed) {
    Bytes bytes;
    for (std::uint32_t field : {1u, 88u}) PutU32(bytes, field);
    bytes.resize(40);
    for (std::uint32_t field : {0x464D4520u, 0x10000u, claimed, 2u}) PutU32(bytes, field);
    bytes.resize(88);
    return {DataKind::EnhancedMetafile, bytes};
}

// A metafile picture (anisotropic, 1000 x 500) whose metafile's header says
// it takes `words` 16-bit words, followed by `records`.
FormatData MetafilePicture(std::uint32_t words, const Bytes& records) {
    Bytes bytes;
    for (std::uint32_t field : {8u, 1000u, 500u}) PutU32(bytes, field);
    for (std::uint32_t field : {1u, 9u, 0x300u}) PutU16(bytes, field);
    PutU32(bytes, words);
    bytes.resize(12 + 18);
    bytes.insert(bytes.end(), records.begin(), records.end());
    return {DataKind::MetafilePicture, bytes};
}

// The sizes that wrap (in 32 bits, the first also in 64) ask for far more
// than the block holds.
const HostileCase kCases[] = {
    {"dib-sizes-wrap", 8, "The block holds 40 bytes; its bitmap header asks for "},
    {"dibv5-sizes-wrap", 17, "The block holds 124 bytes; its bitmap header asks for "},
    {"dib-colours-beyond", 8, "The block holds 48 bytes; its bitmap header asks for 1072 bytes."},
    {"dibv5-colours-beyond", 17,
     "The block holds 132 bytes; its bitmap header asks for 196 bytes."},
    {"dib-negative-width", 8, "Its header gives a size of -16 x 8 pixels."},
    {"dib-zero-height", 8, "Its header gives a size of 16 x 0 pixels."},
    {"dibv5-header-beyond", 17, "The block holds 64 bytes; its bitmap header takes 124 bytes."},
    {"emf-truncated", 14, "without an end record"},
    {"dib-never-rendered", 8, "did not render the format \"CF_DIB (Predefined) [8]\"."},
    {"dib-zero-bytes", 8, "The block holds 0 bytes, too few for a bitmap header.",
     FormatData{DataKind::MemoryBlock, {}}},
    {"metafilepict-not-metafile", 3, "a handle whose kind is unknown",
     FormatData{DataKind::UnknownHandle, {}}},
    {"hdrop-offset-beyond", 15,
     "The paths' offset 2147483632 lies past the block's 40 bytes; the paths are not read."},
    {"hdrop-unended", 15, "The list is not ended by an empty path within the block"},
    {"html-offsets-beyond", 0, "EndFragment 4000000000 lies past the block's ", std::nullopt,
     "HTML Format"},
    {"png-huge", 0,
     "\r\nThe picture could not be decoded: its header claims 100000 x 100000 pixels, more than "
     "the preview decodes (67108864 pixels).",
     std::nullopt, "PNG"},
    {"png-truncated", 0, "\r\nThe picture could not be decoded: ", std::nullopt, "PNG"},
    {"jpeg-huge", 0,
     "\r\nThe picture could not be decoded: its header claims 65535 x 65535 pixels, ", std::nullopt,
     "JFIF"},
    {"jpeg-truncated", 0, "\r\nThe picture could not be decoded: ", std::nullopt, "JFIF"},
    {"gif-huge", 0,
     "\r\nThe picture could not be decoded: its header claims 65535 x 65535 pixels, ", std::nullopt,
     "GIF"},
    {"gif-truncated", 0,
     "\r\nThe picture could not be decoded: the GIF decoder found no image in it.", std::nullopt,
     "GIF"},
    // Metafiles no program can place through the system, which checks them:
    // the preview makes none from bytes that lie.
    {"emf-claims-more", 14, "The block holds 88 bytes; its header claims 4000000000 bytes.",
     EnhMetafileClaiming(4000000000)},
    {"metafilepict-claims-more", 3,
     "The block holds 18 bytes after the picture's fields; its metafile header claims 2000000000 "
     "bytes.",
     MetafilePicture(1000000000, {})},
    {"metafilepict-unended", 3, "The metafile's records end without an end record at offset 36.",
     MetafilePicture(12, {3, 0, 0, 0, 0x1E, 0})},
    // The block's size is its text's: nothing past it is read.
    {"rtf-unended", 0, ": a memory block, 27 bytes\r\n", std::nullopt, "Rich Text Format",
     L"no terminating zero"},
    {"rtf-groups-deep", 0,
     "\r\nThe formatted view is not shown: its groups nest deeper than 32 levels.", std::nullopt,
     "Rich Text Format"},
    {"rtf-tables-deep", 0,
     "\r\nThe formatted view is not shown: its tables nest deeper than 32 levels.", std::nullopt,
     "Rich Text Format"},
    {"rtf-object", 0, ": a memory block, ", std::nullopt, "Rich Text Format", L"shown result"},
    {"rtf-picture", 0, ": a memory block, ", std::nullopt, "Rich Text Format", L"after", 1},
    {"rtf-not-rtf", 0, "The formatted view is not shown: the text does not begin with \"{\\rtf\".",
     std::nullopt, "Rich Text Format"},
    {"rtf-nothing-to-read", 0,
     "The formatted view is not shown: the rich edit box read nothing of the RTF", std::nullopt,
     "Rich Text Format"},
    {"rtf-huge", 0, "\r\nThe formatted view shows the first 1048576 of the RTF's 2097146 bytes.",
     std::nullopt, "Rich Text Format", L"shown"},
};

// The objects a rich edit box holds: its pictures, and any object it made.
long ObjectCount(HWND box) {
    IRichEditOle* ole = nullptr;
    SendMessageA(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    if (!ole) return -1;
    const long count = ole->GetObjectCount();
    ole->Release();
    return count;
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Whether what the file's headers claim lies within it: a .bmp's file size,
// offset of its rows and the rows themselves, a placeable metafile's and an
// enhanced metafile's size. Counted in 64 bits, where nothing here wraps.
bool HoldsWhatItClaims(const Bytes& file) {
    const std::uint64_t size = file.size();
    if (size >= 54 && file[0] == 'B' && file[1] == 'M') {
        const std::span<const std::uint8_t> dib(file.data() + 14, file.size() - 14);
        const std::uint64_t offset = ReadU32(file, 10);
        const std::int64_t width = ReadI32(dib, 4), height = ReadI32(dib, 8);
        const std::uint64_t bits = ReadU16(dib, 14), compression = ReadU32(dib, 16);
        std::uint64_t rows = 0;
        if (compression == 0 && width > 0 && bits <= 32)
            rows = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
        std::uint64_t rowBytes = 0;
        if (__builtin_mul_overflow(rows, static_cast<std::uint64_t>(height < 0 ? -height : height),
                                   &rowBytes))
            return false;
        return ReadU32(file, 2) == size && ReadU32(dib, 0) + 14 <= offset && offset <= size &&
               rowBytes <= size - offset;
    }
    if (size >= 22 + 18 && ReadU32(file, 0) == 0x9AC6CDD7)
        return 22 + std::uint64_t{ReadU32(file, 22 + 6)} * 2 <= size;
    if (size >= 88 && ReadU32(file, 0) == 1 && ReadU32(file, 40) == 0x464D4520)
        return ReadU32(file, 48) <= size;
    return true;  // a block byte for byte claims nothing
}

std::string ScratchFile(const HostileCase& c) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "norvane-hostile-" + std::to_string(GetCurrentProcessId()) + "-" +
           c.name;
}

struct HostileDataTest : ::testing::TestWithParam<HostileCase> {
    static void SetUpTestSuite() { LoadLibraryA("riched20.dll"); }
    HostileDataTest() {
        if (data.fake) {
            fake.formats = {{data.format, ""}};
            fake.data[data.format] = data.fake;
            return;
        }
        helper.emplace(testing::SecondProcess::ClipboardHelperProgram(),
                       [&](const std::string& name) {
                           return std::string("hostile ") + name + " " + data.name;
                       });
    }

    const HostileCase& data = GetParam();
    std::optional<testing::SecondProcess> helper;
    RecordingMessages messages;
    Win32ClipboardService real;
    testing::FakeClipboard fake;
    ClipboardService& clipboard = data.fake ? static_cast<ClipboardService&>(fake) : real;

    void ExpectClipboardClosed(const char* after) {
        if (data.fake) {
            EXPECT_FALSE(fake.isOpen) << after << " left the clipboard open";
            return;
        }
        const bool opened = OpenClipboard(nullptr);
        EXPECT_TRUE(opened) << after << " left the clipboard open";
        if (opened) CloseClipboard();
    }
};

TEST_P(HostileDataTest, ShownHarmlesslyAndDescribed) {
    TClipboard_Viewer_Form viewer{messages, clipboard, nullptr};
    viewer.Show();
    ExpectClipboardClosed("the viewer");
    ShowWindow(viewer.Handle(), SW_HIDE);

    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};
    const unsigned format =
        data.registered ? RegisterClipboardFormatA(data.registered) : data.format;
    inspector.SetFormat(format, FormatLine(format, data.registered ? data.registered : ""));
    inspector.Show();
    EXPECT_TRUE(testing::InspectorSettles(inspector));
    UpdateWindow(inspector.Dump().Handle());
    UpdateWindow(inspector.Picture().Handle());
    ExpectClipboardClosed("the inspector");
    std::string said = inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label));
    for (const std::string& text : messages.Texts()) said += "\r\n" + text;
    EXPECT_THAT(said, HasSubstr(data.told));
    if (data.registered && IsRichTextFormat(data.registered)) {
        // The text view shows the RTF as it is, whatever the formatted view does.
        EXPECT_TRUE(IsWindowVisible(inspector.Text().Handle()));
        const HWND formatted = inspector.Formatted().Box();
        EXPECT_EQ(formatted && IsWindowVisible(formatted), data.formatted != nullptr);
        UpdateWindow(formatted);
        if (data.formatted) {
            EXPECT_THAT(WideTextOf(formatted), HasSubstr(data.formatted));
            EXPECT_EQ(ObjectCount(formatted), data.pictures);
        }
    }

    const std::string path = ScratchFile(data);
    DeleteFileA(path.c_str());
    const auto failure = WriteFormatFile(path, format, inspector.Reading().data);
    if (failure) {
        EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    } else {
        EXPECT_TRUE(HoldsWhatItClaims(FileBytes(path)))
            << "the saved file claims more than it holds";
        DeleteFileA(path.c_str());
    }
    ShowWindow(inspector.Handle(), SW_HIDE);
}

INSTANTIATE_TEST_SUITE_P(Clipboard, HostileDataTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

struct RefusedCase {
    const char* name;  // clipboard_helper's name for the DIB it places
    const char* why;
};

// The bitmap the system would make from these DIBs is never asked for.
const RefusedCase kRefusedCases[] = {
    {"dib-zero-height",
     "the system makes it from the clipboard's CF_DIB, whose header does not fit its block: its "
     "header gives a size of 16 x 0 pixels"},
    {"dib-colours-beyond",
     "the system makes it from the clipboard's CF_DIB, whose header does not fit its block: the "
     "block holds 48 bytes; its bitmap header asks for 1072 bytes"},
    {"dib-colours-past-depth",
     "the system makes it from the clipboard's CF_DIB, whose header does not fit its block: its "
     "header counts 256 colours, more than its 1-bit pixels can index (2)"},
    {"dibv5-sizes-wrap",
     "the system makes it from the clipboard's CF_MAX, whose header does not fit its block: the "
     "block holds 124 bytes; its bitmap header asks for "},
};

TEST(HostileBitmap, TheInspectorAndSaveAllSayWhyTheBitmapIsNotRead) {
    Win32ClipboardService clipboard;
    for (const RefusedCase& c : kRefusedCases) {
        ClipboardHelper helper("hostile", c.name);
        const FormatReading reading = ReadFormat(clipboard, kBitmapFormat, nullptr);
        EXPECT_EQ(reading.outcome, ReadOutcome::Failed) << c.name;
        EXPECT_THAT(HeaderText(kBitmapFormat, reading),
                    HasSubstr(std::string("Format 2: it could not be read: ") + c.why))
            << c.name;
        const ClipboardSnapshot snapshot = CopyAllFormats(clipboard, nullptr, 1 << 20);
        bool listed = false;
        for (const CopiedFormat& copied : snapshot.formats) {
            if (copied.format != kBitmapFormat) continue;
            listed = true;
            EXPECT_THAT(NotReadReason(copied.reading), HasSubstr(c.why)) << c.name;
        }
        EXPECT_TRUE(listed) << c.name;
    }
}

// A DIB of no rows made the system hand out its own 1 x 1 bitmap as the
// clipboard's, which the clipboard deleted at its next change: the memory
// DCs made after had no bitmap, and the next picture was drawn 1 pixel of it.
TEST(HostileBitmap, ADibOfNoRowsLeavesLaterPicturesWhole) {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TClipboard_Viewer_Form viewer{messages, clipboard, nullptr};
    for (const char* placed : {"dib-zero-height", "dib-whole"}) {
        ClipboardHelper helper("hostile", placed);
        viewer.Show();
        ShowWindow(viewer.Handle(), SW_HIDE);
    }
    EXPECT_THAT(messages.errors, ::testing::ElementsAre("Error getting clipboard data"));

    const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    const HGDIOBJ selected = GetCurrentObject(dc.get(), OBJ_BITMAP);
    ASSERT_EQ(GetObjectType(selected), static_cast<DWORD>(OBJ_BITMAP));
    BITMAP info{};
    GetObjectA(selected, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);

    // The viewer draws the whole picture: 40 x 30 black pixels.
    testing::Canvas canvas(60, 50, RGB(255, 255, 255));
    const auto& image = viewer.Get(ViewerFormPart::Image1);
    DRAWITEMSTRUCT item{ODT_STATIC,  image.id,       0, ODA_DRAWENTIRE, 0, image.hwnd,
                        canvas.dc(), {0, 0, 60, 50}, 0};
    SendMessageA(viewer.Handle(), WM_DRAWITEM, image.id, reinterpret_cast<LPARAM>(&item));
    int black = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) black += canvas.At(x, y) == RGB(0, 0, 0);
    EXPECT_EQ(black, 40 * 30);
}

}  // namespace
}  // namespace norvane
