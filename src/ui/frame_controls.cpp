#include "ui/frame_controls.h"

#include "ui/handles.h"

namespace norvane {
namespace {

constexpr int kCaptionIndent = 8;

}  // namespace

void GroupBoxControl::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Invalidate();
}

void GroupBoxControl::Paint(HDC dc) {
    SelectedObject font(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    // The frame runs through the middle of the caption's line.
    RECT frame = ClientRect();
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (caption_.empty()) return;
    SIZE extent{};
    GetTextExtentPoint32A(dc, caption_.data(), static_cast<int>(caption_.size()), &extent);
    RECT text{kCaptionIndent, 0, kCaptionIndent + extent.cx, extent.cy};
    FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, caption_.data(), static_cast<int>(caption_.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

void BevelControl::Paint(HDC dc) {
    RECT frame = ClientRect();
    DrawEdge(dc, &frame, EDGE_BUMP, BF_RECT);
}

}  // namespace norvane
