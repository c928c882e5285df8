// The GIF decoder against the reference decoder, byte for byte, on any input.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "gif/gif_decoder.h"
#include "gif/reference_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    norvane::gif::DecodeOptions options;
    options.pixelBudget = 1 << 22;  // keeps many huge frames from exhausting memory
    for (bool firstOnly : {false, true}) {
        options.firstImageOnly = firstOnly;
        if (norvane::gif::DecodeGif(bytes, options) !=
            norvane::gif::reference::Decode(bytes, options))
            std::abort();
    }
    return 0;
}
