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

// A text made ready for the view, on any thread: a UTF-16 or single-byte
// code page's text read where it lies (it must stay alive while shown),
// another decoded into a UTF-16 copy of its own once; its lines indexed
// and wrapped in a number of columns. Moved, never copied: what it reads
// stays where it lies.
class ViewText {
  public:
    ViewText() = default;
    ViewText(std::span<const std::uint8_t> bytes, TextEncoding encoding, std::size_t columns);
    ViewText(ViewText&&) = default;
    ViewText& operator=(ViewText&&) = default;

  private:
    friend class TextView;
    std::span<const std::uint8_t> units_;  // the text's, or decoded_'s bytes
    std::size_t unitSize_ = 2;
    unsigned codePage_ = 0;  // of 8-bit units
    std::vector<wchar_t> decoded_;
    TextLayout layout_;
};

class TextView final : public LinesView {
  public:
    static constexpr const char* kClassName = "TTextView";
    static constexpr std::size_t kWindowTextLimit = 1 << 16;

    // Made hidden.
    TextView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight);

    // Shows `bytes` in `encoding` from the top, made ready here.
    void SetText(std::span<const std::uint8_t> bytes, TextEncoding encoding) {
        SetText(ViewText(bytes, encoding, Columns()));
    }
    // Shows a text made ready elsewhere, wrapped again if the view's
    // columns are no longer those it was laid out in.
    void SetText(ViewText text);
    void Clear();
    // The characters a row holds now, and would hold were the view `width` wide.
    std::size_t Columns() const { return CharactersPerLine(); }
    std::size_t ColumnsAt(int width) const { return CharactersPerLineAt(width); }

    // The text's first `limit` UTF-16 units, its line ends as they are.
    std::wstring Contents(std::size_t limit) const;
    // The rows last painted, as drawn.
    const std::vector<std::wstring>& PaintedRows() const { return painted_; }
    std::size_t RowCount() const { return text_.layout_.RowCount(); }

  private:
    std::size_t LineCount() const override;
    void PaintLines(HDC dc, std::size_t first, std::size_t count, POINT origin) override;
    std::string WindowText() const override;
    void Resized() override;
    std::wstring Decoded(std::size_t start, std::size_t length) const;

    ViewText text_;
    std::vector<std::wstring> painted_;
};

}  // namespace norvane
