// The layout snapshot of the main window and the arithmetic that rescales
// its controls from it. Lines are numbers separated by single blanks:
//   line 0:      client width, client height, "W/H Mainform1"
//   line 1 + i:  left width top height font-size name   (component i, a control)
//                "0"                                     (component i, anything else)
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norvane {

struct ControlLayout {
    int left, width, top, height, fontSize;
    friend bool operator==(const ControlLayout&, const ControlLayout&) = default;
};

inline constexpr std::string_view kNotAControlLine = "0";

std::string SnapshotHeader(int clientWidth, int clientHeight);
std::string SnapshotLine(const ControlLayout& layout, std::string_view name);

struct ScaleRatios {
    double width, height, font;  // font: the smaller of the two
};

// Ratios of the current client size to the one in the snapshot header.
ScaleRatios RatiosFor(std::string_view header, int clientWidth, int clientHeight);

// A control's line scaled by the ratios, each measure truncated toward zero;
// nothing for a line of one character ("0").
std::optional<ControlLayout> ScaleLine(std::string_view line, const ScaleRatios& ratios);

}  // namespace norvane
