#include "inspector/format_contents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "clipboard/standard_formats.h"
#include "inspector/file_list.h"
#include "inspector/html_format.h"
#include "inspector/virtual_files.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::string Str(std::span<const std::uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A DROPFILES header whose paths start at `offset`, then `paths` as given.
Bytes DropFiles(std::uint32_t offset, bool wide, const Bytes& paths) {
    Bytes out;
    for (std::uint32_t v : {offset, 0u, 0u, 0u, wide ? 1u : 0u}) PutU32(out, v);
    out.insert(out.end(), paths.begin(), paths.end());
    return out;
}

Bytes Wide(std::string_view text) {
    Bytes out;
    for (char c : text) PutU16(out, static_cast<std::uint8_t>(c));
    return out;
}

TEST(FileList, NarrowPathsEndWithAnEmptyPath) {
    const Bytes block = DropFiles(20, false, Of(std::string("C:\\a.txt\0D:\\b c\0\0", 17)));
    const FileListReading list = ReadFileList(block);
    ASSERT_EQ(list.paths.size(), 2u);
    EXPECT_TRUE(list.ended);
    EXPECT_EQ(list.problem, "");
    EXPECT_EQ(Str(FileListText(list)), "C:\\a.txt\r\nD:\\b c");
}

TEST(FileList, WidePathsJoinedInWideCharacters) {
    const Bytes block = DropFiles(20, true, Wide(std::string("C:\\x\0C:\\y\0\0", 11)));
    const FileListReading list = ReadFileList(block);
    EXPECT_TRUE(list.wide && list.ended);
    EXPECT_EQ(FileListText(list), Wide("C:\\x\r\nC:\\y"));
}

TEST(FileList, OffsetsThatLieAreToldNotFollowed) {
    const Bytes paths = Of(std::string("C:\\a\0\0", 6));
    const FileListReading past = ReadFileList(DropFiles(4000, false, paths));
    EXPECT_TRUE(past.paths.empty());
    EXPECT_EQ(past.problem,
              "The paths' offset 4000 lies past the block's 26 bytes; the paths are not read.");
    const FileListReading inside = ReadFileList(DropFiles(8, false, paths));
    EXPECT_TRUE(inside.paths.empty());
    EXPECT_THAT(inside.problem, HasSubstr("lies within the header"));
    EXPECT_THAT(ReadFileList(Bytes(19)).problem, HasSubstr("too few"));
}

TEST(FileList, AListWithoutItsEndKeepsWhatTheBlockHolds) {
    // An odd byte after the last wide path is no character.
    Bytes tail = Wide(std::string("C:\\a\0C:\\b", 9));
    tail.push_back('z');
    const FileListReading list = ReadFileList(DropFiles(20, true, tail));
    ASSERT_EQ(list.paths.size(), 2u);
    EXPECT_EQ(list.paths[1].size(), 8u);
    EXPECT_FALSE(list.ended);
    EXPECT_THAT(list.problem, HasSubstr("not ended by an empty path"));
}

// An "HTML Format" block whose offsets are counted from what it holds.
std::string HtmlBlock(std::string_view source = "https://example.com/a") {
    const std::string before = "<html><body><!--StartFragment-->", fragment = "<b>bold</b>",
                      after = "<!--EndFragment--></body></html>";
    const auto header = [&](std::size_t length) {
        char text[256];
        std::snprintf(
            text, sizeof text,
            "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\n"
            "EndFragment:%010zu\r\nSourceURL:%.*s\r\n",
            length, length + before.size() + fragment.size() + after.size(), length + before.size(),
            length + before.size() + fragment.size(), static_cast<int>(source.size()),
            source.data());
        return std::string(text);
    };
    const std::size_t length = header(0).size();
    return header(length) + before + fragment + after;
}

TEST(HtmlFormat, FieldsAndFragmentOfAWholeBlock) {
    const std::string block = HtmlBlock();
    const Bytes bytes = Of(block);
    const HtmlFormatReading html = ReadHtmlFormat(bytes);
    EXPECT_EQ(html.problem, "");
    EXPECT_EQ(html.version, "0.9");
    EXPECT_EQ(html.sourceUrl, "https://example.com/a");
    ASSERT_TRUE(html.fragment);
    EXPECT_EQ(Str(*html.fragment), "<b>bold</b>");
    EXPECT_EQ(HtmlFormatLine(html), "HTML: version 0.9, HTML " + std::to_string(*html.startHtml) +
                                        " to " + std::to_string(block.size()) + ", fragment " +
                                        std::to_string(*html.startFragment) + " to " +
                                        std::to_string(*html.endFragment) +
                                        ", source https://example.com/a");
}

TEST(HtmlFormat, OffsetsPastTheBlockAreToldAndTheFragmentNotTaken) {
    const std::string block =
        "Version:1.0\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:60\r\nEndFragment:99999\r\n<b>";
    const HtmlFormatReading html = ReadHtmlFormat(Of(block));
    EXPECT_FALSE(html.fragment);
    EXPECT_EQ(html.startHtml, -1);
    EXPECT_EQ(html.problem, "EndFragment 99999 lies past the block's " +
                                std::to_string(block.size()) + " bytes.");
}

TEST(HtmlFormat, ReversedMissingAndUnreadableOffsetsAreTold) {
    const HtmlFormatReading reversed =
        ReadHtmlFormat(Of("StartHTML:0\r\nEndHTML:40\r\nStartFragment:30\r\nEndFragment:20\r\n"
                          "<p>0123456789</p>"));
    EXPECT_FALSE(reversed.fragment);
    EXPECT_EQ(reversed.problem, "The fragment ends (20) before it starts (30).");
    const HtmlFormatReading bad =
        ReadHtmlFormat(Of("StartHTML:99999999999\r\nEndHTML:x\r\nStartFragment:-1\r\n<p>"));
    EXPECT_EQ(bad.problem,
              "The header has no StartHTML offset. The header has no EndHTML offset. StartFragment "
              "is -1. The header has no EndFragment offset.");
    EXPECT_EQ(HtmlFormatLine(bad), "HTML: version none, HTML none to none, fragment -1 to none");
}

TEST(HtmlFormat, TheHeaderIsReadNoFurtherThanItsLimit) {
    std::string block(5000, 'x');
    block += "\r\nStartFragment:0\r\n";
    EXPECT_FALSE(ReadHtmlFormat(Of(block)).startFragment);
}

// An "HTML Format" block laid out as the system's and browsers' writers lay
// it out, and offsets moved from where they should be.
struct HtmlLayout {
    std::string fragment = "<b>bold</b>";
    bool comments = true;
    bool noContext = false;  // StartHTML and EndHTML -1
    // Added to StartHTML, EndHTML, StartFragment and EndFragment.
    std::array<std::int64_t, 4> moved{};
    // StartSelection and EndSelection counted from the fragment's start;
    // -1 as it is, none not written.
    std::optional<std::int64_t> startSelection{}, endSelection{};
    std::string sourceUrl = "https://example.com/a";
};

std::string HtmlOf(const HtmlLayout& l) {
    const std::string before =
        std::string("<html><body>") + (l.comments ? "<!--StartFragment-->" : "");
    const std::string after =
        std::string(l.comments ? "<!--EndFragment-->" : "") + "</body></html>";
    const auto number = [](std::int64_t n) {
        char text[32];
        std::snprintf(text, sizeof text, n < 0 ? "%lld" : "%010lld", static_cast<long long>(n));
        return std::string(text);
    };
    const auto header = [&](std::int64_t length) {
        const std::int64_t from = length + static_cast<std::int64_t>(before.size());
        const std::int64_t to = from + static_cast<std::int64_t>(l.fragment.size());
        const std::int64_t end = to + static_cast<std::int64_t>(after.size());
        std::string text =
            "Version:1.0\r\nStartHTML:" + number(l.noContext ? -1 : length + l.moved[0]) +
            "\r\nEndHTML:" + number(l.noContext ? -1 : end + l.moved[1]) +
            "\r\nStartFragment:" + number(from + l.moved[2]) +
            "\r\nEndFragment:" + number(to + l.moved[3]) + "\r\n";
        const auto selection = [&](const char* name, const std::optional<std::int64_t>& n) {
            if (n) text += std::string(name) + ":" + number(*n == -1 ? -1 : from + *n) + "\r\n";
        };
        selection("StartSelection", l.startSelection);
        selection("EndSelection", l.endSelection);
        return text + "SourceURL:" + l.sourceUrl + "\r\n";
    };
    const std::int64_t length = static_cast<std::int64_t>(header(0).size());
    return header(length) + before + l.fragment + after;
}

TEST(HtmlFormat, TheFragmentIsTakenOnlyWhenEveryOffsetAgreesWithTheBlock) {
    const struct {
        const char* what;
        HtmlLayout layout;
        const char* problem;  // a part of what is told; "" when the fragment is taken
    } cases[] = {
        {"as written", {}, ""},
        {"without comments", {.comments = false}, ""},
        {"its own comments within", {.fragment = "<!--EndFragment-->x<!--StartFragment-->"}, ""},
        {"with a selection", {.startSelection = 3, .endSelection = 7}, ""},
        {"with no selection", {.startSelection = -1, .endSelection = -1}, ""},
        {"StartHTML past the header", {.moved = {2, 0, 0, 0}}, "but the header ends at offset"},
        {"StartHTML within the header", {.moved = {-3, 0, 0, 0}}, "but the header ends at offset"},
        {"StartFragment after the comment, no comments",
         {.comments = false, .moved = {0, 0, 2, 0}},
         ""},
        {"EndFragment after the comment",
         {.moved = {0, 0, 0, 5}},
         "The <!--EndFragment--> comment starts at offset"},
        {"selection beyond the fragment",
         {.startSelection = 3, .endSelection = 40},
         "does not lie within the fragment"},
        {"selection reversed",
         {.startSelection = 7, .endSelection = 3},
         "does not lie within the fragment"},
        {"half a selection", {.startSelection = 3}, "Only one of StartSelection and EndSelection"},
        {"half a selection, the other -1",
         {.startSelection = 3, .endSelection = -1},
         "Only one of StartSelection and EndSelection"},
        {"no context", {.noContext = true}, ""},
        {"a header past its limit",
         {.sourceUrl = std::string(5000, 'u')},
         "The header does not end within its first 4096 bytes."},
    };
    for (const auto& c : cases) {
        const Bytes block = Of(HtmlOf(c.layout));
        const HtmlFormatReading html = ReadHtmlFormat(block);
        EXPECT_THAT(html.problem, HasSubstr(c.problem)) << c.what;
        EXPECT_EQ(html.fragment.has_value(), *c.problem == '\0') << c.what << ": " << html.problem;
        if (html.fragment && c.layout.moved == std::array<std::int64_t, 4>{}) {
            EXPECT_EQ(Str(*html.fragment), c.layout.fragment) << c.what;
        }
    }
}

TEST(HtmlFormat, LiesAboutTheLayoutAreToldWithTheirOffsets) {
    const std::string block = HtmlOf({.moved = {0, 0, -4, 0}});
    const HtmlFormatReading html = ReadHtmlFormat(Of(block));
    const std::int64_t from = *html.startFragment;  // moved 4 before its comment
    EXPECT_FALSE(html.fragment);
    EXPECT_EQ(html.problem, "The <!--StartFragment--> comment ends at offset " +
                                std::to_string(from + 4) + ", not at StartFragment (" +
                                std::to_string(from) + ").");
    // Without context the fragment may not start within the header.
    const std::string inHeader =
        "Version:1.0\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:8\r\n"
        "EndFragment:12\r\n<b>x</b>";
    EXPECT_EQ(ReadHtmlFormat(Of(inHeader)).problem,
              "The fragment starts (8) within the header, which ends at offset " +
                  std::to_string(inHeader.find('<')) + ".");
    const std::string half =
        "StartHTML:-1\r\nEndHTML:68\r\nStartFragment:60\r\nEndFragment:63\r\n<b>x</b>";
    EXPECT_EQ(ReadHtmlFormat(Of(half)).problem, "Only one of StartHTML and EndHTML is -1.");
    EXPECT_THAT(
        HtmlFormatLine(ReadHtmlFormat(Of(HtmlOf({.startSelection = 0, .endSelection = -1})))),
        HasSubstr(" to -1, source "));
}

TEST(FormatContents, HtmlShowsItsFragmentAndHeaderLine) {
    const Bytes block = Of(HtmlBlock() + std::string(1, '\0'));
    const FormatContents contents(0xC0F0, "HTML Format", block);
    EXPECT_EQ(contents.Encoding(), TextEncoding::Utf8);
    EXPECT_EQ(Str(contents.Text()), "<b>bold</b>");
    EXPECT_THAT(contents.HeaderLines(), HasSubstr("\r\nHTML: version 0.9, HTML "));
}

TEST(FormatContents, HtmlWhoseFragmentLiesShowsTheWholeText) {
    const Bytes block = Of(std::string("StartFragment:5\r\nEndFragment:900\r\n<p>x</p>\0junk", 46));
    const FormatContents contents(0xC0F0, "HTML Format", block);
    EXPECT_EQ(Str(contents.Text()), "StartFragment:5\r\nEndFragment:900\r\n<p>x</p>");
    EXPECT_THAT(contents.HeaderLines(), HasSubstr("\r\nThe header has no StartHTML offset."));
}

TEST(FormatContents, FileListLinesAndPaths) {
    const Bytes block = DropFiles(20, true, Wide(std::string("C:\\x\0\0", 6)));
    const FormatContents contents(kFileListFormat, "", block);
    EXPECT_EQ(contents.HeaderLines(), "\r\nFiles: 1 path of wide characters from offset 20");
    EXPECT_EQ(contents.Encoding(), TextEncoding::Utf16);
    EXPECT_EQ(Bytes(contents.Text().begin(), contents.Text().end()), Wide("C:\\x"));
    // A registered format of the same number is no file list.
    EXPECT_EQ(FormatContents(kFileListFormat, "Other", block).Encoding(), TextEncoding::None);
}

TEST(FormatContents, LocaleNumber) {
    const FormatContents contents(kLocaleFormat, "", Bytes{0x09, 0x04, 0, 0});
    EXPECT_EQ(contents.Locale(), 1033u);
    EXPECT_EQ(contents.HeaderLines(), "\r\nLocale: 1033 (0x0409)");
    const FormatContents shortBlock(kLocaleFormat, "", Bytes{0x09, 0x04});
    EXPECT_FALSE(shortBlock.Locale());
    EXPECT_EQ(shortBlock.HeaderLines(), "\r\nThe block's 2 bytes hold no locale number.");
}

TEST(FormatContents, LinesGoBeforeTheOwnerInTheHeader) {
    FormatReading reading;
    reading.data.bytes = {0x09, 0x04, 0, 0};
    EXPECT_EQ(HeaderText(kLocaleFormat, reading, "\r\nLocale: 1033 (0x0409)"),
              "Format 16: a memory block, 4 bytes\r\nLocale: 1033 (0x0409)\r\nOwner: none");
}

// A FILEDESCRIPTOR of one file: `flags` say which of its size, attributes
// and times are given (its times all `time`).
struct VirtualFile {
    std::string name;
    std::uint32_t flags = 0;
    std::uint64_t size = 0;
    std::uint32_t attributes = 0;
    std::uint64_t time = 0;
};

Bytes FileGroup(std::uint32_t count, bool wide, const std::vector<VirtualFile>& files) {
    Bytes out;
    PutU32(out, count);
    for (const VirtualFile& f : files) {
        PutU32(out, f.flags);
        out.resize(out.size() + 32);  // the class id, size and point
        PutU32(out, f.attributes);
        for (int time = 0; time < 3; ++time)
            PutU32(out, f.time & 0xFFFFFFFF), PutU32(out, f.time >> 32);
        PutU32(out, f.size >> 32);
        PutU32(out, f.size & 0xFFFFFFFF);
        Bytes name = wide ? Wide(f.name) : Of(f.name);
        name.resize(wide ? 520 : 260);
        out.insert(out.end(), name.begin(), name.end());
    }
    return out;
}

// An SHITEMID: its size, then `id`.
Bytes ItemId(const Bytes& id) {
    Bytes out;
    PutU16(out, static_cast<std::uint32_t>(id.size() + 2));
    out.insert(out.end(), id.begin(), id.end());
    return out;
}

// Explorer's id of a file (type 0x32) or folder (0x31) named `name`.
Bytes FileSystemId(std::string_view name, std::uint8_t type = 0x32) {
    Bytes id{type, 0};
    for (std::uint32_t v : {1234u, 0u}) PutU32(id, v);
    PutU16(id, 0x20);
    const Bytes text = Of(name);
    id.insert(id.end(), text.begin(), text.end());
    id.push_back(0);
    return ItemId(id);
}

// An id list of `ids`, ended by an empty id unless `ended` is false.
Bytes IdList(const std::vector<Bytes>& ids, bool ended = true) {
    Bytes out;
    for (const Bytes& id : ids) out.insert(out.end(), id.begin(), id.end());
    if (ended) PutU16(out, 0);
    return out;
}

// A CIDA of the folder's list and the items' (`lists`), counting `count`
// items (lists' size less one unless given); offsets moved by `moved`.
Bytes Cida(const std::vector<Bytes>& lists, std::optional<std::uint32_t> count = {},
           std::uint32_t moved = 0) {
    Bytes out;
    PutU32(out, count.value_or(static_cast<std::uint32_t>(lists.size() - 1)));
    std::uint32_t at = static_cast<std::uint32_t>(4 + 4 * lists.size());
    for (const Bytes& list : lists)
        PutU32(out, at + moved), at += static_cast<std::uint32_t>(list.size());
    for (const Bytes& list : lists) out.insert(out.end(), list.begin(), list.end());
    return out;
}

Bytes Utf16(std::u16string_view text) {
    Bytes out;
    for (char16_t unit : text) PutU16(out, unit);
    return out;
}

// An OBJECTDESCRIPTOR whose size field says `size` (its own size when 0),
// with the type name and source where their offsets say (0: after the
// fixed part, one after the other; none for an empty string; a source
// whose offset is given is left out).
struct Descriptor {
    std::u16string type = {}, source = {};
    std::uint32_t size = 0, typeAt = 0, sourceAt = 0, aspect = 1;
    bool typeEnded = true;
};

Bytes ObjectDescriptor(const Descriptor& d) {
    Bytes type = Utf16(d.type), source = Utf16(d.source);
    if (d.typeEnded) PutU16(type, 0);
    PutU16(source, 0);
    const auto at = [](std::uint32_t given, std::uint32_t next, const std::u16string& s) {
        return given ? given : s.empty() ? 0 : next;
    };
    const std::uint32_t typeAt = at(d.typeAt, 52, d.type);
    const std::uint32_t sourceAt =
        at(d.sourceAt, 52 + static_cast<std::uint32_t>(d.type.empty() ? 0 : type.size()), d.source);
    Bytes out;
    PutU32(out, 0);
    for (std::uint32_t v : {0x00020906u, 0u, 0xC0u, 0x46000000u}) PutU32(out, v);
    for (std::uint32_t v :
         {d.aspect, 2540u, static_cast<std::uint32_t>(-5), 0u, 0u, 0x12u, typeAt, sourceAt})
        PutU32(out, v);
    if (!d.type.empty()) out.insert(out.end(), type.begin(), type.end());
    if (!d.source.empty() && !d.sourceAt) out.insert(out.end(), source.begin(), source.end());
    const std::uint32_t size = d.size ? d.size : static_cast<std::uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(size >> (8 * i));
    return out;
}

Bytes U32(std::uint32_t v) {
    Bytes out;
    PutU32(out, v);
    return out;
}

constexpr std::uint64_t kDecember1 = 134405937590000000;  // 2026-12-01 10:15:59 UTC
constexpr std::uint32_t kSizeAndWritten = 0x40 | 0x20;

TEST(FileTime, MinutesOfUtcFromThe1601Epoch) {
    const struct {
        std::uint64_t time;
        const char* text;
    } cases[] = {
        {0, "1601-01-01 00:00"},
        {kDecember1, "2026-12-01 10:15"},
        {133537247400000000, "2024-02-29 23:59"},
        {125963424000000000, "2000-03-01 00:00"},
        {~std::uint64_t{0}, "60056-05-28 05:36"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileTimeText(c.time), c.text) << c.time;
}

TEST(ShellFormats, EachIsExplainedByItsName) {
    const std::string x260(260, 'x');
    const Bytes cidaWhole =
        Cida({IdList({FileSystemId("C:\\", 0x2F), FileSystemId("DOCS", 0x31)}),
              IdList({FileSystemId("REPORT.PDF")}), IdList({ItemId({0x1F, 0})})});
    const Bytes oneItem = Cida({IdList({}), IdList({FileSystemId("A.TXT")})});
    const VirtualFile report{"report.pdf", kSizeAndWritten, 104857, 0, kDecember1};
    const VirtualFile photo{"photo.jpg", 0x4 | 0x8 | 0x10, 0, 0x100021, kDecember1};
    const struct {
        std::string_view name;
        Bytes block;
        std::string lines;
        std::optional<std::string> text = {};  // not looked at when none
    } cases[] = {
        {"Preferred DropEffect", U32(2),
         "\r\nPreferred drop effect: 2: move: the files were cut, and a paste moves them"},
        {"Preferred DropEffect", U32(1),
         "\r\nPreferred drop effect: 1: copy: the files were copied, and a paste copies them"},
        {"Preferred DropEffect", U32(5), "\r\nPreferred drop effect: 5: copy or link"},
        {"Performed DropEffect", U32(0x80000107),
         "\r\nDrop effect performed by the target: 0x80000107: copy, move or link, scroll, unknown "
         "bits 0x00000100"},
        {"Logical Performed DropEffect", U32(0),
         "\r\nDrop effect performed by the target, as the user sees it: 0: none"},
        {"Paste Succeeded", Bytes(3), "\r\nThe block's 3 bytes hold no drop effect."},
        {"FileGroupDescriptorW", FileGroup(2, true, {report, photo}),
         "\r\nVirtual files: 2 files: report.pdf, 104,857 bytes, changed 2026-12-01 10:15; "
         "photo.jpg, attributes 0x00100021 (read-only, archive, unknown bits 0x00100000), created "
         "2026-12-01 10:15, accessed 2026-12-01 10:15\r\nTheir bytes are in \"FileContents\", one "
         "per index, given only on request.",
         "report.pdf, 104,857 bytes, changed 2026-12-01 10:15\r\nphoto.jpg, attributes 0x00100021 "
         "(read-only, archive, unknown bits 0x00100000), created 2026-12-01 10:15, accessed "
         "2026-12-01 10:15"},
        {"FileGroupDescriptor", FileGroup(4, false, {{"a"}, {"b"}, {"c\x1B[2J"}, {"d"}}),
         "\r\nVirtual files: 4 files: a; b; c\\u001B[2J; d\r\nTheir bytes are in "
         "\"FileContents\", one per index, given only on request.",
         "a\r\nb\r\nc\\u001B[2J\r\nd"},
        {"FileGroupDescriptorW", FileGroup(5, true, {{"a"}, {"b"}}),
         "\r\nVirtual files: 5 files: a; b\r\nTheir bytes are in \"FileContents\", one per index, "
         "given only on request.\r\nIt counts 5 files; its 1,188 bytes hold 2.",
         "a\r\nb"},
        {"FileGroupDescriptor", FileGroup(0xFFFFFFFF, false, {{x260}}),
         "\r\nVirtual files: 4,294,967,295 files: " + x260 +
             "\r\nTheir bytes are in \"FileContents\", one per index, given only on "
             "request.\r\nIt counts 4,294,967,295 files; its 336 bytes hold 1.\r\nThe "
             "name of file 1 is not ended within its 260 characters.",
         x260},
        {"FileGroupDescriptor", FileGroup(3, false, {{"a"}, {x260}, {x260}}),
         "\r\nVirtual files: 3 files: a; 2 more in the text view\r\nTheir bytes are in "
         "\"FileContents\", one per index, given only on request.\r\nThe names of 2 files, the "
         "first file 2, are not ended within "
         "their 260 characters."},
        {"FileGroupDescriptorW", FileGroup(0, true, {{"a"}}),
         "\r\nVirtual files: none: the descriptor counts no files to paste."},
        {"FileGroupDescriptor", Bytes(2), "\r\nThe block's 2 bytes hold no count of files."},
        {"Shell IDList Array", cidaWhole,
         "\r\nShell items: 2 items; the folder's id list: DOCS, 2 ids in 39 bytes\r\nItems: "
         "REPORT.PDF, 1 id in 27 bytes; 1 id in 6 bytes",
         "folder: DOCS, 2 ids in 39 bytes\r\nitem 1: REPORT.PDF, 1 id in 27 bytes\r\nitem 2: 1 id "
         "in 6 bytes"},
        {"Shell IDList Array", Cida({IdList({})}),
         "\r\nShell items: 0 items; the folder's id list: "
         "0 ids in 2 bytes",
         "folder: 0 ids in 2 bytes"},
        // Lists that lie: the header tells the first; the text view's line of each says the same.
        {"Shell IDList Array", Cida({IdList({}), IdList({FileSystemId("A.TXT")})}, {}, 900),
         "\r\nShell items: 1 item; the folder's id list: the list starts at offset 912, past the "
         "block's 36 bytes\r\nItems: the list starts at offset 914, past the block's 36 bytes\r\n"
         "The folder's id list starts at offset 912, past the block's 36 bytes. 1 more id list "
         "lies; the text view tells each.",
         "folder: the list starts at offset 912, past the block's 36 bytes\r\nitem 1: the list "
         "starts at offset 914, past the block's 36 bytes"},
        {"Shell IDList Array", Cida({IdList({}), IdList({FileSystemId("A.TXT")}, false)}),
         "\r\nShell items: 1 item; the folder's id list: 0 ids in 2 bytes\r\nItems: A.TXT, 1 id "
         "in 20 bytes; the list is not ended by an empty id within the block\r\nThe id list of "
         "item 1 is not ended by an empty id within the block."},
        {"Shell IDList Array", Cida({IdList({}), Bytes{1, 0, 0, 0}}),
         "\r\nShell items: 1 item; the folder's id list: 0 ids in 2 bytes\r\nItems: the list "
         "holds an id of 1 byte at offset 14; an id takes at least 2\r\nThe id list of item 1 "
         "holds an id of 1 byte at offset 14; an id takes at least 2."},
        {"Shell IDList Array", Cida({IdList({}), Bytes{0xFF, 0x7F, 0, 0}}),
         "\r\nShell items: 1 item; the folder's id list: 0 ids in 2 bytes\r\nItems: the list "
         "holds an id of 32,767 bytes at offset 14, past the block's end\r\nThe id list of item 1 "
         "holds an id of 32,767 bytes at offset 14, past the block's end."},
        {"Shell IDList Array", Cida({IdList({}), IdList({})}, {}, static_cast<std::uint32_t>(-8)),
         "\r\nShell items: 1 item; the folder's id list: the list starts at offset 4, within the "
         "count and offsets\r\nItems: the list starts at offset 6, within the count and "
         "offsets\r\nThe folder's id list starts at offset 4, within the count and offsets. 1 "
         "more id list lies; the text view tells each."},
        {"Shell IDList Array", Cida({IdList({})}, 0xFFFFFFFF),
         "\r\nShell items: 4,294,967,295 items; the folder's id list: 0 ids in 2 bytes\r\nIt "
         "counts 4,294,967,295 items, with the folder's 4,294,967,296 offsets; its 10 bytes hold "
         "1.",
         "folder: 0 ids in 2 bytes"},
        {"Shell IDList Array", Bytes(3), "\r\nThe block's 3 bytes hold no count of items."},
        {"Object Descriptor",
         ObjectDescriptor({.type = u"Microsoft Word Document", .source = u"C:\\doc.docx"}),
         "\r\nOLE object: Microsoft Word Document, class {00020906-0000-0000-C000-000000000046}"
         "\r\nSource of the copy: C:\\doc.docx\r\nSize: 2540 x -5 HIMETRIC (25.40 x -0.05 mm), "
         "aspect content (1), status 0x00000012"},
        {"Link Source Descriptor", ObjectDescriptor({.aspect = 4}),
         "\r\nOLE link source: no type name, class {00020906-0000-0000-C000-000000000046}\r\nSize: "
         "2540 x -5 HIMETRIC (25.40 x -0.05 mm), aspect icon (4), status 0x00000012"},
        {"Object Descriptor", ObjectDescriptor({.type = u"T\u202Egpj", .size = 500, .aspect = 16}),
         "\r\nOLE object: T\\u202Egpj, class {00020906-0000-0000-C000-000000000046}\r\nSize: "
         "2540 x -5 HIMETRIC (25.40 x -0.05 mm), aspect 16 (unknown), status 0x00000012\r\nIts "
         "size field says 500 bytes; the block holds 64."},
        {"Object Descriptor", ObjectDescriptor({.type = u"T", .size = 20}),
         "\r\nOLE object: T, class {00020906-0000-0000-C000-000000000046}\r\nSize: 2540 x -5 "
         "HIMETRIC (25.40 x -0.05 mm), aspect content (1), status 0x00000012\r\nIts size field "
         "says 20 bytes, fewer than the descriptor's fixed 52."},
        {"Object Descriptor",
         ObjectDescriptor({.type = u"T", .source = u"S", .sourceAt = 4000, .typeEnded = false}),
         "\r\nOLE object: no type name, class {00020906-0000-0000-C000-000000000046}\r\nSize: "
         "2540 x -5 HIMETRIC (25.40 x -0.05 mm), aspect content (1), status 0x00000012\r\nThe "
         "type name at offset 52 is not ended by a zero within the descriptor's 54 bytes.\r\nThe "
         "source of the copy's offset 4000 lies past the descriptor's 54 bytes."},
        {"Link Source Descriptor", ObjectDescriptor({.type = u"T", .typeAt = 8}),
         "\r\nOLE link source: no type name, class {00020906-0000-0000-C000-000000000046}\r\nSize: "
         "2540 x -5 HIMETRIC (25.40 x -0.05 mm), aspect content (1), status 0x00000012\r\nThe "
         "type name's offset 8 lies within the descriptor's fixed 52 bytes."},
        {"Object Descriptor", Bytes(51),
         "\r\nThe block's 51 bytes are too few for an object descriptor of 52 bytes."},
        {"FileName", Of(std::string("C:\\a b.txt\0junk", 15)), "\r\nPath: C:\\a b.txt",
         "C:\\a b.txt"},
        {"FileName", Of("C:\\cut"),
         "\r\nPath: C:\\cut\r\nThe path is not ended by a zero within "
         "the block.",
         "C:\\cut"},
        {"Ole Private Data", Bytes(8),
         "\r\nOLE's record of the formats of the data object that holds the clipboard's data. Its "
         "bytes are private to the program that put them."},
    };
    for (const auto& c : cases) {
        const FormatContents contents(0xC0F0, c.name, c.block);
        EXPECT_EQ(contents.HeaderLines(), c.lines) << c.name;
        if (c.text) {
            EXPECT_EQ(Str(contents.Text()), *c.text) << c.name << ": " << c.lines;
        }
    }
}

TEST(ShellFormats, WideNamesAreShownAsUtf8AndTheirListsInTheirOwnCharacters) {
    // A character beyond the BMP, then a surrogate alone.
    const Bytes name = Utf16(u"Gr\u00F6\u00DFe \u20AC\U0001F600\xDC00");
    Bytes block = name;
    PutU16(block, 0);
    const std::string utf8 = "Gr\u00F6\u00DFe \u20AC\U0001F600\uFFFD";
    const FormatContents path(0xC0F0, "FileNameW", block);
    EXPECT_EQ(path.HeaderLines(), "\r\nPath: " + utf8);
    EXPECT_EQ(path.Encoding(), TextEncoding::Utf16);
    EXPECT_EQ(Bytes(path.Text().begin(), path.Text().end()), name);

    Bytes group = FileGroup(1, true, {{}});
    std::copy(block.begin(), block.end(), group.begin() + 4 + 72);
    const FormatContents files(0xC0F0, "FileGroupDescriptorW", group);
    EXPECT_EQ(files.Encoding(), TextEncoding::Utf8);
    EXPECT_EQ(Str(files.Text()), utf8);
    EXPECT_EQ(FormatContents(0xC0F0, "FileGroupDescriptor", group).Encoding(), TextEncoding::Ansi);
    EXPECT_EQ(FormatContents(0xC0F0, "Shell IDList Array", group).Encoding(), TextEncoding::Ansi);
    EXPECT_EQ(FormatContents(0xC0F0, "Preferred DropEffect", group).Encoding(), TextEncoding::None);
}

}  // namespace
}  // namespace norvane
