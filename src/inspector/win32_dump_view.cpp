#include "inspector/win32_dump_view.h"

#include <algorithm>

#include "inspector/hex_dump.h"
#include "ui/guard.h"

namespace norvane {
namespace {

constexpr int kMargin = 2;
// Scroll bar positions are ints: a line number of any block that fits in
// 32 bits of address space does too.
int ToScroll(std::size_t line) {
    return static_cast<int>(std::min<std::size_t>(line, 0x7FFFFFFF));
}

}  // namespace

DumpView::DumpView(MessageDialog& messages, HWND parent, const RECT& bounds, int fontHeight)
    : messages_(messages),
      font_(CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        FIXED_PITCH | FF_MODERN, "Courier New")) {
    RegisterClassOnce(kClassName, nullptr);
    Create(kClassName, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
           bounds, parent, nullptr);
    const WindowDC dc(Handle());
    const SelectedObject font(dc.get(), font_.get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    lineHeight_ = std::max<int>(1, metrics.tmHeight);
    UpdateScrollBar();
}

void DumpView::SetBytes(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    top_ = 0;
    UpdateScrollBar();
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::size_t DumpView::LineCount() const {
    return DumpLineCount(bytes_.size());
}

std::size_t DumpView::LinesPerPage() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return static_cast<std::size_t>(std::max<LONG>(1, (client.bottom - 2 * kMargin) / lineHeight_));
}

void DumpView::ScrollTo(std::size_t line) {
    const std::size_t page = LinesPerPage();
    const std::size_t last = LineCount() > page ? LineCount() - page : 0;
    const std::size_t top = std::min(line, last);
    if (top == top_) return;
    top_ = top;
    UpdateScrollBar();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void DumpView::UpdateScrollBar() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = ToScroll(LineCount() ? LineCount() - 1 : 0);
    info.nPage = static_cast<UINT>(LinesPerPage());
    info.nPos = ToScroll(top_);
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void DumpView::Paint() {
    const PaintScope paint(Handle());
    const HDC dc = paint.dc();
    // The font is put back while the context is still ours.
    const SelectedObject font(dc, font_.get());
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    // Only what the window shows is formatted.
    painted_ = DumpLines(bytes_, top_, LinesPerPage() + 1);
    int y = kMargin;
    for (const std::string& line : painted_) {
        TextOutA(dc, kMargin, y, line.data(), static_cast<int>(line.size()));
        y += lineHeight_;
    }
}

void DumpView::OnScroll(WORD request) {
    const std::size_t page = LinesPerPage();
    switch (request) {
        case SB_LINEUP:
            ScrollTo(top_ ? top_ - 1 : 0);
            break;
        case SB_LINEDOWN:
            ScrollTo(top_ + 1);
            break;
        case SB_PAGEUP:
            ScrollTo(top_ > page ? top_ - page : 0);
            break;
        case SB_PAGEDOWN:
            ScrollTo(top_ + page);
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(LineCount());
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit position: the message's own is cut to 16 bits.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(Handle(), SB_VERT, &info);
            ScrollTo(static_cast<std::size_t>(std::max(0, info.nTrackPos)));
            break;
        }
    }
}

bool DumpView::OnKey(WPARAM key) {
    const WORD requests[][2] = {{VK_UP, SB_LINEUP},    {VK_DOWN, SB_LINEDOWN},
                                {VK_PRIOR, SB_PAGEUP}, {VK_NEXT, SB_PAGEDOWN},
                                {VK_HOME, SB_TOP},     {VK_END, SB_BOTTOM}};
    for (const auto& [pressed, request] : requests) {
        if (key != pressed) continue;
        OnScroll(request);
        return true;
    }
    return false;
}

std::string DumpView::PaintedText() const {
    std::string text;
    for (const std::string& line : painted_) text += line + "\r\n";
    return text;
}

LRESULT DumpView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = true;
    RunGuarded(messages_, [&] {
        switch (message) {
            case WM_PAINT:
                Paint();
                break;
            case WM_ERASEBKGND:
                result = 1;  // painted whole in WM_PAINT
                break;
            case WM_SIZE:
                ScrollTo(top_);
                UpdateScrollBar();
                break;
            case WM_VSCROLL:
                OnScroll(LOWORD(wParam));
                break;
            case WM_MOUSEWHEEL: {
                wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(wParam);
                const int notches = wheelRemainder_ / WHEEL_DELTA;
                wheelRemainder_ -= notches * WHEEL_DELTA;
                const std::size_t step = 3 * static_cast<std::size_t>(std::abs(notches));
                ScrollTo(notches > 0 ? (top_ > step ? top_ - step : 0) : top_ + step);
                break;
            }
            case WM_KEYDOWN:
                handled = OnKey(wParam);
                break;
            case WM_GETDLGCODE:
                result = DLGC_WANTARROWS;
                break;
            case WM_LBUTTONDOWN:
                SetFocus(Handle());
                break;
            case WM_GETTEXTLENGTH:
                result = static_cast<LRESULT>(PaintedText().size());
                break;
            case WM_GETTEXT: {
                const std::string text = PaintedText();
                const std::size_t room = wParam;
                if (room == 0) break;
                const std::size_t n = std::min(text.size(), room - 1);
                std::copy_n(text.data(), n, reinterpret_cast<char*>(lParam));
                reinterpret_cast<char*>(lParam)[n] = '\0';
                result = static_cast<LRESULT>(n);
                break;
            }
            default:
                handled = false;
        }
    });
    return handled ? result : Window::OnMessage(message, wParam, lParam);
}

}  // namespace norvane
