#include "inspector/gif_first_frame.h"

#include <algorithm>
#include <new>
#include <string>

#include "gif/gif_decoder.h"

namespace norvane {

DecodedPicture DecodeGifFirstFrame(std::span<const std::uint8_t> bytes, std::uint64_t mostPixels) {
    DecodedPicture decoded;
    mostPixels = std::min(mostPixels, kMostPreviewPixels);
    gif::DecodeOptions options;
    options.firstImageOnly = true;
    options.pixelBudget = static_cast<std::size_t>(mostPixels);
    const auto picture = gif::DecodeGif(bytes, options);
    if (!picture || picture->frames.empty()) {
        decoded.failure = "the GIF decoder found no image in it";
        return decoded;
    }
    const gif::Frame& frame = picture->frames.front();
    const auto width = static_cast<std::uint32_t>(picture->logicalWidth);
    const auto height = static_cast<std::uint32_t>(picture->logicalHeight);
    decoded.failure = SizeRefusal(width, height);
    if (decoded.failure.empty() && std::uint64_t{width} * height > mostPixels)
        decoded.failure = "its frame grows its screen to " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels, more than " +
                          std::to_string(mostPixels) + " pixels";
    if (!decoded.failure.empty()) return decoded;
    try {
        decoded.dib = AlphaDib(width, height);
    } catch (const std::bad_alloc&) {
        decoded.failure = "there is not enough memory for its pixels";
        return decoded;
    }
    decoded.width = width;
    decoded.height = height;
    decoded.bitsPerPixel =
        static_cast<unsigned>(frame.hasLocalTable ? frame.localBits : picture->globalBits);
    // The frame's rows are stored bottom-up; the DIB's run from the top.
    const std::size_t stride = gif::PixelStride(frame.width);
    for (std::int32_t row = 0; row < frame.height; ++row) {
        const std::uint8_t* source =
            frame.pixels.data() + static_cast<std::size_t>(frame.height - 1 - row) * stride;
        std::uint8_t* out = decoded.dib.data() + kAlphaDibHeaderBytes +
                            (static_cast<std::size_t>(frame.top + row) * width +
                             static_cast<std::size_t>(frame.left)) *
                                4;
        for (std::int32_t column = 0; column < frame.width; ++column, out += 4) {
            const std::uint8_t index = source[column];
            if (frame.transparent && index == frame.transparentIndex) continue;  // stays clear
            const std::uint8_t* rgb = frame.colorTable.data() + std::size_t{index} * 3;
            out[0] = rgb[2];
            out[1] = rgb[1];
            out[2] = rgb[0];
            out[3] = 0xFF;
        }
    }
    return decoded;
}

}  // namespace norvane
