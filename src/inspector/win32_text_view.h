// A read-only view of a text of any length in a fixed-pitch font: lines
// wrapped at the view's width, only the rows it paints laid out, so that a
// text of 64 MB on one line shows as soon as one of a few words. Each
// character takes one cell (a UTF-16 unit: a character outside the basic
// plane takes two); a tab shows as a blank, other control characters as a
// middle dot. Nothing is selected or copied: the view puts nothing on the
// clipboard. WM_GETTEXT answers the text's first kWindowTextLimit
// characters in the system's code page.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "inspector/format_inspection.h"
#include "inspector/text_layout.h"
#include "inspector/win32_lines_view.h"

namespace norvane {

class TextView final : public LinesView {
  public:
    static constexpr const char* kClassName = "TTextView";
    static constexpr std::size_t kWindowTextLimit = 1 << 16;

    // Made hidden.
    TextView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight);

    // Shows `bytes` in `encoding` from the top. A UTF-16 or single-byte
    // code page's text is read where it lies, and must stay alive while
    // shown; another is decoded into the view's own UTF-16 copy once.
    void SetText(std::span<const std::uint8_t> bytes, TextEncoding encoding);
    void Clear() { SetText({}, TextEncoding::Utf16); }

    // The text's first `limit` UTF-16 units, its line ends as they are.
    std::wstring Contents(std::size_t limit) const;
    // The rows last painted, as drawn.
    const std::vector<std::wstring>& PaintedRows() const { return painted_; }
    std::size_t RowCount() const { return layout_.RowCount(); }

  private:
    std::size_t LineCount() const override;
    void PaintLines(HDC dc, std::size_t first, std::size_t count, POINT origin) override;
    std::string WindowText() const override;
    void Resized() override;
    std::wstring Decoded(std::size_t start, std::size_t length) const;

    std::span<const std::uint8_t> units_;  // the text's, or decoded_'s bytes
    std::size_t unitSize_ = 2;
    unsigned codePage_ = 0;  // of 8-bit units
    std::vector<wchar_t> decoded_;
    TextLayout layout_;
    std::vector<std::wstring> painted_;
};

}  // namespace norvane
