#include "ui/graphic_control.h"

namespace norvane {

RECT GraphicControl::ParentRect() const {
    return {bounds_.left, bounds_.top, bounds_.left + bounds_.width, bounds_.top + bounds_.height};
}

void GraphicControl::SetBounds(const Bounds& bounds) {
    if (bounds == bounds_) return;
    Invalidate();
    bounds_ = bounds;
    Invalidate();
}

void GraphicControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Invalidate();
}

void GraphicControl::Invalidate() {
    if (!parent_) return;
    const RECT r = ParentRect();
    InvalidateRect(parent_, &r, TRUE);
}

void GraphicControl::Repaint() {
    Invalidate();
    if (parent_) UpdateWindow(parent_);
}

void GraphicControl::Click() {
    if (onClick) onClick(*this);
}

void GraphicControl::MouseDown(int x, int y) {
    if (onMouseDown) onMouseDown(*this, x, y);
}

void GraphicControl::MouseUp(int x, int y) {
    if (onMouseUp) onMouseUp(*this, x, y);
}

void GraphicControl::MouseMove(int x, int y) {
    if (onMouseMove) onMouseMove(*this, x, y);
}

}  // namespace norvane
