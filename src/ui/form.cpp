#include "ui/form.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/application.h"
#include "ui/fonts.h"
#include "util/mul_div.h"

namespace norvane {
namespace {

Form* mainForm = nullptr;  // the first form created; closing it ends the program
// The program's active form: the last of its forms to be activated while
// shown. Coming back from another program, or from a message box, leaves
// it as it was.
Form* activeForm = nullptr;

bool IsModeless(HWND w) {
    const auto* form = dynamic_cast<const Form*>(Window::FromHandle(w));
    return form && form->IsModeless();
}

BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM list) {
    if (IsWindowVisible(w) && IsWindowEnabled(w) && !IsModeless(w))
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

// An owner-drawn button reports the second of two quick clicks as a
// double-click; a standard push button as another click. Both are clicks.
bool IsClickNotification(const Form::Component& c, WORD code) {
    if (code == BN_CLICKED) return true;
    return code == BN_DOUBLECLICKED && c.kind == ComponentKind::BitBtn;
}

}  // namespace

bool IsCopyKey(WPARAM key) {
    const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    return (control && (key == 'C' || key == 'X' || key == VK_INSERT)) ||
           (shift && key == VK_DELETE);
}

Form::Form(const FormSpec& design, MessageDialog& messages, HWND owner) : messages_(messages) {
    HICON icon =
        design.icon ? LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(design.icon)) : nullptr;
    RegisterClassOnce(design.className, icon);

    // On a screen of another resolution the font follows the resolution and
    // the layout follows the font's new text height.
    dpi_ = ScreenDpi();
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
    designs_ = design.components;
    modeless_ = design.modeless;
    if (!design.componentsOnDemand) CreateComponentsOnce();
    // Only a form that was made whole: one that failed leaves no pointer behind.
    if (!mainForm) {
        mainForm = this;
        isMainForm_ = true;
    }
    constructed_ = true;
}

void Form::CreateComponentsOnce() {
    // Making them sends messages whose handlers may reach them again.
    if (componentState_ != ComponentState::None) return;
    componentState_ = ComponentState::Making;
    try {
        CreateComponents(designs_);
        if (menuBar_) SetMenu(Handle(), menuBar_);
        if (constructed_) AlignClientComponents();
        // Made with the components, before the form shows: under Wine a form
        // made topmost (Always On Top) before its tooltip existed did not stay so.
        MakeTooltipOnce();
        componentState_ = ComponentState::Made;
        ComponentsMade();
    } catch (...) {
        DestroyComponents();
        throw;
    }
    designs_ = {};
    textsBeforeComponents_.clear();
}

void Form::DestroyComponents() noexcept {
    if (tooltip_) DestroyWindow(std::exchange(tooltip_, nullptr));
    for (Component& c : components_) {
        if (c.hwnd) DestroyWindow(c.hwnd);
        if (c.timerRunning) KillTimer(Handle(), c.id);
    }
    if (menuBar_) {
        if (GetMenu(Handle()) == menuBar_) SetMenu(Handle(), nullptr);
        // With every item's menu below it.
        DestroyMenu(std::exchange(menuBar_, nullptr));
    }
    hinted_.clear();
    windowless_.clear();
    pressed_ = nullptr;
    components_.clear();
    componentState_ = ComponentState::None;
}

Form::~Form() {
    if (tooltip_) DestroyWindow(tooltip_);
    if (mainForm == this) mainForm = nullptr;
    if (activeForm == this) activeForm = nullptr;
}

int Form::Scaled(int value) const {
    return MulDivRound(value, scaleNumerator_, scaleDenominator_);
}

Form::Component* Form::FindById(UINT id) {
    const UINT index = id - kFirstComponentId;
    return id >= kFirstComponentId && index < components_.size() ? &components_[index] : nullptr;
}

// The component whose window `control` is, when it is one of this form's.
Form::Component* Form::FindByWindow(HWND control) {
    if (!control || GetParent(control) != Handle()) return nullptr;
    Component* c = FindById(static_cast<UINT>(GetDlgCtrlID(control)));
    return c && c->hwnd == control ? c : nullptr;
}

void Form::Show() {
    CreateComponentsOnce();
    LoadWindowlessOnce();
    Guarded([&] { FormShow(); });
    if (!IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void Form::ShowModal() {
    // Already in its own modal loop further down the stack: never a second one.
    if (modal_) {
        SetForegroundWindow(Handle());
        return;
    }
    // A failure to make them leaves the program's windows as they were.
    CreateComponentsOnce();

    // The program's other windows disabled and the form modal, for as long
    // as this lasts, whatever way it ends.
    class ModalState {
      public:
        explicit ModalState(Form& form)
            : form_(form), disabled_(DisableOtherWindows(form.Handle())) {
            form_.modal_ = true;
            form_.modalDone_ = false;
        }
        ModalState(const ModalState&) = delete;
        ModalState& operator=(const ModalState&) = delete;
        ~ModalState() {
            form_.modal_ = false;
            // Re-enable first, so that activation returns to the window below.
            for (HWND w : disabled_)
                if (IsWindow(w)) EnableWindow(w, TRUE);
            form_.Hide();
        }

      private:
        Form& form_;
        const std::vector<HWND> disabled_;
    } modal(*this);

    Show();
    while (!modalDone_ && PumpMessage()) {
    }
}

void Form::Hide() {
    ShowWindow(Handle(), SW_HIDE);
    // Its next showing makes it the active form again.
    if (activeForm == this) activeForm = nullptr;
    Guarded([&] { FormHide(); });
}

void Form::Close() {
    SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

bool Form::PreviewKey(WPARAM key) {
    if (RunKeyboardPopup(key)) return true;
    // The program only reads the clipboard: its text boxes copy nothing to it.
    if (const Component* focused = FindByWindow(GetFocus());
        focused && focused->kind == ComponentKind::RichEdit && IsCopyKey(key))
        return true;
    if (!keyPreview_) return false;
    WORD pressed = static_cast<WORD>(key);
    Guarded([&] { FormKeyDown(pressed); });
    return pressed == 0;
}

LRESULT Form::ColorStatic(HDC dc, HWND control) {
    const Component* c = FindById(static_cast<UINT>(GetDlgCtrlID(control)));
    if (c && c->textColor != kSystemColor) SetTextColor(dc, c->textColor);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT Form::DefaultButtonId() {
    for (const Component& c : components_)
        if ((c.flags & kDefault) && c.hwnd && IsWindowVisible(c.hwnd))
            return MAKELRESULT(c.id, DC_HASDEFID);
    return 0;
}

void Form::RunTimer(UINT id) {
    Component* c = FindById(id);
    if (c && c->kind == ComponentKind::Timer && c->timerRunning && c->onTimer)
        Guarded([&] { (this->*(c->onTimer))(); });
}

// A click of a control or a menu item, and a list box's double-click, run
// their handlers; other notifications are left to the default handling.
bool Form::RunCommand(WPARAM wParam, LPARAM lParam) {
    Component* c = FindById(LOWORD(wParam));
    if (!c) return false;
    const bool fromControl = lParam != 0;
    Handler handler = nullptr;
    if (!fromControl || IsClickNotification(*c, HIWORD(wParam)))
        handler = c->onClick;
    else if (c->kind == ComponentKind::ListBox && HIWORD(wParam) == LBN_DBLCLK)
        handler = c->onDblClick;
    if (!handler) return false;
    Guarded([&] { (this->*handler)(); });
    return true;
}

bool Form::RunNotify(NMHDR& note, LRESULT& result) {
    Component* c = FindByWindow(note.hwndFrom);
    if (!c || c->kind != ComponentKind::ListView) return false;
    return RunListNotify(*c, note, result);
}

// A context menu asked for with the mouse. One asked for from the keyboard
// comes through RunKeyboardPopup, so that it opens once however the system
// turns those keys into WM_CONTEXTMENU.
bool Form::RunContextPopup(HWND control, LPARAM where) {
    Component* c = FindByWindow(control);
    if (!c || !c->onContextPopup) return false;
    if (where == -1) return true;
    const PopupRequest request{{GET_X_LPARAM(where), GET_Y_LPARAM(where)}, false};
    Guarded([&] { (this->*(c->onContextPopup))(request); });
    return true;
}

// Shift+F10 or the menu key over a focused component that has a context menu.
bool Form::RunKeyboardPopup(WPARAM key) {
    const bool menuKey = key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0);
    if (!menuKey) return false;
    Component* c = FindByWindow(GetFocus());
    if (!c || !c->onContextPopup) return false;
    const PopupRequest request{{}, true};
    Guarded([&] { (this->*(c->onContextPopup))(request); });
    return true;
}

void Form::DrawItem(const DRAWITEMSTRUCT& item) {
    Component* c = FindById(item.CtlID);
    if (!c) return;
    if (c->kind == ComponentKind::Picture)
        DrawPicture(*c, item);
    else if (c->kind == ComponentKind::Image)
        DrawImage(*c, item);
    else
        DrawBitBtn(*c, item);
}

void Form::CloseOrHide() {
    bool canClose = true;
    Guarded([&] { FormCloseQuery(canClose); });
    if (!canClose) return;
    if (modal_) {
        modalDone_ = true;
        // A close sent from another thread runs inside GetMessage, which
        // returns only for a posted message: wake the loop.
        PostMessageA(Handle(), WM_NULL, 0, 0);
    } else if (isMainForm_) {
        DestroyWindow(Handle());
    } else {
        Hide();
    }
}

void Form::SaveBeforeEndSession() noexcept {
    // Save what can be saved, and never refuse or hold up a shut-down or
    // log-off: not even with an error box.
    bool canClose = true;
    try {
        FormCloseQuery(canClose);
    } catch (...) {
    }
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (RunCommand(wParam, lParam)) return 0;
            break;
        case WM_NOTIFY:
            if (LRESULT result = 0; RunNotify(*reinterpret_cast<NMHDR*>(lParam), result))
                return result;
            break;
        case WM_CONTEXTMENU:
            if (RunContextPopup(reinterpret_cast<HWND>(wParam), lParam)) return 0;
            break;
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case DM_GETDEFID:
            return DefaultButtonId();
        case WM_TIMER:
            RunTimer(static_cast<UINT>(wParam));
            return 0;
        case WM_CLIPBOARDUPDATE:
            Guarded([&] { FormClipboardUpdate(); });
            return 0;
        case WM_SIZE:
            if (constructed_) {
                AlignClientComponents();
                Guarded([&] { FormResize(); });
            }
            return 0;
        case WM_WINDOWPOSCHANGED:
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)
                Guarded([&] { FormVisible(); });
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && activeForm != this) {
                activeForm = this;
                Guarded([&] { FormActivate(); });
            }
            break;
        case WM_CLOSE:
            CloseOrHide();
            return 0;
        case WM_QUERYENDSESSION:
            SaveBeforeEndSession();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && isMainForm_) DestroyWindow(Handle());
            return 0;
        case WM_DESTROY:
            if (isMainForm_) PostQuitMessage(0);
            return 0;
        case WM_ERASEBKGND:
        case WM_PAINT:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_CAPTURECHANGED:
        case WM_SETCURSOR:
            return OnWindowlessMessage(message, wParam, lParam);
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace norvane
