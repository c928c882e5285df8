#include "inspector/win32_dump_view.h"

#include "inspector/hex_dump.h"

namespace norvane {

DumpView::DumpView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight)
    : LinesView(messages, fontHeight) {
    Make(kClassName, parent, bounds, true);
}

void DumpView::SetBytes(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    ShowFromTop();
}

std::size_t DumpView::LineCount() const {
    return DumpLineCount(bytes_.size());
}

void DumpView::PaintLines(HDC dc, std::size_t first, std::size_t count, POINT origin) {
    // Only what the window shows is formatted.
    painted_ = DumpLines(bytes_, first, count);
    for (const std::string& line : painted_) {
        TextOutA(dc, origin.x, origin.y, line.data(), static_cast<int>(line.size()));
        origin.y += LineHeight();
    }
}

std::string DumpView::WindowText() const {
    std::string text;
    for (const std::string& line : painted_) text += line + "\r\n";
    return text;
}

}  // namespace norvane
