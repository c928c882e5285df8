#include "inspector/win32_lines_view.h"

#include <algorithm>
#include <cstdlib>

#include "inspector/scroll_scale.h"
#include "ui/guard.h"

namespace norvane {
namespace {

constexpr int kMargin = 2;
constexpr std::size_t kLinesPerNotch = 3;

}  // namespace

LinesView::LinesView(MessageDialog& messages, int fontHeight)
    : messages_(messages),
      font_(CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        FIXED_PITCH | FF_MODERN, "Courier New")) {}

void LinesView::Make(const char* className, HWND parent, const RECT& bounds, bool visible) {
    RegisterClassOnce(className, nullptr);
    Create(className, "", WS_CHILD | WS_VSCROLL | WS_TABSTOP | (visible ? WS_VISIBLE : 0),
           WS_EX_CLIENTEDGE, bounds, parent, nullptr);
    const WindowDC dc(Handle());
    const SelectedObject font(dc.get(), font_.get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    lineHeight_ = std::max<int>(1, metrics.tmHeight);
    charWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
    Resized();
    UpdateScrollBar();
}

void LinesView::ShowFromTop() {
    top_ = 0;
    UpdateScrollBar();
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::size_t LinesView::LinesPerPage() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return static_cast<std::size_t>(std::max<LONG>(1, (client.bottom - 2 * kMargin) / lineHeight_));
}

std::size_t LinesView::CharactersPerLine() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return static_cast<std::size_t>(std::max<LONG>(1, (client.right - 2 * kMargin) / charWidth_));
}

std::size_t LinesView::CharactersPerLineAt(int width) const {
    RECT client{}, window{};
    GetClientRect(Handle(), &client);
    GetWindowRect(Handle(), &window);
    const LONG frame = (window.right - window.left) - client.right;
    return static_cast<std::size_t>(std::max<LONG>(1, (width - frame - 2 * kMargin) / charWidth_));
}

void LinesView::ScrollTo(std::size_t line) {
    const std::size_t top = std::min(line, ScrollScale(LineCount(), LinesPerPage()).LastTop());
    if (top == top_) return;
    top_ = top;
    UpdateScrollBar();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void LinesView::UpdateScrollBar() {
    const ScrollScale scale(LineCount(), LinesPerPage());
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = scale.Max();
    info.nPage = scale.Page();
    info.nPos = scale.PositionOf(top_);
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void LinesView::Paint() {
    const PaintScope paint(Handle());
    const HDC dc = paint.dc();
    // The font is put back while the context is still ours.
    const SelectedObject font(dc, font_.get());
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    PaintLines(dc, top_, LinesPerPage() + 1, {kMargin, kMargin});
}

void LinesView::OnScroll(WORD request) {
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
            ScrollTo(ScrollScale(LineCount(), page).TopAt(info.nTrackPos));
            break;
        }
    }
}

// Ctrl+Home and Ctrl+End are Home and End: the view has no caret to move in a line.
bool LinesView::OnKey(WPARAM key) {
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

LRESULT LinesView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
                Resized();
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
                const std::size_t step =
                    kLinesPerNotch * static_cast<std::size_t>(std::abs(notches));
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
                result = static_cast<LRESULT>(WindowText().size());
                break;
            case WM_GETTEXT: {
                const std::string text = WindowText();
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
