// Creation of the components of each kind, and the drawing of the
// owner-drawn ones.
#include "ui/form.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/fonts.h"
#include "util/mul_div.h"
#include "util/placeable_metafile.h"

namespace norvane {
namespace {

constexpr int kGlyphSize = 16;
constexpr int kGlyphSpacing = 4;
constexpr int kFrameWidth = 2;  // a push button's frame

// A placeable Windows metafile as an enhanced one; none when the bytes are not one.
UniqueEnhMetafile EnhMetafileFromPlaceable(std::span<const std::uint8_t> bytes) {
    const auto header = ReadPlaceableHeader(bytes);
    if (!header) return {};
    constexpr int kHimetricPerInch = 2540;
    METAFILEPICT picture{};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = MulDivRound(header->width, kHimetricPerInch, header->unitsPerInch);
    picture.yExt = MulDivRound(header->height, kHimetricPerInch, header->unitsPerInch);
    const auto records = bytes.subspan(kPlaceableHeaderSize);
    return UniqueEnhMetafile(
        SetWinMetaFileBits(static_cast<UINT>(records.size()), records.data(), nullptr, &picture));
}

// A button's glyph and its disabled one beside it (a bitmap resource of
// two squares, the top-left pixel's colour transparent), as an image list
// of two squares of `size` pixels: the bitmap stretched to that size.
UniqueImageList LoadGlyphs(int resource, int size) {
    if (size == kGlyphSize)
        return UniqueImageList(
            ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), kGlyphSize,
                                 0, CLR_DEFAULT, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    UniqueBitmap stretched(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource),
                                        IMAGE_BITMAP, 2 * size, size, LR_CREATEDIBSECTION)));
    if (!stretched) return {};
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0));
    if (!list) return {};
    COLORREF transparent = CLR_NONE;
    if (HDC memory = CreateCompatibleDC(nullptr)) {
        {
            SelectedObject selected(memory, stretched.get());
            transparent = GetPixel(memory, 0, 0);
        }
        DeleteDC(memory);
    }
    ImageList_AddMasked(list.get(), stretched.get(), transparent);
    return list;
}

// The design position of a container's top-left in the form's client area.
POINT DesignOrigin(std::span<const ComponentSpec> designs, LayoutIndex container) {
    if (!container.IsSet()) return {0, 0};
    const ComponentSpec& d = designs[container.Value()];
    const POINT outer = DesignOrigin(designs, d.parent);
    return {outer.x + d.left, outer.y + d.top};
}

bool IsWindowless(ComponentKind kind) {
    return kind == ComponentKind::GroupBox || kind == ComponentKind::Bevel ||
           kind == ComponentKind::Graphic;
}

struct WindowClassAndStyle {
    const char* windowClass = "BUTTON";
    DWORD style = 0;
    DWORD exStyle = 0;
};

// The window class and styles a control of the design's kind is made with;
// none for a kind that is no child window.
std::optional<WindowClassAndStyle> WindowClassFor(const ComponentSpec& design) {
    WindowClassAndStyle w;
    w.style = WS_CHILD | WS_CLIPSIBLINGS | (design.flags & kHidden ? 0 : WS_VISIBLE) |
              (design.flags & kDisabled ? WS_DISABLED : 0);
    const DWORD notify = design.onClick.run ? SS_NOTIFY : 0;
    switch (design.kind) {
        case ComponentKind::BitBtn:
            w.style |= BS_OWNERDRAW | WS_TABSTOP;
            break;
        case ComponentKind::Button:
            w.style |= (design.flags & kDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
            break;
        case ComponentKind::ListBox:
            w.windowClass = "LISTBOX";
            w.style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
            w.exStyle = WS_EX_CLIENTEDGE;
            break;
        case ComponentKind::Label:
            w.windowClass = "STATIC";
            w.style |= SS_NOPREFIX | notify;
            w.style |= design.flags & kCenterText   ? SS_CENTER
                       : design.flags & kNoWordWrap ? SS_LEFTNOWORDWRAP
                                                    : SS_LEFT;
            break;
        case ComponentKind::Panel:
            w.windowClass = "STATIC";
            w.style |= SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;
            w.exStyle = WS_EX_DLGMODALFRAME;
            break;
        case ComponentKind::RichEdit:
            w.windowClass = RICHEDIT_CLASSA;
            w.style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP |
                       (design.flags & kVerticalScroll ? WS_VSCROLL : 0);
            w.exStyle = WS_EX_CLIENTEDGE;
            break;
        case ComponentKind::ListView:
            w.windowClass = WC_LISTVIEWA;
            w.style |= LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                       LVS_NOSORTHEADER | WS_TABSTOP;
            w.exStyle = WS_EX_CLIENTEDGE;
            break;
        case ComponentKind::Picture:
            w.windowClass = "STATIC";
            w.style |= SS_OWNERDRAW;
            break;
        case ComponentKind::Image:
            w.windowClass = "STATIC";
            w.style |= SS_OWNERDRAW | notify;
            break;
        case ComponentKind::ProgressBar:
            w.windowClass = PROGRESS_CLASSA;
            break;
        default:
            return std::nullopt;
    }
    return w;
}

// A common control's window class, registered by the common controls
// library when a form first has one (a class registered already is left as
// it is).
void RegisterCommonControlClasses(DWORD classes) {
    INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    if (!InitCommonControlsEx(&controls))
        throw std::runtime_error("Cannot register the common controls' window classes");
}

// A rich edit box keeps plain text, one format for all of it, unless its
// design reads RTF. (Plain text streamed in is shown as it is either way.)
void SetTextMode(const Form::Component& c) {
    SendMessageA(c.hwnd, EM_SETTEXTMODE, c.flags & kRichText ? TM_RICHTEXT : TM_PLAINTEXT, 0);
}

}  // namespace

// Loaded by the first form that has a rich edit box, and tried again by
// the next when it failed.
void LoadRichEditLibraryOnce() {
    static HMODULE richEdit = nullptr;
    if (!richEdit) richEdit = LoadLibraryA("riched20.dll");
    if (!richEdit)
        throw std::runtime_error("Cannot load the rich edit library riched20.dll (error " +
                                 std::to_string(GetLastError()) + ")");
}

void Form::CreateComponents(std::span<const ComponentSpec> designs) {
    components_.reserve(designs.size());
    for (const ComponentSpec& design : designs) {
        Component& c = components_.emplace_back();
        TakeDesign(c, design);
        if (design.kind == ComponentKind::MainMenu) {
            menuBar_ = CreateMenu();
            c.submenu = menuBar_;
        } else if (design.kind == ComponentKind::MenuItem) {
            CreateMenuItem(c, design, designs);
        } else if (design.kind == ComponentKind::Timer) {
            // Started by SetEnabled: a timer has no window of its own.
        } else if (IsWindowless(design.kind)) {
            CreateWindowless(c, design, DesignOrigin(designs, design.parent));
        } else {
            CreateControl(c, design, DesignOrigin(designs, design.parent));
        }
    }
}

// What the component keeps of its design (the component last added); its
// font at the screen's resolution, scaled as the layout is.
void Form::TakeDesign(Component& c, const ComponentSpec& design) {
    c.name = design.name;
    c.kind = design.kind;
    c.id = kFirstComponentId + static_cast<UINT>(components_.size() - 1);
    c.onClick = design.onClick.run;
    c.onDblClick = design.onDblClick.run;
    c.onContextPopup = design.onContextPopup.run;
    c.onCellText = design.onCellText.run;
    c.onLineTip = design.onLineTip.run;
    c.onTimer = design.onTimer.run;
    c.interval = design.interval;
    c.textColor = design.textColor;
    c.glyphMargin = design.glyphMargin;
    c.glyph = design.glyph;
    c.fontFace = design.font.face ? design.font.face : fontFace_;
    // A font of the component's own grows with the layout around it; the
    // form's own font follows the screen's resolution.
    c.fontHeight = design.font.height ? Scaled(design.font.height) : fontHeight_;
    c.flags = design.flags;
    c.bold = design.font.bold;
    c.underline = design.font.underline;
}

// The component last added, as an item of the menu bar or of its parent
// item's menu: a popup when other items name it as their parent, a
// separator when its caption is "-".
void Form::CreateMenuItem(Component& c, const ComponentSpec& design,
                          std::span<const ComponentSpec> designs) {
    const LayoutIndex index(components_.size() - 1);
    c.menu = components_.at(design.parent.Value()).submenu;
    const bool isPopup = std::ranges::any_of(
        designs, [&](const ComponentSpec& other) { return other.parent == index; });
    if (isPopup) {
        c.submenu = CreatePopupMenu();
        AppendMenuA(c.menu, MF_POPUP, reinterpret_cast<UINT_PTR>(c.submenu), design.caption);
    } else if (std::string_view(design.caption) == "-") {
        AppendMenuA(c.menu, MF_SEPARATOR, c.id, nullptr);
    } else {
        AppendMenuA(c.menu, MF_STRING, c.id, design.caption);
    }
}

void Form::CreateControl(Component& c, const ComponentSpec& design, POINT origin) {
    const auto window = WindowClassFor(design);
    if (!window) throw std::logic_error("not a control: " + c.name);
    if (design.kind == ComponentKind::Image) c.data = design.data;
    if (design.kind == ComponentKind::RichEdit) LoadRichEditLibraryOnce();
    if (design.kind == ComponentKind::ProgressBar) RegisterCommonControlClasses(ICC_PROGRESS_CLASS);
    if (design.kind == ComponentKind::ListView) RegisterCommonControlClasses(ICC_LISTVIEW_CLASSES);
    // Every control is a child of the form itself, so that its commands reach
    // the form's one dispatch path; a container only places it.
    // A text set before the form made its components replaces the design's.
    const auto kept = textsBeforeComponents_.find(components_.size() - 1);
    const std::string caption =
        kept != textsBeforeComponents_.end() ? kept->second : std::string(design.caption);
    c.hwnd = CreateWindowExA(window->exStyle, window->windowClass, caption.c_str(), window->style,
                             Scaled(origin.x + design.left), Scaled(origin.y + design.top),
                             Scaled(design.width), Scaled(design.height), Handle(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)),
                             GetModuleHandleA(nullptr), nullptr);
    if (!c.hwnd) throw std::runtime_error("Cannot create control " + c.name);
    // Controls made later lie over the earlier ones.
    SetWindowPos(c.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (design.kind == ComponentKind::RichEdit) SetTextMode(c);
    MakeFont(c);
    if (design.kind == ComponentKind::ListView) SetUpListView(c, design);
    if (design.flags & kAutoSize)
        FitToText(c, caption);
    else if (design.kind == ComponentKind::Label)
        GrowToText(c, caption);
    if (design.itemHeight) SendMessageA(c.hwnd, LB_SETITEMHEIGHT, 0, Scaled(design.itemHeight));
    if (design.hint) {
        c.hint = design.hint;
        hinted_.push_back(&c);
    }
}

void Form::RecreateWindowOf(Component& c) {
    char windowClass[64] = {};
    GetClassNameA(c.hwnd, windowClass, sizeof windowClass);
    const Bounds b = BoundsOf(c);
    HWND fresh = CreateWindowExA(
        static_cast<DWORD>(GetWindowLongA(c.hwnd, GWL_EXSTYLE)), windowClass, "",
        static_cast<DWORD>(GetWindowLongA(c.hwnd, GWL_STYLE)), b.left, b.top, b.width, b.height,
        Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.id)), GetModuleHandleA(nullptr),
        nullptr);
    if (!fresh) throw std::runtime_error("Cannot create control " + c.name);
    SetWindowPos(fresh, c.hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool focused = GetFocus() == c.hwnd;
    // Once the tooltip is made, it follows the window of a hinted component.
    const bool hinted = tooltip_ && std::ranges::find(hinted_, &c) != hinted_.end();
    if (hinted) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
        SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    DestroyWindow(std::exchange(c.hwnd, fresh));
    if (focused) SetFocus(fresh);
    if (c.kind == ComponentKind::RichEdit) SetTextMode(c);
    SendMessageA(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(c.font.get()), FALSE);
    if (hinted) AddTool(c);
}

void Form::MakeFont(Component& c) {
    // The control takes the new font before the old one is deleted.
    UniqueFont font(CreateFontFor(c.fontFace, c.fontHeight, c.bold, c.underline));
    SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    c.font = std::move(font);
}

void Form::MakeTooltipOnce() {
    if (tooltip_ || hinted_.empty()) return;
    // Unowned: a topmost popup owned by the form would keep Wine from
    // making the form itself topmost (Always On Top).
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    for (const Component* c : hinted_) AddTool(*c);
}

void Form::AddTool(const Component& c) {
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
    tool.lpszText = const_cast<char*>(c.hint.c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
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

void Form::DrawImage(Component& c, const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!c.metafile) c.metafile = EnhMetafileFromPlaceable(c.data);
    if (c.metafile) PlayEnhMetaFile(item.hDC, c.metafile.get(), &item.rcItem);
}

Form::BitBtnPlaces Form::PlaceBitBtn(const Component& c, const RECT& r, SIZE text,
                                     bool pushed) const {
    // As the screen's resolution scales it, and never taller than the
    // inside of the button's frame.
    const int inside = std::max<int>(r.bottom - r.top - 2 * kFrameWidth, 1);
    const int glyphSize = c.glyph ? std::min(Scaled(kGlyphSize), inside) : 0;
    const int glyphWidth = c.glyph ? glyphSize + Scaled(kGlyphSpacing) : 0;
    const int shift = pushed ? 1 : 0;
    int x = r.left + (r.right - r.left - glyphWidth - text.cx) / 2 + shift;
    const int middle = (r.top + r.bottom) / 2 + shift;
    BitBtnPlaces places;
    if (c.glyph) {
        // With a margin the glyph keeps to the left edge and the caption is
        // centred in the room beside it.
        const int glyphX = c.glyphMargin >= 0 ? r.left + Scaled(c.glyphMargin) + shift : x;
        const int glyphY = middle - glyphSize / 2;
        places.glyph = {glyphX, glyphY, glyphX + glyphSize, glyphY + glyphSize};
        x = c.glyphMargin >= 0 ? glyphX + glyphSize + (r.right - glyphX - glyphSize - text.cx) / 2
                               : x + glyphWidth;
    }
    const int top = middle - text.cy / 2;
    places.text = {x, top, x + text.cx, top + text.cy};
    return places;
}

void Form::DrawBitBtn(Component& c, const DRAWITEMSTRUCT& item) {
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
    const std::string caption = TextOf(c);
    SelectedObject font(dc, c.font.get());
    SIZE text{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    // Placed in the whole button, focused or not.
    BitBtnPlaces places = PlaceBitBtn(c, item.rcItem, text, pushed);
    // Loaded when first drawn, and again at the size a rescale gives.
    const int glyphSize = places.glyph.right - places.glyph.left;
    int loadedSize = 0, loadedHeight = 0;
    if (c.glyphs) ImageList_GetIconSize(c.glyphs.get(), &loadedSize, &loadedHeight);
    if (c.glyph && loadedSize != glyphSize) c.glyphs = LoadGlyphs(c.glyph, glyphSize);
    if (c.glyphs)
        ImageList_Draw(c.glyphs.get(), disabled ? 1 : 0, dc, places.glyph.left, places.glyph.top,
                       ILD_TRANSPARENT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &places.text,
              DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    if (focused) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
}

}  // namespace norvane
