// A read-only, scrollable hex dump in a fixed-pitch font that formats only
// the lines it paints: a block of any size opens as quickly as a small one.
// WM_GETTEXT answers the lines last painted, one per "\r\n"-ended line.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "inspector/win32_lines_view.h"

namespace norvane {

class DumpView final : public LinesView {
  public:
    static constexpr const char* kClassName = "TDumpView";

    DumpView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight);

    // The view shows `bytes`, which must stay alive while it does, from the top.
    void SetBytes(std::span<const std::uint8_t> bytes);
    const std::vector<std::string>& PaintedLines() const { return painted_; }

  private:
    std::size_t LineCount() const override;
    void PaintLines(HDC dc, std::size_t first, std::size_t count, POINT origin) override;
    std::string WindowText() const override;

    std::span<const std::uint8_t> bytes_;
    std::vector<std::string> painted_;
};

}  // namespace norvane
