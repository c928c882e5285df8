// The GIF decoder against the reference decoder, byte for byte, on any input.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "gif/gif_decoder.h"
#include "gif/reference_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    norvane::gif::DecodeOptions options;
    // Past a few rows the decoding does not change with the area, and this
    // build's small limits send frames of over a thousand pixels down the
    // large frames' paths; larger budgets only cost time.
    options.pixelBudget = 1 << 14;
    for (bool firstOnly : {false, true}) {
        options.firstImageOnly = firstOnly;
        if (norvane::gif::DecodeGif(bytes, options) !=
            norvane::gif::reference::Decode(bytes, options))
            std::abort();
    }
    return 0;
}
