// Small GIF pictures for the control's tests, in four colours: 0 red,
// 1 green, 2 blue, 3 white (the transparent index where one is used).
#pragma once

#include <cstdint>
#include <vector>

#include "gif/gif_builder.h"

namespace norvane::gif::testing {

inline std::vector<std::uint8_t> InFourColours(GifBuilder& builder) {
    std::vector<std::uint8_t> bytes = builder.Trailer().Bytes();
    // The global table follows the 13-byte header and screen descriptor.
    const std::uint8_t colours[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    for (int i = 0; i < 12; ++i) bytes[13 + i] = colours[i];
    return bytes;
}

inline std::vector<int> Solid(int colour, int count) {
    return std::vector<int>(static_cast<std::size_t>(count), colour);
}

// Three opaque 4x4 frames, red, green, blue, each `delay` centiseconds.
inline std::vector<std::uint8_t> ThreeFrames(int loops, int delay = 10) {
    GifBuilder b("GIF89a", 4, 4, 2);
    b.Netscape(loops);
    for (int colour = 0; colour < 3; ++colour)
        b.GraphicControl(0, delay, false, 0).ImageFromPixels({}, Solid(colour, 16));
    return InFourColours(b);
}

// An opaque red frame restored to the background, then a transparent one
// with a blue centre.
inline std::vector<std::uint8_t> OpaqueThenHoles() {
    GifBuilder b("GIF89a", 4, 4, 2);
    b.GraphicControl(2, 10, false, 0).ImageFromPixels({}, Solid(0, 16));
    b.GraphicControl(0, 10, true, 3)
        .ImageFromPixels({}, {3, 3, 3, 3, 3, 2, 2, 3, 3, 2, 2, 3, 3, 3, 3, 3});
    return InFourColours(b);
}

// A partly transparent first frame left in place, a frame restored to what
// lay under it, and one restored to the background.
inline std::vector<std::uint8_t> RestoreToPrevious() {
    GifBuilder b("GIF89a", 4, 4, 2);
    b.GraphicControl(1, 10, true, 3)
        .ImageFromPixels({}, {0, 0, 0, 3, 0, 0, 3, 3, 0, 3, 3, 3, 3, 3, 3, 3});
    b.GraphicControl(3, 10, true, 3)
        .ImageFromPixels({.left = 1, .top = 1, .width = 2, .height = 2}, {1, 3, 1, 1});
    b.GraphicControl(2, 10, true, 3)
        .ImageFromPixels({.left = 2, .top = 2, .width = 2, .height = 2}, {2, 3, 3, 2});
    b.GraphicControl(0, 10, false, 0)
        .ImageFromPixels({.left = 0, .top = 3, .width = 2, .height = 1}, {1, 2});
    return InFourColours(b);
}

// One 8x8 frame: red, green / blue, transparent quadrants.
inline std::vector<std::uint8_t> Quadrants() {
    std::vector<int> pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pixels.push_back((y < 4 ? 0 : 2) + (x < 4 ? 0 : 1));
    GifBuilder b("GIF89a", 8, 8, 2);
    b.GraphicControl(0, 0, true, 3).ImageFromPixels({.width = 8, .height = 8}, pixels);
    return InFourColours(b);
}

}  // namespace norvane::gif::testing
