#include "inspector/win32_text_view.h"

#include <climits>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace norvane {
namespace {

constexpr wchar_t kControlMark = 0x00B7;  // middle dot

// What a cell shows of a character: control characters never move the
// text nor ring a bell.
wchar_t CellOf(wchar_t c) {
    if (c == L'\t') return L' ';
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return kControlMark;
    return c;
}

UINT CodePageOf(TextEncoding encoding) {
    return encoding == TextEncoding::Oem    ? CP_OEMCP
           : encoding == TextEncoding::Utf8 ? CP_UTF8
                                            : CP_ACP;
}

bool IsSingleByte(UINT codePage) {
    CPINFO info{};
    return GetCPInfo(codePage, &info) && info.MaxCharSize == 1;
}

// A multi-byte code page's text as UTF-16, whole.
std::vector<wchar_t> DecodedWhole(std::span<const std::uint8_t> bytes, UINT codePage) {
    if (bytes.size() > INT_MAX) throw std::length_error("The text is too long to decode.");
    const auto chars = reinterpret_cast<const char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    std::vector<wchar_t> text(
        static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, chars, size, nullptr, 0)));
    MultiByteToWideChar(codePage, 0, chars, size, text.data(), static_cast<int>(text.size()));
    return text;
}

}  // namespace

TextView::TextView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight)
    : LinesView(messages, fontHeight) {
    Make(kClassName, parent, bounds, false);
}

ViewText::ViewText(std::span<const std::uint8_t> bytes, TextEncoding encoding,
                   std::size_t columns) {
    const UINT codePage = CodePageOf(encoding);
    if (encoding == TextEncoding::Utf16) {
        units_ = bytes;
    } else if (IsSingleByte(codePage)) {
        unitSize_ = 1;
        codePage_ = codePage;
        units_ = bytes;
    } else {
        decoded_ = DecodedWhole(bytes, codePage);
        units_ = {reinterpret_cast<const std::uint8_t*>(decoded_.data()),
                  decoded_.size() * sizeof(wchar_t)};
    }
    layout_ = TextLayout(units_, unitSize_, columns);
}

void TextView::SetText(ViewText text) {
    text_ = std::move(text);
    Resized();
    ShowFromTop();
}

// The last text goes before the next is made: never two at once.
void TextView::Clear() {
    text_ = ViewText();
    ShowFromTop();
}

std::wstring TextView::Decoded(std::size_t start, std::size_t length) const {
    std::wstring text(length, L'\0');
    if (length == 0) return text;
    if (text_.unitSize_ == 2) {
        std::memcpy(text.data(), text_.units_.data() + 2 * start, 2 * length);
        return text;
    }
    // A single-byte code page: one character a byte.
    const int made = MultiByteToWideChar(
        text_.codePage_, 0, reinterpret_cast<const char*>(text_.units_.data() + start),
        static_cast<int>(length), text.data(), static_cast<int>(length));
    text.resize(static_cast<std::size_t>(std::max(made, 0)));
    return text;
}

std::wstring TextView::Contents(std::size_t limit) const {
    return Decoded(0, std::min(limit, text_.layout_.Units()));
}

std::size_t TextView::LineCount() const {
    return text_.layout_.RowCount();
}

void TextView::PaintLines(HDC dc, std::size_t first, std::size_t count, POINT origin) {
    painted_.clear();
    // Every character takes a cell of the same width, whatever its glyph's.
    const std::vector<INT> cells(text_.layout_.Columns(), CharWidth());
    for (const TextLayout::Row& row : text_.layout_.RowsFrom(first, count)) {
        std::wstring text = Decoded(row.start, row.length);
        for (wchar_t& c : text) c = CellOf(c);
        ExtTextOutW(dc, origin.x, origin.y, 0, nullptr, text.data(), static_cast<UINT>(text.size()),
                    cells.data());
        painted_.push_back(std::move(text));
        origin.y += LineHeight();
    }
}

std::string TextView::WindowText() const {
    const std::wstring text = Contents(kWindowTextLimit);
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::string ansi(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text.data(), size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, ansi.data(), static_cast<int>(ansi.size()),
                        nullptr, nullptr);
    return ansi;
}

// Laid out again only when a row holds another number of characters.
void TextView::Resized() {
    const std::size_t columns = CharactersPerLine();
    if (columns != text_.layout_.Columns()) text_.layout_.Wrap(columns);
}

}  // namespace norvane
