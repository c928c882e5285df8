// A read-only, scrollable hex dump in a fixed-pitch font that formats only
// the lines it paints: a block of any size opens as quickly as a small one.
// WM_GETTEXT answers the lines last painted, one per "\r\n"-ended line.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

class DumpView final : public Window {
  public:
    static constexpr const char* kClassName = "TDumpView";

    DumpView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight);

    // The view shows `bytes`, which must stay alive while it does, from the top.
    void SetBytes(std::span<const std::uint8_t> bytes);
    void ScrollTo(std::size_t line);
    const std::vector<std::string>& PaintedLines() const { return painted_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    std::size_t LineCount() const;
    std::size_t LinesPerPage() const;
    void UpdateScrollBar();
    void Paint();
    void OnScroll(WORD request);
    bool OnKey(WPARAM key);
    std::string PaintedText() const;

    MessageDialog& messages_;
    std::span<const std::uint8_t> bytes_;
    std::size_t top_ = 0;
    UniqueFont font_;
    int lineHeight_ = 1;
    int wheelRemainder_ = 0;
    std::vector<std::string> painted_;
};

}  // namespace norvane
