// What the inspector shows of a format beyond its bytes, by the format's
// kind: lines for the header (a file list's count, an HTML header's fields,
// a locale's number, a shell or OLE format's contents, with what is wrong
// with the block) and the text for the text view (a text, the paths one a
// line, an HTML fragment, virtual files or shell items one a line).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspector/format_inspection.h"

namespace norvane {

class FormatContents {
  public:
    // `bytes` must outlive the contents: the text may lie within them.
    FormatContents(unsigned format, std::string_view registeredName,
                   std::span<const std::uint8_t> bytes);

    // Each line follows a "\r\n".
    const std::string& HeaderLines() const { return lines_; }
    // None: the format has no text view.
    TextEncoding Encoding() const { return encoding_; }
    std::span<const std::uint8_t> Text() const { return joined_ ? std::span(*joined_) : text_; }
    // A locale's number, whose name the text view gives.
    std::optional<std::uint32_t> Locale() const { return locale_; }

  private:
    std::string lines_;
    TextEncoding encoding_ = TextEncoding::None;
    std::span<const std::uint8_t> text_;
    std::optional<std::vector<std::uint8_t>> joined_;
    std::optional<std::uint32_t> locale_;
};

}  // namespace norvane
