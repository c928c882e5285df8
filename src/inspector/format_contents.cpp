#include "inspector/format_contents.h"

#include <cstdio>

#include "clipboard/standard_formats.h"
#include "inspector/file_list.h"
#include "inspector/html_format.h"
#include "inspector/shell_formats.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

std::string Hex4(std::uint32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(n));
    return text;
}

}  // namespace

FormatContents::FormatContents(unsigned format, std::string_view registeredName,
                               std::span<const std::uint8_t> bytes) {
    if (registeredName.empty() && format == kFileListFormat) {
        const FileListReading list = ReadFileList(bytes);
        if (list.hasHeader)
            lines_ += "\r\nFiles: " + std::to_string(list.paths.size()) +
                      (list.paths.size() == 1 ? " path" : " paths") + " of " +
                      (list.wide ? "wide" : "narrow") + " characters from offset " +
                      std::to_string(list.offset);
        if (!list.problem.empty()) lines_ += "\r\n" + list.problem;
        encoding_ = list.wide ? TextEncoding::Utf16 : TextEncoding::Ansi;
        joined_ = FileListText(list);
        return;
    }
    if (registeredName.empty() && format == kLocaleFormat) {
        if (bytes.size() < 4) {
            // Appended piece by piece: GCC 12 warns (wrongly) of the prefix sum.
            lines_ = "\r\nThe block's ";
            lines_ += std::to_string(bytes.size()) + " bytes hold no locale number.";
            return;
        }
        locale_ = ReadU32(bytes, 0);
        lines_ += "\r\nLocale: " + std::to_string(*locale_) + " (" + Hex4(*locale_) + ")";
        encoding_ = TextEncoding::Ansi;
        return;
    }
    if (const ShellFormat* shell = FindShellFormat(registeredName)) {
        ShellContents contents = shell->read(*shell, bytes);
        lines_ = std::move(contents.lines);
        encoding_ = contents.encoding;
        if (encoding_ != TextEncoding::None) joined_ = std::move(contents.text);
        return;
    }
    encoding_ = TextEncodingOf(format, registeredName);
    text_ = TextBytes(bytes, encoding_);
    if (registeredName == "HTML Format") {
        const HtmlFormatReading html = ReadHtmlFormat(bytes);
        lines_ += "\r\n" + HtmlFormatLine(html);
        if (!html.problem.empty()) lines_ += "\r\n" + html.problem;
        // A fragment whose offsets lie is not taken: the whole text is shown.
        if (html.fragment) text_ = TextBytes(*html.fragment, encoding_);
    }
}

}  // namespace norvane
