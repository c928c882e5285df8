// The GIF decoder against the reference decoder, byte for byte, on any input;
// and every decoded frame's rows within the picture's canvas and its buffers
// exactly as large as its rows, counted here without wrapping.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "checked_sum.h"
#include "gif/gif_decoder.h"
#include "gif/reference_decoder.h"

namespace {

using norvane::fuzz::Check;
using norvane::fuzz::Product;
using norvane::fuzz::Sum;

void CheckFramesWithinCanvas(const norvane::gif::Picture& picture) {
    for (const auto& frame : picture.frames) {
        Check(frame.left >= 0 && frame.top >= 0 && frame.width > 0 && frame.height > 0);
        Check(Sum({std::uint64_t(frame.left), std::uint64_t(frame.width)}) <=
                  std::uint64_t(picture.logicalWidth) &&
              Sum({std::uint64_t(frame.top), std::uint64_t(frame.height)}) <=
                  std::uint64_t(picture.logicalHeight));
        const std::uint64_t width = std::uint64_t(frame.width), rows = std::uint64_t(frame.height);
        Check(frame.pixels.size() == Product((width + 3) / 4 * 4, rows));
        Check(frame.mask.empty() || frame.mask.size() == Product((width + 31) / 32 * 4, rows));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    norvane::gif::DecodeOptions options;
    // Past a few rows the decoding does not change with the area, and this
    // build's small limits send frames of over a thousand pixels down the
    // large frames' paths; larger budgets only cost time.
    options.pixelBudget = 1 << 14;
    for (bool firstOnly : {false, true}) {
        options.firstImageOnly = firstOnly;
        const auto decoded = norvane::gif::DecodeGif(bytes, options);
        Check(decoded == norvane::gif::reference::Decode(bytes, options));
        if (decoded) CheckFramesWithinCanvas(*decoded);
    }
    return 0;
}
