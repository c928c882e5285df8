// gifdump FILE: loads a GIF as Norvane does and prints the picture and its
// frames, one line each. Exit status 0 loaded, 1 load failed, 2 unreadable.
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "gif/gif_decoder.h"

namespace {

unsigned long Crc(const std::vector<std::uint8_t>& bytes) {
    return crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gifdump FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "gifdump: cannot read %s\n", argv[1]);
        return 2;
    }
    const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in), {}};
    const auto picture = norvane::gif::DecodeGif(data);
    if (!picture) {
        std::printf("picture ok=0\n");
        return 1;
    }
    std::printf("picture ok=1 version=%s width=%d height=%d loops=%d frames=%zu transparency=%d\n",
                picture->version == norvane::gif::Version::GIF89a ? "89a" : "87a",
                picture->logicalWidth, picture->logicalHeight, picture->loopCount,
                picture->frames.size(), picture->hasTransparency ? 1 : 0);
    int number = 0;
    for (const auto& f : picture->frames) {
        std::printf(
            "frame %d left=%d top=%d width=%d height=%d delay=%d disposal=%d transparent=%d "
            "index=%d interlaced=%d localbits=%d pixels=%08lx ",
            ++number, f.left, f.top, f.width, f.height, f.delay, f.disposal, f.transparent ? 1 : 0,
            f.transparentIndex, f.interlaced ? 1 : 0, f.localBits, Crc(f.pixels));
        if (f.transparent)
            std::printf("mask=%08lx\n", Crc(f.mask));
        else
            std::printf("mask=none\n");
    }
    return 0;
}
