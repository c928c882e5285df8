#include "app/layout_scaling.h"

#include "util/text_fields.h"

namespace norvane {

std::string SnapshotHeader(int clientWidth, int clientHeight) {
    return std::to_string(clientWidth) + ' ' + std::to_string(clientHeight) + " W/H Mainform1";
}

std::string SnapshotLine(const ControlLayout& c, std::string_view name) {
    std::string line;
    for (int value : {c.left, c.width, c.top, c.height, c.fontSize})
        line.append(std::to_string(value)).push_back(' ');
    return line.append(name);
}

ScaleRatios RatiosFor(std::string_view header, int clientWidth, int clientHeight) {
    const double referenceWidth = ExtractNumberField(header, " ", 1);
    const double referenceHeight = ExtractNumberField(header, " ", 2);
    const double heightRatio = clientHeight / referenceHeight;
    const double widthRatio = clientWidth / referenceWidth;
    return {widthRatio, heightRatio, heightRatio >= widthRatio ? widthRatio : heightRatio};
}

std::optional<ControlLayout> ScaleLine(std::string_view line, const ScaleRatios& r) {
    if (line.size() <= 1) return std::nullopt;
    auto field = [&](int n, double ratio) {
        return static_cast<int>(ExtractNumberField(line, " ", n) * ratio);  // truncates toward zero
    };
    return ControlLayout{field(1, r.width), field(2, r.width), field(3, r.height),
                         field(4, r.height), field(5, r.font)};
}

}  // namespace norvane
