#include "ui/form.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <stdexcept>

#include "ui/application.h"
#include "util/mul_div.h"

namespace norvane {
namespace {

constexpr UINT kFirstComponentId = 100;
constexpr int kGlyphSize = 16;
constexpr int kGlyphSpacing = 4;

Form* mainForm = nullptr;  // the first form created; closing it ends the program

int ScreenDpi() {
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

HFONT CreateFontFor(const std::string& face, int height, bool bold, bool underline) {
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                       ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

int TextHeightOf(HFONT font) {
    WindowDC screen(nullptr);
    SelectedObject selected(screen.get(), font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.get(), &metrics);
    return metrics.tmHeight;
}

std::string WindowTextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM list) {
    if (IsWindowVisible(w) && IsWindowEnabled(w))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::vector<HWND> DisableOtherWindows(HWND keep) {
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow,
                      reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, keep);
    for (HWND w : disabled) EnableWindow(w, FALSE);
    return disabled;
}

}  // namespace

Form::Form(const FormSpec& design, MessageDialog& messages, HWND owner) : messages_(messages) {
    HICON icon =
        design.icon ? LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(design.icon)) : nullptr;
    RegisterClassOnce(design.className, icon);

    // On a screen of another resolution the font follows the resolution and
    // the layout follows the font's new text height.
    dpi_ = ::norvane::ScreenDpi();
    designDpi_ = design.designDpi;
    fontFace_ = design.font.face ? design.font.face : "MS Sans Serif";
    fontHeight_ = design.font.height;
    if (dpi_ != design.designDpi) {
        fontHeight_ = MulDivRound(design.font.height, dpi_, design.designDpi);
        UniqueFont probe(CreateFontFor(fontFace_, fontHeight_, false, false));
        scaleNumerator_ = TextHeightOf(probe.get());
        scaleDenominator_ = design.designTextHeight;
    }

    RECT bounds{design.left, design.top, design.left + Scaled(design.width),
                design.top + Scaled(design.height)};
    const bool hasMenu = std::ranges::any_of(design.components, [](const ComponentSpec& c) {
        return c.kind == ComponentKind::MainMenu;
    });
    if (design.clientSized) {
        AdjustWindowRectEx(&bounds, design.style, hasMenu, design.exStyle);
        OffsetRect(&bounds, design.left - bounds.left, design.top - bounds.top);
    }
    Create(design.className, design.caption, design.style & ~WS_VISIBLE, design.exStyle, bounds,
           owner, nullptr);
    if (!mainForm) {
        mainForm = this;
        isMainForm_ = true;
    }
    CreateComponents(design.components);
    if (menuBar_) SetMenu(Handle(), menuBar_);
    constructed_ = true;
}

Form::~Form() {
    if (tooltip_) DestroyWindow(tooltip_);
    if (mainForm == this) mainForm = nullptr;
}

int Form::Scaled(int value) const {
    return MulDivRound(value, scaleNumerator_, scaleDenominator_);
}

void Form::CreateComponents(std::span<const ComponentSpec> designs) {
    components_.reserve(designs.size());
    for (const ComponentSpec& design : designs) {
        Component& c = components_.emplace_back();
        c.name = design.name;
        c.kind = design.kind;
        c.id = kFirstComponentId + static_cast<UINT>(components_.size() - 1);
        c.onClick = design.onClick;
        c.fontFace = design.font.face ? design.font.face : fontFace_;
        c.fontHeight =
            design.font.height ? MulDivRound(design.font.height, dpi_, designDpi_) : fontHeight_;
        c.flags = design.flags;
        c.bold = design.font.bold;
        c.underline = design.font.underline;

        if (design.kind == ComponentKind::MainMenu) {
            menuBar_ = CreateMenu();
            c.submenu = menuBar_;
        } else if (design.kind == ComponentKind::MenuItem) {
            Component& parent = Find(design.parent ? design.parent : "");
            c.menu = parent.submenu;
            const bool isPopup = std::ranges::any_of(designs, [&](const ComponentSpec& other) {
                return other.parent && c.name == other.parent;
            });
            if (isPopup) {
                c.submenu = CreatePopupMenu();
                AppendMenuA(c.menu, MF_POPUP, reinterpret_cast<UINT_PTR>(c.submenu),
                            design.caption);
            } else if (std::string_view(design.caption) == "-") {
                AppendMenuA(c.menu, MF_SEPARATOR, c.id, nullptr);
            } else {
                AppendMenuA(c.menu, MF_STRING, c.id, design.caption);
            }
        } else {
            CreateControl(c, design);
        }
    }
}

void Form::CreateControl(Component& c, const ComponentSpec& design) {
    const char* windowClass = "BUTTON";
    DWORD style = WS_CHILD | (design.flags & kHidden ? 0 : WS_VISIBLE) |
                  (design.flags & kDisabled ? WS_DISABLED : 0);
    DWORD exStyle = 0;
    switch (design.kind) {
        case ComponentKind::BitBtn:
            style |= BS_OWNERDRAW | WS_TABSTOP;
            break;
        case ComponentKind::Button:
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ComponentKind::ListBox:
            windowClass = "LISTBOX";
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ComponentKind::Label:
            windowClass = "STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case ComponentKind::Panel:
            windowClass = "STATIC";
            style |= SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;
            exStyle = WS_EX_DLGMODALFRAME;
            break;
        case ComponentKind::RichEdit:
            windowClass = RICHEDIT_CLASSA;
            style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ComponentKind::Picture:
            windowClass = "STATIC";
            style |= SS_OWNERDRAW;
            break;
        default:
            throw std::logic_error("not a control: " + c.name);
    }
    style |= WS_CLIPSIBLINGS;
    c.hwnd = CreateWindowExA(exStyle, windowClass, design.caption, style, Scaled(design.left),
                             Scaled(design.top), Scaled(design.width), Scaled(design.height),
                             Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)),
                             GetModuleHandleA(nullptr), nullptr);
    if (!c.hwnd) throw std::runtime_error("Cannot create control " + c.name);
    // Controls made later lie over the earlier ones.
    SetWindowPos(c.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (design.kind == ComponentKind::RichEdit) {
        // Shown as it is: no RTF is read from what the box is given.
        SendMessageA(c.hwnd, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    }
    MakeFont(c);
    if (design.itemHeight) SendMessageA(c.hwnd, LB_SETITEMHEIGHT, 0, Scaled(design.itemHeight));
    if (design.glyph)
        c.glyphs.reset(ImageList_LoadImageA(GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(design.glyph), kGlyphSize, 0,
                                            CLR_DEFAULT, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (design.hint) AddTooltip(c.hwnd, design.hint);
}

void Form::MakeFont(Component& c) {
    // The control takes the new font before the old one is deleted.
    UniqueFont font(CreateFontFor(c.fontFace, c.fontHeight, c.bold, c.underline));
    SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    c.font = std::move(font);
}

void Form::AddTooltip(HWND control, const char* hint) {
    if (!tooltip_) {
        // Unowned: a topmost popup owned by the form would keep Wine from
        // making the form itself topmost (Always On Top).
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

Form::Component& Form::Find(std::string_view name) {
    for (Component& c : components_)
        if (c.name == name) return c;
    throw std::logic_error("no component " + std::string(name));
}

Form::Component* Form::FindById(UINT id) {
    const UINT index = id - kFirstComponentId;
    return id >= kFirstComponentId && index < components_.size() ? &components_[index] : nullptr;
}

void Form::Show() {
    Guarded([&] { FormShow(); });
    if (!IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void Form::ShowModal() {
    const std::vector<HWND> disabled = DisableOtherWindows(Handle());
    modal_ = true;
    modalDone_ = false;
    Show();
    while (!modalDone_ && PumpMessage()) {
    }
    modal_ = false;
    // Re-enable first, so that activation returns to the window below.
    for (HWND w : disabled)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    ShowWindow(Handle(), SW_HIDE);
}

void Form::Close() {
    SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

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
    RECT r;
    GetWindowRect(c.hwnd, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Form::SetBoundsOf(Component& c, const Bounds& b) {
    MoveWindow(c.hwnd, b.left, b.top, b.width, b.height, TRUE);
}

int Form::FontSizeOf(const Component& c) const {
    return FontPointsFromHeight(c.fontHeight, dpi_);
}

void Form::SetFontSizeOf(Component& c, int points) {
    c.fontHeight = FontHeightFromPoints(points, dpi_);
    MakeFont(c);
}

bool Form::IsChecked(const Component& item) const {
    return GetMenuState(item.menu, item.id, MF_BYCOMMAND) & MF_CHECKED;
}

void Form::SetChecked(Component& item, bool checked) {
    CheckMenuItem(item.menu, item.id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Form::SetVisible(Component& c, bool visible) {
    ShowWindow(c.hwnd, visible ? SW_SHOW : SW_HIDE);
}
void Form::SetEnabled(Component& c, bool enabled) {
    EnableWindow(c.hwnd, enabled);
}

std::string Form::TextOf(const Component& c) const {
    return WindowTextOf(c.hwnd);
}

void Form::SetTextOf(Component& c, std::string_view text) {
    SetWindowTextA(c.hwnd, std::string(text).c_str());
    if (!(c.flags & kAutoSize)) return;
    WindowDC dc(c.hwnd);
    SelectedObject font(dc.get(), c.font.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &extent);
    const Bounds b = BoundsOf(c);
    SetBoundsOf(c, {b.left, b.top, extent.cx, extent.cy});
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

void Form::DrawPicture(Component& c, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!c.picture) return;
    BITMAP info{};
    GetObjectA(c.picture.get(), sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    {
        SelectedObject selected(memory, c.picture.get());
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    }
    DeleteDC(memory);
}

void Form::DrawBitBtn(Component& component, const DRAWITEMSTRUCT& item) {
    Component* c = &component;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    const bool focused = item.itemState & ODS_FOCUS;
    if (focused) {
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
    }
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    const std::string caption = TextOf(*c);
    SelectedObject font(dc, c->font.get());
    SIZE text{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    const int glyphWidth = c->glyphs ? kGlyphSize + kGlyphSpacing : 0;
    const int shift = pushed ? 1 : 0;
    int x = r.left + (r.right - r.left - glyphWidth - text.cx) / 2 + shift;
    const int middle = (r.top + r.bottom) / 2 + shift;
    if (c->glyphs) {
        ImageList_Draw(c->glyphs.get(), disabled ? 1 : 0, dc, x, middle - kGlyphSize / 2,
                       ILD_TRANSPARENT);
        x += glyphWidth;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    RECT textRect{x, middle - text.cy / 2, x + text.cx, middle - text.cy / 2 + text.cy};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
              DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    if (focused) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const bool fromControl = lParam != 0;
            if (fromControl && HIWORD(wParam) != BN_CLICKED) break;
            Component* c = FindById(LOWORD(wParam));
            if (c && c->onClick) {
                Guarded([&] { (this->*(c->onClick))(); });
                return 0;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Component* c = FindById(item.CtlID)) {
                if (c->kind == ComponentKind::Picture)
                    DrawPicture(*c, item);
                else
                    DrawBitBtn(*c, item);
            }
            return TRUE;
        }
        case WM_SIZE:
            if (constructed_) {
                AlignClientComponents();
                Guarded([&] { FormResize(); });
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) Guarded([&] { FormActivate(); });
            break;
        case WM_CLOSE: {
            bool canClose = true;
            Guarded([&] { FormCloseQuery(canClose); });
            if (!canClose) return 0;
            if (modal_)
                modalDone_ = true;
            else if (isMainForm_)
                DestroyWindow(Handle());
            else
                ShowWindow(Handle(), SW_HIDE);
            return 0;
        }
        case WM_QUERYENDSESSION: {
            // Save what can be saved, and never refuse or hold up a shut-down
            // or log-off: not even with an error box.
            bool canClose = true;
            try {
                FormCloseQuery(canClose);
            } catch (...) {
            }
            return TRUE;
        }
        case WM_ENDSESSION:
            if (wParam && isMainForm_) DestroyWindow(Handle());
            return 0;
        case WM_DESTROY:
            if (isMainForm_) PostQuitMessage(0);
            return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace norvane
