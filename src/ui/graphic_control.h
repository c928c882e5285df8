// A windowless control: it has no window of its own. Its parent window keeps
// it in the z-order of its other windowless children, paints it into its own
// device context, and hit-tests it for mouse events and the cursor.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace norvane {

class MessageDialog;

struct Bounds {
    int left, top, width, height;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

class GraphicControl {
  public:
    using Event = std::function<void(GraphicControl& sender)>;
    // Mouse positions are in the control's own coordinates.
    using MouseEvent = std::function<void(GraphicControl& sender, int x, int y)>;

    GraphicControl() = default;
    GraphicControl(const GraphicControl&) = delete;
    GraphicControl& operator=(const GraphicControl&) = delete;
    virtual ~GraphicControl() = default;

    // The window that paints and hit-tests this control; none until placed.
    HWND Parent() const { return parent_; }
    void SetParent(HWND parent) { parent_ = parent; }

    // Relative to the parent's client area.
    const Bounds& BoundsRect() const { return bounds_; }
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.width; }
    int Height() const { return bounds_.height; }
    RECT ParentRect() const;  // the bounds as a rectangle of the parent's client area
    RECT ClientRect() const { return {0, 0, bounds_.width, bounds_.height}; }
    // Moves and resizes, repainting what was and what is now covered.
    virtual void SetBounds(const Bounds& bounds);

    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    // The visibility the parent goes by when it paints and hit-tests.
    bool Showing() const { return visible_; }

    // An opaque control covers its whole rectangle: the parent paints no
    // background behind it.
    bool OpaqueStyle() const { return opaque_; }
    void SetOpaqueStyle(bool opaque) { opaque_ = opaque; }

    HCURSOR Cursor() const { return cursor_; }  // none: the parent's
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }

    Event onClick;
    MouseEvent onMouseDown, onMouseUp, onMouseMove;

    // Draws the control; the device context's origin is the control's top-left.
    virtual void Paint(HDC dc) = 0;
    // What the parent calls to have the control painted; a control that
    // does more on a paint than drawing itself overrides it.
    virtual void PaintMessage(HDC dc) { Paint(dc); }
    // Asks the parent to repaint the control's rectangle later.
    void Invalidate();
    // Repaints the control now.
    virtual void Repaint();
    // Called by the parent once all of its components exist.
    virtual void Loaded() {}

    virtual void Click();
    virtual void MouseDown(int x, int y);
    virtual void MouseUp(int x, int y);
    virtual void MouseMove(int x, int y);

  private:
    HWND parent_ = nullptr;
    Bounds bounds_{0, 0, 0, 0};
    bool visible_ = true;
    bool opaque_ = false;
    HCURSOR cursor_ = nullptr;
};

// Makes the control of a layout entry of kind Graphic. Each kind of
// windowless control brings its own maker, so the form layer needs to know
// none of them.
class GraphicMaker {
  public:
    // `messages` takes the errors the control raises later (while it
    // animates, say); `data` is the entry's bytes (its "Data" property).
    virtual std::unique_ptr<GraphicControl> Make(MessageDialog& messages,
                                                 std::span<const std::uint8_t> data) const = 0;

  protected:
    ~GraphicMaker() = default;
};

}  // namespace norvane
