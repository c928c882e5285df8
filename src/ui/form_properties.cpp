// What a form and its components show: caption, bounds, fonts, checks,
// visibility and texts.
#include "ui/form.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ui/fonts.h"
#include "util/mul_div.h"

namespace norvane {

std::string Form::Caption() const {
    return WindowTextOf(Handle());
}

void Form::SetCaption(std::string_view caption) {
    SetWindowTextA(Handle(), std::string(caption).c_str());
}

int Form::ClientWidth() const {
    RECT r;
    GetClientRect(Handle(), &r);
    return r.right;
}

int Form::ClientHeight() const {
    RECT r;
    GetClientRect(Handle(), &r);
    return r.bottom;
}

void Form::SetClientWidth(int width) {
    SetWidth(OuterBounds().width + width - ClientWidth());
}

void Form::SetClientHeight(int height) {
    SetHeight(OuterBounds().height + height - ClientHeight());
}

Bounds Form::OuterBounds() const {
    RECT r;
    GetWindowRect(Handle(), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Form::SetLeft(int left) {
    SetWindowPos(Handle(), nullptr, left, OuterBounds().top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetTop(int top) {
    SetWindowPos(Handle(), nullptr, OuterBounds().left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetWidth(int width) {
    SetWindowPos(Handle(), nullptr, 0, 0, width, OuterBounds().height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetHeight(int height) {
    SetWindowPos(Handle(), nullptr, 0, 0, OuterBounds().width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Bounds Form::BoundsOf(const Component& c) const {
    if (c.graphic) return c.graphic->BoundsRect();
    RECT r;
    GetWindowRect(c.hwnd, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Form::SetBoundsOf(Component& c, const Bounds& b) {
    if (c.graphic) return c.graphic->SetBounds(b);
    MoveWindow(c.hwnd, b.left, b.top, b.width, b.height, TRUE);
}

int Form::FontSizeOf(const Component& c) const {
    return FontPointsFromHeight(c.fontHeight, dpi_);
}

void Form::SetFontSizeOf(Component& c, int points) {
    const int height = FontHeightFromPoints(points, dpi_);
    // A rescale sets every size again: one it already has makes no new font.
    if (c.font && height == c.fontHeight) return;
    c.fontHeight = height;
    MakeFont(c);
}

bool Form::IsChecked(const Component& item) const {
    return GetMenuState(item.menu, item.id, MF_BYCOMMAND) & MF_CHECKED;
}

void Form::SetChecked(Component& item, bool checked) {
    CheckMenuItem(item.menu, item.id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Form::SetVisible(Component& c, bool visible) {
    if (c.graphic) return c.graphic->SetVisible(visible);
    ShowWindow(c.hwnd, visible ? SW_SHOW : SW_HIDE);
}

void Form::SetEnabled(Component& c, bool enabled) {
    if (c.kind != ComponentKind::Timer) {
        EnableWindow(c.hwnd, enabled);
        return;
    }
    // A running timer keeps its phase.
    if (enabled == c.timerRunning) return;
    if (enabled && !SetTimer(Handle(), c.id, c.interval, nullptr))
        throw std::runtime_error("No More Timers Available");
    if (!enabled) KillTimer(Handle(), c.id);
    c.timerRunning = enabled;
}

bool Form::IsEnabled(const Component& c) const {
    return c.kind == ComponentKind::Timer ? c.timerRunning : IsWindowEnabled(c.hwnd);
}

std::string Form::TextOf(const Component& c) const {
    return WindowTextOf(c.hwnd);
}

std::string Form::TextAt(LayoutIndex index) const {
    if (HasComponents()) return TextOf(components_.at(index.Value()));
    const auto kept = textsBeforeComponents_.find(index.Value());
    return kept != textsBeforeComponents_.end() ? kept->second : designs_[index.Value()].caption;
}

void Form::SetTextAt(LayoutIndex index, std::string_view text) {
    if (HasComponents())
        SetTextOf(components_.at(index.Value()), text);
    else
        textsBeforeComponents_[index.Value()] = text;
}

void Form::SetTextOf(Component& c, std::string_view text) {
    SetWindowTextA(c.hwnd, std::string(text).c_str());
    if (c.flags & kAutoSize)
        FitToText(c, text);
    else if (c.kind == ComponentKind::Label)
        GrowToText(c, text);
}

void Form::FitToText(Component& c, std::string_view text) {
    WindowDC dc(c.hwnd);
    SelectedObject font(dc.get(), c.font.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &extent);
    const Bounds b = BoundsOf(c);
    SetBoundsOf(c, {b.left, b.top, extent.cx, extent.cy});
}

void Form::GrowToText(Component& c, std::string_view text) {
    if (text.empty()) return;
    const Bounds b = BoundsOf(c);
    WindowDC dc(c.hwnd);
    SelectedObject font(dc.get(), c.font.get());
    RECT needed{0, 0, b.width, 0};
    DrawTextA(dc.get(), text.data(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS |
                  (c.flags & kNoWordWrap ? DT_SINGLELINE : DT_WORDBREAK));
    const int width = std::max<int>(b.width, needed.right);
    const int height = std::max<int>(b.height, needed.bottom);
    if (width != b.width || height != b.height) SetBoundsOf(c, {b.left, b.top, width, height});
}

void Form::SetHintOf(Component& c, std::string_view hint) {
    c.hint = hint;
    if (!tooltip_ || !c.hwnd) return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
    tool.lpszText = c.hint.data();
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form::SetPicture(Component& c, HBITMAP bitmap) {
    c.picture.reset(bitmap);
    InvalidateRect(c.hwnd, nullptr, TRUE);
}

void Form::AlignClientComponents() {
    for (Component& c : components_)
        if (c.hwnd && (c.flags & kAlignClient))
            SetBoundsOf(c, {0, 0, ClientWidth(), ClientHeight()});
}

}  // namespace norvane
