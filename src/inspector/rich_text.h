// RTF for the inspector's formatted view: which formats hold it, and RTF
// that the rich edit box is not given because it nests deeper than the box
// can take, or holds controls that readers take in different ways.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norvane {

// Groups, and tables (\itapN), may nest this deep. Wine's rich edit box
// fails on a 33rd level of groups and takes seconds over thousands of
// table levels; documents that programs copy nest a dozen levels at most.
inline constexpr std::uint32_t kMaxRichTextNesting = 32;

// "Rich Text Format" and the other registered formats that hold RTF.
bool IsRichTextFormat(std::string_view registeredName);

// Why the formatted view is not given `rtf` (the header's line), or
// nothing when it may be: it does not begin as RTF does, it nests deeper
// than kMaxRichTextNesting, a \' is not followed by two hexadecimal digits
// or a \binN claims more bytes than follow it.
std::optional<std::string> RichTextProblem(std::span<const std::uint8_t> rtf);

// The header's line when the formatted view reads the first `shown` of the
// RTF's `total` bytes.
std::string RichTextCutLine(std::size_t shown, std::size_t total);

}  // namespace norvane
