// Decoding of one image's LZW data into its pixel rows and mask.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "gif/byte_stream.h"

namespace norvane::gif {

struct FrameArea {
    std::int32_t width, height;
    bool interlaced;
    bool transparent;
    std::uint8_t transparentIndex;
    std::uint8_t* pixels;  // height rows of PixelStride(width), bottom-up, zero-filled
    std::uint8_t* mask;    // height rows of MaskStride(width), bottom-up, zero-filled; or null
};

// The code tables and buffers the frames of one picture share, so that no
// frame allocates or clears them again; made on first use.
class LzwWorkspace {
  public:
    LzwWorkspace();
    ~LzwWorkspace();
    LzwWorkspace(const LzwWorkspace&) = delete;
    LzwWorkspace& operator=(const LzwWorkspace&) = delete;

    struct Buffers;
    Buffers& Get();

  private:
    std::unique_ptr<Buffers> buffers_;
};

// Reads the minimum code size and the image data behind it, and leaves the
// stream behind the data's terminator (or wherever the data gave out). A
// code size of 12 or more decodes nothing and reads nothing more. Pixels
// the data does not reach stay 0 and, in a transparent frame, transparent.
// `rowProgress`, when set, is called every 32 rows (frames wider than 320
// pixels) or 64 rows and may throw Abort.
void DecodeLzwImage(ByteStream& stream, const FrameArea& area,
                    const std::function<void()>* rowProgress, LzwWorkspace& workspace);

}  // namespace norvane::gif
