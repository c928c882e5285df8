// Decoding of one image's LZW data: the fast path where it takes the
// stream, else the exact path.
#include "gif/lzw.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

#include "gif/gif_picture.h"
#include "gif/lzw_paths.h"

namespace norvane::gif {

LzwWorkspace::LzwWorkspace() = default;
LzwWorkspace::~LzwWorkspace() = default;

LzwWorkspace::Buffers& LzwWorkspace::Get() {
    if (!buffers_) buffers_.reset(new Buffers);
    return *buffers_;
}

void DecodeLzwImage(ByteStream& stream, const FrameArea& area,
                    const std::function<void()>* rowProgress, LzwWorkspace& workspace) {
    std::uint8_t minCodeSize = 0;
    stream.Lenient(&minCodeSize, 1);
    // Sizes from 12 on would put the clear code beyond the 4096-entry tables.
    if (minCodeSize >= 12) return;
    const std::size_t dataStart = stream.Position();
    LzwWorkspace::Buffers& tables = workspace.Get();

    if (!rowProgress && minCodeSize <= 8) {
        if (lzw_detail::DecodeFast(stream, tables, minCodeSize, area)) return;
        // Given up: from the start again, one value at a time.
        stream.Seek(dataStart);
        std::memset(area.pixels, 0,
                    PixelStride(area.width) * static_cast<std::size_t>(area.height));
    }
    lzw_detail::DecodeExact(stream, tables.Exact(), minCodeSize, area, rowProgress);
}

}  // namespace norvane::gif
