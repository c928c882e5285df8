// The form's windowless components: their creation, their drawing order,
// painting them into whatever device context the form is handed, and
// hit-testing them for the mouse and the cursor.
#include "ui/form.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "ui/fonts.h"
#include "ui/frame_controls.h"

namespace norvane {
namespace {

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool Contains(const GraphicControl& g, POINT p) {
    const RECT r = g.ParentRect();
    return PtInRect(&r, p);
}

}  // namespace

void Form::CreateWindowless(Component& c, const ComponentSpec& design, POINT origin) {
    switch (design.kind) {
        case ComponentKind::GroupBox:
            c.font.reset(CreateFontFor(c.fontFace, c.fontHeight, c.bold, c.underline));
            c.graphic = std::make_unique<GroupBoxControl>(design.caption, c.font.get());
            break;
        case ComponentKind::Bevel:
            c.graphic = std::make_unique<BevelControl>();
            break;
        case ComponentKind::Graphic:
            if (design.graphic) c.graphic = design.graphic->Make(Messages(), design.data);
            break;
        default:
            break;
    }
    if (!c.graphic) throw std::logic_error("not a windowless component: " + c.name);
    GraphicControl& g = *c.graphic;
    g.SetParent(Handle());
    g.SetBounds({Scaled(origin.x + design.left), Scaled(origin.y + design.top),
                 Scaled(design.width), Scaled(design.height)});
    if (design.flags & kHidden) g.SetVisible(false);
    if (design.onClick.run) {
        const Handler handler = design.onClick.run;
        g.onClick = [this, handler](GraphicControl&) { (this->*handler)(); };
    }
    // Its container was made before it, in this same making.
    if (design.parent.IsSet()) c.container = &components_.at(design.parent.Value());
    windowless_.push_back(&g);
}

void Form::LoadWindowlessOnce() {
    if (windowlessLoaded_ || !HasComponents()) return;
    windowlessLoaded_ = true;
    for (GraphicControl* g : windowless_) g->Loaded();
}

void Form::SetCursorOf(Component& c, HCURSOR cursor) {
    c.cursor = cursor;
    if (c.graphic) c.graphic->SetCursor(cursor);
}

void Form::SendToBack(Component& c) {
    if (!c.graphic) {
        SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    // To the back of its container's components: just above the container.
    std::erase(windowless_, c.graphic.get());
    auto at = windowless_.begin();
    if (c.container && c.container->graphic) {
        at = std::ranges::find(windowless_, c.container->graphic.get());
        if (at != windowless_.end()) ++at;
    }
    windowless_.insert(at, c.graphic.get());
    c.graphic->Invalidate();
}

void Form::BringToFront(Component& c) {
    if (!c.graphic) {
        SetWindowPos(c.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    std::erase(windowless_, c.graphic.get());
    windowless_.push_back(c.graphic.get());
    c.graphic->Invalidate();
}

GraphicControl* Form::WindowlessAt(POINT client) {
    for (auto it = windowless_.rbegin(); it != windowless_.rend(); ++it)
        if ((*it)->Showing() && Contains(**it, client)) return *it;
    return nullptr;
}

void Form::EraseBackground(HDC dc) {
    const int saved = SaveDC(dc);
    // Opaque controls paint every pixel of their own: nothing behind them.
    for (GraphicControl* g : windowless_) {
        if (!g->Showing() || !g->OpaqueStyle()) continue;
        const RECT r = g->ParentRect();
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetClassLongPtrA(Handle(), GCLP_HBRBACKGROUND)));
    RestoreDC(dc, saved);
}

void Form::PaintWindowless(HDC dc) {
    LoadWindowlessOnce();
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return;
    // A control may change the order while it paints (none does today): walk a copy.
    const std::vector<GraphicControl*> order = windowless_;
    for (GraphicControl* g : order) {
        const RECT r = g->ParentRect();
        RECT overlap;
        if (!g->Showing() || !IntersectRect(&overlap, &r, &clip)) continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        Guarded([&] { g->PaintMessage(dc); });
        RestoreDC(dc, saved);
    }
}

bool Form::SetCursorAt(HWND window) {
    HCURSOR cursor = nullptr;
    if (window == Handle()) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(Handle(), &p);
        if (GraphicControl* g = WindowlessAt(p)) cursor = g->Cursor();
    } else {
        for (const Component& c : components_)
            if (c.hwnd && c.hwnd == window) cursor = c.cursor;
    }
    if (!cursor) return false;
    ::SetCursor(cursor);
    return true;
}

void Form::OnPaint(HDC given) {
    // With a device context: paint into it (a control's immediate repaint).
    if (given) {
        PaintWindowless(given);
        return;
    }
    const PaintScope paint(Handle());
    PaintWindowless(paint.dc());
}

bool Form::PressWindowless(POINT p, bool doubleClick) {
    GraphicControl* g = WindowlessAt(p);
    if (!g) return false;
    SetCapture(Handle());
    pressed_ = g;
    // The second press of a double click makes no second click.
    clickPending_ = !doubleClick;
    Guarded([&] { g->MouseDown(p.x - g->Left(), p.y - g->Top()); });
    return true;
}

bool Form::MoveOverWindowless(POINT p) {
    GraphicControl* g = pressed_ ? pressed_ : WindowlessAt(p);
    if (!g) return false;
    Guarded([&] { g->MouseMove(p.x - g->Left(), p.y - g->Top()); });
    return true;
}

bool Form::ReleaseWindowless(POINT p) {
    if (!pressed_) return false;
    GraphicControl* g = std::exchange(pressed_, nullptr);
    const bool click = clickPending_ && Contains(*g, p);
    ReleaseCapture();
    Guarded([&] { g->MouseUp(p.x - g->Left(), p.y - g->Top()); });
    if (click) Guarded([&] { g->Click(); });
    return true;
}

LRESULT Form::OnWindowlessMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT:
            OnPaint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (PressWindowless(PointOf(lParam), message == WM_LBUTTONDBLCLK)) return 0;
            break;
        case WM_MOUSEMOVE:
            if (MoveOverWindowless(PointOf(lParam))) return 0;
            break;
        case WM_LBUTTONUP:
            if (ReleaseWindowless(PointOf(lParam))) return 0;
            break;
        case WM_CAPTURECHANGED:
            pressed_ = nullptr;
            break;
        case WM_SETCURSOR:
            // A child window's default handling asks its parent first.
            if (LOWORD(lParam) == HTCLIENT && SetCursorAt(reinterpret_cast<HWND>(wParam)))
                return TRUE;
            break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace norvane
