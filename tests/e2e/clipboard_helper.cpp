// Test helper. Modes, each "MODE NAME ARGUMENT":
//   text      places ARGUMENT on the clipboard and stays its owner
//   bitmap    the same, with a 24 x 16 bitmap beside the text
//   format    the same, with ARGUMENT also under the registered format "My Format"
//   noowner   places ARGUMENT, then destroys its window: data without an owner
//   delayed   offers text by delayed rendering and then renders nothing
//   hold      places ARGUMENT, then keeps the clipboard open until NAME.release
//   holdonly  keeps the clipboard open until NAME.release, placing nothing
//   holdfile  keeps the file ARGUMENT open without sharing
//   listbox   shows a list box (window class NorvaneTestList) whose line 0 is
//             ARGUMENT and whose line 1 grows each time it is read
//   crash     writes through a null pointer once ready
//   inspect   ARGUMENT as text in formats 1 and 13 (with " \u00e9t\u00e9" in 13), 300
//             known bytes under "Norvane Bytes", a 24 x 16 bitmap (left half red,
//             right half blue), an enhanced metafile (a rectangle), and "Norvane
//             Delayed" by delayed rendering, which it never renders
//   bytes     ARGUMENT as text, and as many known bytes as ARGUMENT says under
//             "Norvane Bytes" (byte i is i * 7 + 3)
//   burst     places what "bytes" places five times in a row, each a change
//             of its own, as a clipboard manager might
//   documents a wide file list (CF_HDROP) of "C:\\one.txt" and "D:\\two words.txt", "HTML
//             Format" whose fragment is "<b>ARGUMENT</b>" from https://example.com/page,
//             the locale 0x0407 (CF_LOCALE), a 16 x 8 CF_DIBV5 with alpha (left
//             half transparent, right half red at alpha 0x80), and "Rich Text Format"
//             whose text is "plain ARGUMENT end", ARGUMENT bold (RichText)
//   shellfiles Explorer's cut of files: the file list of "documents", "Preferred
//             DropEffect" 2 (move), and "FileGroupDescriptorW" of two files
//             that lie in no folder, "report.pdf" (104,857 bytes, changed
//             2026-12-01 10:15 UTC) and "photo.jpg"
//   pictures  pictures in their own codings (see picture_samples.h): a PNG under
//             "PNG", a JPEG under "JFIF" and a GIF under "GIF"
//   hostile   the malformed data named ARGUMENT, alone, as a careless or hostile
//             program would place it (see kHostileData)
//   unicode   as format 13 only, as a Unicode program does: kUnicodeLine, then
//             as many 80-character lines as ARGUMENT says
//   empty     empties the clipboard and stays its owner, with no data
//   ongo      places ARGUMENT as text once NAME.go is set
//   changes   once ready, places text as many times in a row as ARGUMENT
//             says ("COUNT" or "COUNT PAUSE", the pause in milliseconds
//             after each), each a change of its own
//   twoholds  once ready, places text and holds the clipboard 300 ms, closes
//             it, opens it again 20 ms later and does the same again
//   halfway   opens the clipboard and empties it, then once NAME.go is set
//             places ARGUMENT as text and closes it: a copy half-way
//   slowrender offers text by delayed rendering and renders it 1.5 s after
//             it is asked for
//   stuckrender offers text by delayed rendering and, asked for it, answers
//             nothing until NAME.quit
//   ticked    once NAME.go is set, places as text its tick count
//             (GetTickCount) taken just before it closes the clipboard
// Signals NAME.ready once set up, ends on NAME.quit.
// As the shell's handler of links, "record FILE LINK" appends LINK to FILE
// as a line and ends.
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "e2e/picture_samples.h"

namespace {

using norvane::testing::GifSample;
using norvane::testing::kJpegFrameSize;
using norvane::testing::kJpegSample;
using norvane::testing::PngClaiming;
using norvane::testing::PngSample;

HGLOBAL Copy(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL KnownBytes(std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(memory));
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL WideCopy(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    wide += L" \u00e9t\u00e9";
    const std::size_t size = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), wide.c_str(), size);
    GlobalUnlock(memory);
    return memory;
}

// Text beyond any ANSI code page, with a character beyond the BMP.
const wchar_t kUnicodeLine[] =
    L"Gr\u00fc\u00dfe \u65e5\u672c\u8a9e \U0001F600 \u03a9mega "
    L"\u041f\u0440\u0438\u0432\u0435\u0442 \u0645\u0631\u062d\u0628\u0627";

HGLOBAL UnicodeLines(unsigned long lines) {
    std::wstring text = kUnicodeLine;
    const std::wstring line = std::wstring(78, L'u') + L"\r\n";
    for (unsigned long n = 0; n < lines; ++n) text += line;
    const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text.c_str(), size);
    GlobalUnlock(memory);
    return memory;
}

// Left half red, right half blue.
HBITMAP TwoColourBitmap() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECT left{0, 0, 12, 16}, right{12, 0, 24, 16};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    SelectObject(dc, previous);
    DeleteObject(red);
    DeleteObject(blue);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HENHMETAFILE RectangleMetafile() {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(dc, 10, 20, 110, 70);
    return CloseEnhMetaFile(dc);
}

bool PlaceForInspection(const std::string& mode, const char* text) {
    const UINT bytes = RegisterClipboardFormatA("Norvane Bytes");
    if (mode == "bytes")
        return SetClipboardData(bytes, KnownBytes(std::strtoul(text, nullptr, 10))) != nullptr;
    return SetClipboardData(CF_UNICODETEXT, WideCopy(text)) != nullptr &&
           SetClipboardData(bytes, KnownBytes(300)) != nullptr &&
           SetClipboardData(CF_BITMAP, TwoColourBitmap()) != nullptr &&
           SetClipboardData(CF_ENHMETAFILE, RectangleMetafile()) != nullptr &&
           (SetClipboardData(RegisterClipboardFormatA("Norvane Delayed"), nullptr),
            IsClipboardFormatAvailable(RegisterClipboardFormatA("Norvane Delayed")));
}

HGLOBAL BlockWith(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    return memory;
}

// A DROPFILES header (paths at 20, wide) and `paths`.
HGLOBAL FileList(const std::wstring& paths) {
    std::string block(20, '\0');
    block[0] = 20;
    block[16] = 1;
    block.append(reinterpret_cast<const char*>(paths.data()), paths.size() * sizeof(wchar_t));
    return BlockWith(block.data(), block.size());
}

// "HTML Format" with offsets of ten digits, counted from what follows them.
std::string HtmlFormat(const std::string& fragment) {
    const std::string before = "<html><body><!--StartFragment-->";
    const std::string html = before + fragment + "<!--EndFragment--></body></html>";
    char header[256];
    for (int pass = 0, length = 0; pass < 2; ++pass)
        length = std::snprintf(header, sizeof header,
                               "Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\n"
                               "StartFragment:%010d\r\nEndFragment:%010d\r\n"
                               "SourceURL:https://example.com/page\r\n",
                               length, length + static_cast<int>(html.size()),
                               length + static_cast<int>(before.size()),
                               length + static_cast<int>(before.size() + fragment.size()));
    return header + html;
}

// A 32-bit DIBV5 whose alpha mask is 0xFF000000, bottom-up.
HGLOBAL AlphaDib() {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = 16;
    header.bV5Height = 8;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (int i = 0; i < 16 * 8; ++i) {
        const std::uint32_t pixel = i % 16 < 8 ? 0 : 0x80FF0000;
        block.append(reinterpret_cast<const char*>(&pixel), sizeof pixel);
    }
    return BlockWith(block.data(), block.size());
}

// RTF as a word processor copies it, with `bold` in bold.
std::string RichText(const std::string& bold) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b " + bold + "} end}";
}

bool PlaceDocuments(const char* text) {
    constexpr wchar_t kPaths[] = L"C:\\one.txt\0D:\\two words.txt\0\0";
    const std::wstring paths(kPaths, std::size(kPaths) - 1);
    const std::string html = HtmlFormat("<b>" + std::string(text) + "</b>");
    const std::string rtf = RichText(text);
    const std::uint32_t locale = 0x0407;
    return SetClipboardData(RegisterClipboardFormatA("Rich Text Format"),
                            BlockWith(rtf.c_str(), rtf.size() + 1)) != nullptr &&
           SetClipboardData(CF_HDROP, FileList(paths)) != nullptr &&
           SetClipboardData(RegisterClipboardFormatA("HTML Format"),
                            BlockWith(html.c_str(), html.size() + 1)) != nullptr &&
           SetClipboardData(CF_LOCALE, BlockWith(&locale, sizeof locale)) != nullptr &&
           SetClipboardData(CF_DIBV5, AlphaDib()) != nullptr;
}

// Explorer's cut of files that also lie in no folder, as a mail program
// offers its attachments.
bool PlaceShellFiles() {
    constexpr wchar_t kPaths[] = L"C:\\one.txt\0D:\\two words.txt\0\0";
    const DWORD move = DROPEFFECT_MOVE;
    struct {
        UINT count = 2;
        FILEDESCRIPTORW files[2]{};
    } group;
    wcscpy(group.files[0].cFileName, L"report.pdf");
    group.files[0].dwFlags = FD_FILESIZE | FD_WRITESTIME;
    group.files[0].nFileSizeLow = 104857;
    // 2026-12-01 10:15:59 UTC.
    const ULONGLONG written = 134405937590000000;
    group.files[0].ftLastWriteTime = {static_cast<DWORD>(written),
                                      static_cast<DWORD>(written >> 32)};
    wcscpy(group.files[1].cFileName, L"photo.jpg");
    static_assert(sizeof group == sizeof(UINT) + 2 * 592);
    return SetClipboardData(CF_HDROP, FileList({kPaths, std::size(kPaths) - 1})) != nullptr &&
           SetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"),
                            BlockWith(&move, sizeof move)) != nullptr &&
           SetClipboardData(RegisterClipboardFormatA("FileGroupDescriptorW"),
                            BlockWith(&group, sizeof group)) != nullptr;
}

HGLOBAL BlockWith(const std::string& bytes) {
    return BlockWith(bytes.data(), bytes.size());
}

bool PlacePictures() {
    const std::string jpeg(kJpegSample.begin(), kJpegSample.end());
    return SetClipboardData(RegisterClipboardFormatA("PNG"), BlockWith(PngSample())) != nullptr &&
           SetClipboardData(RegisterClipboardFormatA("JFIF"), BlockWith(jpeg)) != nullptr &&
           SetClipboardData(RegisterClipboardFormatA("GIF"), BlockWith(GifSample())) != nullptr;
}

// The first `size` bytes of a picture: one cut short.
HANDLE CutShort(const std::string& bytes, std::size_t size) {
    return BlockWith(bytes.substr(0, size));
}

// Little-endian fields written into a block at their offsets.
struct Field {
    std::size_t at;
    std::uint32_t value;
    std::size_t width = 4;
};

HGLOBAL BlockOf(std::size_t size, std::initializer_list<Field> fields) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(memory));
    for (const Field& f : fields)
        for (std::size_t i = 0; i < f.width && f.at + i < size; ++i)
            bytes[f.at + i] = static_cast<unsigned char>(f.value >> (8 * i));
    GlobalUnlock(memory);
    return memory;
}

// A bitmap header (40 or 124 bytes) in a block of `size` bytes.
HGLOBAL Dib(std::uint32_t headerSize, std::size_t size, std::int32_t width, std::int32_t height,
            std::uint16_t bits, std::uint32_t colorsUsed) {
    return BlockOf(size, {{0, headerSize},
                          {4, static_cast<std::uint32_t>(width)},
                          {8, static_cast<std::uint32_t>(height)},
                          {12, 1, 2},
                          {14, bits, 2},
                          {32, colorsUsed}});
}

// An enhanced metafile cut off before its end record. The system takes no
// header that claims more bytes than it is given: the header claims only
// what is left, and its count of records still the end record.
HENHMETAFILE TruncatedMetafile() {
    HENHMETAFILE whole = RectangleMetafile();
    std::string bits(GetEnhMetaFileBits(whole, 0, nullptr), '\0');
    GetEnhMetaFileBits(whole, static_cast<UINT>(bits.size()), reinterpret_cast<BYTE*>(bits.data()));
    DeleteEnhMetaFile(whole);
    const auto cut = static_cast<std::uint32_t>(bits.size() - 20);  // EMR_EOF takes 20 bytes
    std::memcpy(bits.data() + 48, &cut, sizeof cut);                // ENHMETAHEADER.nBytes
    return SetEnhMetaFileBits(cut, reinterpret_cast<const BYTE*>(bits.data()));
}

// RTF under "Rich Text Format" in a block of its own bytes: no terminating zero.
HANDLE RichTextBlock(const std::string& rtf) {
    return BlockWith(rtf.data(), rtf.size());
}

struct HostileData {
    const char* name;
    UINT format;  // when no registered name is given
    HANDLE (*make)();
    const char* registered = nullptr;
};

// Each way a header can lie that the readers check, and data that is not
// there. (Wine takes neither a zero-byte block nor a metafile picture
// without a metafile from a program: the tests give those through a fake.)
const HostileData kHostileData[] = {
    // Its sizes sum to 0 modulo 2^32: 40 + 4 x 0x7FFFFFF6 + 0x1FFFFFFFC x 2^31.
    {"dib-sizes-wrap", CF_DIB,
     [] { return HANDLE(Dib(40, 40, 0x7FFFFFFF, INT32_MIN, 32, 0x7FFFFFF6)); }},
    // 124 + 4 x 0x3FFFFFE1 + 0x1FFFFFFFC x 2^31: 0 modulo 2^32.
    {"dibv5-sizes-wrap", CF_DIBV5,
     [] { return HANDLE(Dib(124, 124, 0x7FFFFFFF, INT32_MIN, 32, 0x3FFFFFE1)); }},
    {"dib-colours-beyond", CF_DIB, [] { return HANDLE(Dib(40, 48, 2, 2, 8, 0)); }},
    {"dibv5-colours-beyond", CF_DIBV5, [] { return HANDLE(Dib(124, 132, 2, 2, 4, 16)); }},
    // Whole as its 1-bit pixels count it; the system would take 256 colours.
    {"dib-colours-past-depth", CF_DIB, [] { return HANDLE(Dib(40, 52, 1, 1, 1, 256)); }},
    {"dib-negative-width", CF_DIB, [] { return HANDLE(Dib(40, 40 + 8 * 48, -16, 8, 24, 0)); }},
    {"dib-zero-height", CF_DIB, [] { return HANDLE(Dib(40, 40 + 48, 16, 0, 24, 0)); }},
    {"dibv5-header-beyond", CF_DIBV5, [] { return HANDLE(Dib(124, 64, 4, 4, 24, 0)); }},
    {"emf-truncated", CF_ENHMETAFILE, [] { return HANDLE(TruncatedMetafile()); }},
    {"dib-never-rendered", CF_DIB, [] { return HANDLE(nullptr); }},
    // A whole one, 40 x 30 black pixels, to follow them.
    {"dib-whole", CF_DIB, [] { return HANDLE(Dib(40, 40 + 30 * 120, 40, 30, 24, 0)); }},
    // Paths said to start far past the block's 40 bytes.
    {"hdrop-offset-beyond", CF_HDROP,
     [] {
         return HANDLE(BlockOf(40, {{0, 0x7FFFFFF0}}));
     }},
    // Wide paths that fill the block with no empty path to end them.
    {"hdrop-unended", CF_HDROP,
     [] {
         return HANDLE(BlockOf(26, {{0, 20}, {16, 1}, {20, 'A', 2}, {24, 'B', 2}}));
     }},
    // Pictures in their own codings whose headers claim more than any
    // preview decodes (the JPEG's frame header at offset 158 claims 65535 x
    // 65535), and ones cut short in their pixels.
    {"png-huge", 0, [] { return HANDLE(BlockWith(PngClaiming(100000, 100000))); }, "PNG"},
    {"png-truncated", 0, [] { return CutShort(PngSample(), 2000); }, "PNG"},
    {"jpeg-huge", 0,
     [] {
         std::string jpeg(kJpegSample.begin(), kJpegSample.end());
         jpeg.replace(kJpegFrameSize, 4, "\xFF\xFF\xFF\xFF");
         return HANDLE(BlockWith(jpeg));
     },
     "JFIF"},
    {"jpeg-truncated", 0,
     [] { return CutShort(std::string(kJpegSample.begin(), kJpegSample.end()), 200); }, "JFIF"},
    {"gif-huge", 0,
     [] {
         std::string gif = GifSample();
         gif.replace(6, 4, "\xFF\xFF\xFF\xFF");  // the screen's width and height
         return HANDLE(BlockWith(gif));
     },
     "GIF"},
    {"gif-truncated", 0, [] { return CutShort(GifSample(), 40); }, "GIF"},
    // A fragment said to end 4 GB into a block of a few dozen bytes.
    {"html-offsets-beyond", 0,
     [] {
         const char html[] =
             "StartHTML:0\r\nEndHTML:70\r\nStartFragment:60\r\n"
             "EndFragment:4000000000\r\n<b>";
         return HANDLE(BlockWith(html, sizeof html));
     },
     "HTML Format"},
    {"rtf-unended", 0, [] { return RichTextBlock("{\\rtf1 no terminating zero}"); },
     "Rich Text Format"},
    {"rtf-groups-deep", 0,
     [] {
         const std::size_t depth = 1000;
         return RichTextBlock("{\\rtf1 a" + std::string(depth, '{') + "x" +
                              std::string(depth, '}') + "}");
     },
     "Rich Text Format"},
    {"rtf-tables-deep", 0,
     [] { return RichTextBlock("{\\rtf1\\intbl\\itap100000 x\\nestcell\\nestrow}"); },
     "Rich Text Format"},
    // An embedded package object, and its result as a program without it shows it.
    {"rtf-object", 0,
     [] {
         return RichTextBlock(
             "{\\rtf1 before {\\object\\objemb{\\*\\objclass Package}\\objw100\\objh100"
             "{\\*\\objdata 01050000020000000800000050616b6b616765000000000000000000}"
             "{\\result shown result}} after}");
     },
     "Rich Text Format"},
    // A metafile picture of 14 bytes that asks to be drawn 700 inches wide.
    {"rtf-picture", 0,
     [] {
         return RichTextBlock(
             "{\\rtf1 before {\\pict\\wmetafile8\\picw100000\\pich100000\\picwgoal1000000"
             "\\pichgoal1000000 0100090000030000000000000000} after}");
     },
     "Rich Text Format"},
    {"rtf-not-rtf", 0, [] { return RichTextBlock("plain words"); }, "Rich Text Format"},
    {"rtf-nothing-to-read", 0, [] { return RichTextBlock("{\\rtf1{\\*\\generator Norvane;}}"); },
     "Rich Text Format"},
    // Two megabytes, almost all of them lines in a group the reader skips.
    {"rtf-huge", 0,
     [] {
         std::string lines;
         for (int n = 0; n < (2 << 20) / 80; ++n) lines += std::string(78, 'x') + "\r\n";
         return RichTextBlock("{\\rtf1 shown{\\*\\skipped " + lines + "}}");
     },
     "Rich Text Format"},
};

bool PlaceHostile(const char* name) {
    for (const HostileData& data : kHostileData)
        if (std::strcmp(data.name, name) == 0) {
            HANDLE handle = data.make();
            // Nothing made (a delayed format) is placed too; an owner renders it or not.
            const UINT format =
                data.registered ? RegisterClipboardFormatA(data.registered) : data.format;
            return (handle || std::strcmp(name, "dib-never-rendered") == 0) &&
                   (SetClipboardData(format, handle), IsClipboardFormatAvailable(format));
        }
    return false;
}

WNDPROC listProc = nullptr;

// Answers a read of line 1, then makes that line longer. A wide list box:
// the reads come from another process in their wide form.
LRESULT CALLBACK GrowingList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(listProc, list, message, wParam, lParam);
    if (message == LB_GETTEXT && wParam == 1) {
        const auto length = CallWindowProcW(listProc, list, LB_GETTEXTLEN, 1, 0);
        const std::wstring longer(static_cast<std::size_t>(length) + 100, L'x');
        CallWindowProcW(listProc, list, LB_DELETESTRING, 1, 0);
        CallWindowProcW(listProc, list, LB_INSERTSTRING, 1,
                        reinterpret_cast<LPARAM>(longer.c_str()));
    }
    return result;
}

void ShowList(HINSTANCE instance, const char* steady) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "NorvaneTestList";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("NorvaneTestList", "list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                200, 200, nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowW(L"ListBox", L"", WS_CHILD | WS_VISIBLE, 0, 0, 180, 150, window,
                              nullptr, instance, nullptr);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(steady));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("growing"));
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GrowingList)));
}

bool Place(HWND owner, const std::string& mode, const char* text) {
    for (int attempt = 0; attempt < 100 && !OpenClipboard(owner); ++attempt) Sleep(30);
    EmptyClipboard();
    bool placed;
    if (mode == "hostile") {
        placed = PlaceHostile(text);
    } else if (mode == "delayed") {
        SetClipboardData(CF_TEXT, nullptr);
        placed = IsClipboardFormatAvailable(CF_TEXT);
    } else if (mode == "unicode") {
        placed = SetClipboardData(CF_UNICODETEXT, UnicodeLines(std::strtoul(text, nullptr, 10)));
    } else if (mode == "empty") {
        placed = true;
    } else {
        placed = SetClipboardData(CF_TEXT, Copy(text)) != nullptr;
    }
    if (mode == "bitmap") {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 16);
        ReleaseDC(nullptr, screen);
        placed = placed && SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    }
    if (mode == "format")
        placed = placed && SetClipboardData(RegisterClipboardFormatA("My Format"), Copy(text));
    if (mode == "inspect" || mode == "bytes") placed = placed && PlaceForInspection(mode, text);
    if (mode == "documents") placed = placed && PlaceDocuments(text);
    if (mode == "pictures") placed = placed && PlacePictures();
    if (mode == "shellfiles") placed = placed && PlaceShellFiles();
    CloseClipboard();
    return placed;
}

// Appends ARGUMENT as a line to the file NAME: a link the shell opened.
int Record(const std::string& file, const char* link) {
    HANDLE handle = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    const std::string line = std::string(link) + "\r\n";
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(handle);
    return written == line.size() ? 0 : 3;
}

int HoldFile(const std::string& name, const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    WaitForSingleObject(quit, 60000);
    CloseHandle(file);
    return file == INVALID_HANDLE_VALUE ? 3 : 0;
}

int Crash(const std::string& name) {
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}

// Runs the owner's messages until quit; "release" closes a clipboard held open.
void RunUntilQuit(const std::string& name, bool holding) {
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, (name + ".release").c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (name + ".quit").c_str());
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str());
    SetEvent(ready);

    HANDLE waits[2] = {quit, release};
    DWORD count = 2;
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(count, waits, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        if (count == 2 && woke == WAIT_OBJECT_0 + 1) {
            if (holding) CloseClipboard();
            holding = false;
            count = 1;  // released: only quit is left to wait for
            continue;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    if (holding) CloseClipboard();
}

// Changes the clipboard COUNT times in a row once ready, pausing PAUSE ms
// after each ("COUNT" or "COUNT PAUSE"), and answers its messages between
// changes as a program's window does (under Wine, a reader of the clipboard
// asks its owner to bring it up to date, and waits).
int Changes(HWND owner, const std::string& name, const char* countAndPause) {
    char* rest = nullptr;
    const unsigned long count = std::strtoul(countAndPause, &rest, 10);
    const unsigned long pause = std::strtoul(rest, nullptr, 10);
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    for (unsigned long n = 0; n < count; ++n) {
        if (!Place(owner, "text", ("change " + std::to_string(n)).c_str())) return 3;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (pause) Sleep(pause);
    }
    RunUntilQuit(name, false);
    return 0;
}

// Answers the owner's messages (a reader of the clipboard may be waiting
// for its owner) until `event` is set or `ms` have passed.
void AnswerMessagesUntil(HANDLE event, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (DWORD now = GetTickCount(); static_cast<LONG>(end - now) > 0; now = GetTickCount()) {
        const DWORD woke =
            MsgWaitForMultipleObjects(event ? 1 : 0, &event, FALSE, end - now, QS_ALLINPUT);
        if (event && woke == WAIT_OBJECT_0) return;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

HANDLE GoEvent(const std::string& name) {
    return CreateEventA(nullptr, TRUE, FALSE, (name + ".go").c_str());
}

void SignalReady(const std::string& name) {
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
}

// Two holds of 300 ms, each placing text, 20 ms apart: each close a change.
int TwoHolds(HWND owner, const std::string& name) {
    SignalReady(name);
    for (int hold = 0; hold < 2; ++hold) {
        if (hold > 0) AnswerMessagesUntil(nullptr, 20);
        if (!OpenClipboard(owner)) return 3;
        EmptyClipboard();
        SetClipboardData(CF_TEXT, Copy(hold == 0 ? "first hold" : "second hold"));
        AnswerMessagesUntil(nullptr, 300);
        CloseClipboard();
    }
    RunUntilQuit(name, false);
    return 0;
}

// Emptied, and left so until NAME.go: a reader meanwhile finds no formats.
int HalfWay(HWND owner, const std::string& name, const char* text) {
    HANDLE go = GoEvent(name);
    if (!OpenClipboard(owner)) return 3;
    EmptyClipboard();
    SignalReady(name);
    AnswerMessagesUntil(go, 60000);
    SetClipboardData(CF_TEXT, Copy(text));
    CloseClipboard();
    RunUntilQuit(name, false);
    return 0;
}

LRESULT CALLBACK SlowRenderer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_RENDERFORMAT) return DefWindowProcA(window, message, wParam, lParam);
    Sleep(1500);
    SetClipboardData(static_cast<UINT>(wParam), Copy("rendered slowly"));
    return 0;
}

std::string stuckName;  // the helper's NAME, whose quit ends a stuck rendering

LRESULT CALLBACK StuckRenderer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_RENDERFORMAT) return DefWindowProcA(window, message, wParam, lParam);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, (stuckName + ".quit").c_str());
    WaitForSingleObject(quit, 60000);
    CloseHandle(quit);
    return 0;
}

int SlowRender(HWND owner, const std::string& name, WNDPROC renderer) {
    stuckName = name;
    SetWindowLongPtrA(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(renderer));
    if (!Place(owner, "delayed", "")) return 3;
    RunUntilQuit(name, false);
    return 0;
}

// The text says when the change was made, as this process's tick count.
int Ticked(HWND owner, const std::string& name) {
    HANDLE go = GoEvent(name);
    SignalReady(name);
    AnswerMessagesUntil(go, 60000);
    if (!OpenClipboard(owner)) return 3;
    EmptyClipboard();
    SetClipboardData(CF_TEXT, Copy(std::to_string(GetTickCount()).c_str()));
    CloseClipboard();
    RunUntilQuit(name, false);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 2;
    const std::string mode = __argv[1], name = __argv[2];
    const char* text = __argv[3];
    if (mode == "record") return Record(name, text);
    if (mode == "holdfile") return HoldFile(name, text);
    if (mode == "crash") return Crash(name);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "NorvaneTestOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowA("NorvaneTestOwner", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, instance, nullptr);
    if (mode == "listbox") {
        ShowList(instance, text);
    } else if (mode == "burst") {
        for (int round = 0; round < 5; ++round)
            if (!Place(owner, "bytes", text)) return 3;
    } else if (mode == "changes") {
        return Changes(owner, name, text);
    } else if (mode == "twoholds") {
        return TwoHolds(owner, name);
    } else if (mode == "halfway") {
        return HalfWay(owner, name, text);
    } else if (mode == "slowrender") {
        return SlowRender(owner, name, &SlowRenderer);
    } else if (mode == "stuckrender") {
        return SlowRender(owner, name, &StuckRenderer);
    } else if (mode == "ticked") {
        return Ticked(owner, name);
    } else if (mode == "ongo") {
        HANDLE go = CreateEventA(nullptr, TRUE, FALSE, (name + ".go").c_str());
        SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
        WaitForSingleObject(go, 60000);
        if (!Place(owner, "text", text)) return 3;
    } else if (mode != "holdonly" && !Place(owner, mode, text)) {
        return 3;
    }
    if (mode == "noowner") {
        // The data stays when its owner goes; the clipboard then has none.
        DestroyWindow(owner);
        owner = nullptr;
    }
    const bool holding = (mode == "hold" || mode == "holdonly") && OpenClipboard(owner);
    RunUntilQuit(name, holding);
    return 0;
}
