// The windowless frames of the form layer: a group box (etched frame with an
// optional caption) and a bevel (raised frame).
#pragma once

#include <string>

#include "ui/graphic_control.h"

namespace norvane {

class GroupBoxControl : public GraphicControl {
  public:
    // `font` is borrowed: the form keeps it for the component's lifetime.
    GroupBoxControl(std::string caption, HFONT font) : caption_(std::move(caption)), font_(font) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    void Paint(HDC dc) override;

  private:
    std::string caption_;
    HFONT font_;
};

class BevelControl : public GraphicControl {
  public:
    void Paint(HDC dc) override;
};

}  // namespace norvane
