#include "inspector/format_contents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "clipboard/standard_formats.h"
#include "inspector/file_list.h"
#include "inspector/html_format.h"
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

}  // namespace
}  // namespace norvane
