#include "gif/gif_builder.h"

#include <unordered_map>

namespace norvane::gif::testing {

GifBuilder::GifBuilder(const char* signature, int width, int height, int globalBits) {
    bytes_.assign(signature, signature + 6);
    Put16(width);
    Put16(height);
    bytes_.push_back(static_cast<std::uint8_t>(globalBits ? 0x80 | (globalBits - 1) : 0));
    bytes_.push_back(0);
    bytes_.push_back(0);
    for (int i = 0; globalBits && i < (1 << globalBits); ++i) {
        bytes_.push_back(static_cast<std::uint8_t>(i * 10));
        bytes_.push_back(static_cast<std::uint8_t>(i * 20));
        bytes_.push_back(static_cast<std::uint8_t>(i * 30));
    }
}

void GifBuilder::Put16(int value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

GifBuilder& GifBuilder::GraphicControl(int disposal, int delay, bool transparent, int index) {
    Raw({0x21, 0xF9, 4, static_cast<std::uint8_t>((disposal << 2) | (transparent ? 1 : 0))});
    Put16(delay);
    return Raw({static_cast<std::uint8_t>(index), 0});
}

GifBuilder& GifBuilder::Netscape(int loops) {
    return Application("NETSCAPE2.0", {1, static_cast<std::uint8_t>(loops & 0xFF),
                                       static_cast<std::uint8_t>(loops >> 8)});
}

GifBuilder& GifBuilder::Application(const std::string& identifier,
                                    const std::vector<std::uint8_t>& data) {
    Raw({0x21, 0xFF, static_cast<std::uint8_t>(identifier.size())});
    bytes_.insert(bytes_.end(), identifier.begin(), identifier.end());
    bytes_.push_back(static_cast<std::uint8_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return Raw({0});
}

GifBuilder& GifBuilder::Comment(const std::string& text) {
    Raw({0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return Raw({0});
}

GifBuilder& GifBuilder::Raw(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

void GifBuilder::Descriptor(const Image& image) {
    bytes_.push_back(0x2C);
    Put16(image.left);
    Put16(image.top);
    Put16(image.width);
    Put16(image.height);
    std::uint8_t packed = image.interlaced ? 0x40 : 0;
    if (image.localBits) packed |= static_cast<std::uint8_t>(0x80 | (image.localBits - 1));
    bytes_.push_back(packed);
    for (int i = 0; image.localBits && i < (1 << image.localBits); ++i) {
        bytes_.push_back(static_cast<std::uint8_t>(255 - i));
        bytes_.push_back(static_cast<std::uint8_t>(i));
        bytes_.push_back(static_cast<std::uint8_t>(128));
    }
}

void GifBuilder::Data(const Image& image, const std::vector<std::uint8_t>& packed) {
    bytes_.push_back(static_cast<std::uint8_t>(image.minCodeSize));
    for (std::size_t at = 0; at < packed.size(); at += static_cast<std::size_t>(image.blockSize)) {
        const std::size_t size =
            std::min(packed.size() - at, static_cast<std::size_t>(image.blockSize));
        bytes_.push_back(static_cast<std::uint8_t>(size));
        bytes_.insert(bytes_.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                      packed.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    bytes_.push_back(0);
}

std::vector<std::uint8_t> PackCodes(int m, const std::vector<int>& codes) {
    const int clear = 1 << m;
    int size = m + 1, nextFree = clear + 2, limit = 2 * clear;
    bool first = true;  // the first code after a clear adds no entry
    std::vector<std::uint8_t> out;
    std::uint32_t accumulator = 0;
    int bits = 0;
    for (int code : codes) {
        accumulator |= static_cast<std::uint32_t>(code) << bits;
        bits += size;
        while (bits >= 8) {
            out.push_back(static_cast<std::uint8_t>(accumulator));
            accumulator >>= 8;
            bits -= 8;
        }
        if (code == clear) {
            size = m + 1;
            nextFree = clear + 2;
            limit = 2 * clear;
            first = true;
        } else if (first) {
            first = false;
        } else if (nextFree < 4096) {
            ++nextFree;
            if (nextFree >= limit && limit < 4096) {
                limit *= 2;
                ++size;
            }
        }
    }
    if (bits > 0) out.push_back(static_cast<std::uint8_t>(accumulator));
    return out;
}

GifBuilder& GifBuilder::ImageFromCodes(const Image& image, const std::vector<int>& codes) {
    Descriptor(image);
    Data(image, PackCodes(image.minCodeSize, codes));
    return *this;
}

GifBuilder& GifBuilder::ImageFromPixels(const Image& image, const std::vector<int>& pixels) {
    const int clear = 1 << image.minCodeSize;
    // Literals only: restart the table before it would reach the next code size.
    const int perRun = (2 * clear) - (clear + 2);
    std::vector<int> codes{clear};
    int sinceClear = 0;
    for (int p : pixels) {
        if (sinceClear == perRun) {
            codes.push_back(clear);
            sinceClear = 0;
        }
        codes.push_back(p);
        ++sinceClear;
    }
    codes.push_back(clear + 1);
    return ImageFromCodes(image, codes);
}

std::vector<int> LzwCodes(int m, const std::vector<int>& pixels, const GifBuilder::Lzw& options) {
    const int clear = 1 << m;
    std::vector<int> codes{clear};
    // (prefix code, pixel value) to the code of that string.
    std::unordered_map<std::uint32_t, int> table;
    int next = clear + 2;
    int string = -1;  // the code of the longest match so far, or none
    auto restart = [&] {
        table.clear();
        next = clear + 2;
        string = -1;
    };
    std::size_t clears = 0;
    for (std::size_t i = 0; i <= pixels.size(); ++i) {
        if (clears < options.clearsBefore.size() && options.clearsBefore[clears] == i) {
            if (string >= 0) codes.push_back(string);
            for (; clears < options.clearsBefore.size() && options.clearsBefore[clears] == i;
                 ++clears)
                codes.push_back(clear);
            restart();
        }
        if (i == pixels.size()) break;
        const int pixel = pixels[i];
        if (string < 0) {
            string = pixel;
            continue;
        }
        const std::uint32_t key =
            static_cast<std::uint32_t>(string) << 12 | static_cast<std::uint32_t>(pixel);
        if (const auto found = table.find(key); found != table.end()) {
            string = found->second;
            continue;
        }
        codes.push_back(string);
        string = pixel;
        if (next == 4096) continue;  // full: the table stays as it is
        table.emplace(key, next++);
        if (next == 4096 && options.clearWhenFull) {
            codes.push_back(clear);
            table.clear();
            next = clear + 2;
        }
    }
    if (string >= 0) codes.push_back(string);
    if (options.endCode) codes.push_back(clear + 1);
    return codes;
}

GifBuilder& GifBuilder::ImageFromLzw(const Image& image, const std::vector<int>& pixels,
                                     const Lzw& options) {
    return ImageFromCodes(image, LzwCodes(image.minCodeSize, pixels, options));
}

GifBuilder& GifBuilder::Trailer() {
    return Raw({0x3B});
}

}  // namespace norvane::gif::testing
