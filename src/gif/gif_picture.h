// A decoded GIF picture: its frames as 8-bit DIB rows (bottom-up, rows
// padded to 4 bytes) with 1-bit masks for transparent frames, and the facts
// that concern the whole picture.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace norvane::gif {

enum class Version { GIF87a, GIF89a };

using ColorTable = std::array<std::uint8_t, 768>;  // 256 x red, green, blue

inline std::size_t PixelStride(std::int32_t width) {
    return (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
}
inline std::size_t MaskStride(std::int32_t width) {
    return (static_cast<std::size_t>(width) + 31) / 32 * 4;
}

struct Frame {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    int localBits = 0;          // local colour table size exponent 1..8; 0 without one
    std::int32_t delay = 0;     // milliseconds
    std::uint8_t disposal = 0;  // 0 none, 1 leave, 2 background, 3 previous
    bool hasLocalTable = false;
    bool interlaced = false;
    bool transparent = false;
    std::uint8_t transparentIndex = 0;
    ColorTable colorTable{};           // the frame's own table or a copy of the global one
    int colorCount = 1;                // entries in the frame's bitmap palette
    std::vector<std::uint8_t> pixels;  // height rows of PixelStride(width), bottom-up
    std::vector<std::uint8_t>
        mask;  // transparent frames: height rows of MaskStride(width), 1 = transparent

    friend bool operator==(const Frame&, const Frame&) = default;
};

struct Picture {
    Version version = Version::GIF87a;
    std::int32_t logicalWidth = 0, logicalHeight = 0;  // grown to cover every frame
    std::int32_t loopCount = 1;
    bool hasTransparency = false;
    ColorTable globalColorTable{};
    int globalBits = 0;  // largest colour table exponent seen
    std::vector<Frame> frames;

    friend bool operator==(const Picture&, const Picture&) = default;
};

inline constexpr std::size_t kMaxFrames = 256;
inline constexpr std::int32_t kMaxFrameSide = 16384;

struct Progress {
    std::size_t bytesProcessed, bytesToProcess;
    int percentageProcessed;
};

struct DecodeOptions {
    bool firstImageOnly = false;
    // Called once per block and, for frames over 100000 pixels, every 32 or
    // 64 rows; clearing `keepOnProcessing` aborts.
    std::function<void(const Progress&, bool& keepOnProcessing)> onProgress;
    // Pixels (frame areas) all frames together may take; a frame beyond it
    // is dropped as one whose memory cannot be had.
    std::size_t pixelBudget = SIZE_MAX;
};

}  // namespace norvane::gif
