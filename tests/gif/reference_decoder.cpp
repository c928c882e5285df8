#include "gif/reference_decoder.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace norvane::gif::reference {
namespace {

struct ReadFailure {};
struct SilentAbort {};

struct Stream {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;

    std::size_t Left() const { return bytes.size() - position; }
    void StrictRead(std::uint8_t* target, std::size_t n) {
        if (Left() < n) throw ReadFailure{};
        for (std::size_t i = 0; i < n; ++i) target[i] = bytes[position++];
    }
    std::size_t LenientRead(std::uint8_t* target, std::size_t n) {
        std::size_t i = 0;
        for (; i < n && position < bytes.size(); ++i) target[i] = bytes[position++];
        return i;
    }
};

class Decoder {
  public:
    Decoder(std::span<const std::uint8_t> data, const DecodeOptions& options) : options(options) {
        work.bytes = data;
    }

    std::optional<Picture> ParseGifData() {
        // A: ClearFrames and the record.
        std::memset(record, 0, sizeof record);
        if (work.bytes.empty()) return std::nullopt;
        try {
            return Parse();
        } catch (const ReadFailure&) {
            return std::nullopt;
        } catch (const SilentAbort&) {
            return std::nullopt;
        }
    }

  private:
    std::optional<Picture> Parse() {
        std::uint8_t signature[6];
        work.StrictRead(signature, 6);
        if (signature[0] != 'G' || signature[1] != 'I' || signature[2] != 'F') return std::nullopt;
        picture.version = signature[4] == '9' ? Version::GIF89a : Version::GIF87a;
        std::uint8_t screen[7];
        work.StrictRead(screen, 7);
        if (screen[4] & 0x80) {
            picture.globalBits = (screen[4] & 7) + 1;
            work.StrictRead(picture.globalColorTable.data(), 3 * (1u << picture.globalBits));
        } else {
            picture.globalColorTable.fill(0);
        }
        std::uint8_t introducer = 0, label = 0;
        while (work.position < work.bytes.size() && keepOnProcessing) {
            Progress();
            std::uint8_t two[2] = {introducer, label};
            work.LenientRead(two, 2);
            introducer = two[0];
            label = two[1];
            if (introducer == 0x21) {
                if (label == 0xF9) {
                    work.LenientRead(record, 6);
                } else if (label == 0xFE) {
                    std::uint8_t size = 0;
                    work.LenientRead(&size, 1);
                    try {
                        while (size != 0) {
                            std::uint8_t data[256];
                            work.StrictRead(data, size);
                            work.StrictRead(&size, 1);
                        }
                    } catch (const ReadFailure&) {
                    }
                } else if (label == 0xFF) {
                    std::uint8_t b = 0, s = 0;
                    std::uint8_t identifier[256] = {};
                    work.LenientRead(&b, 1);
                    work.LenientRead(identifier, b);
                    work.LenientRead(&s, 1);
                    if (std::memcmp(identifier, "NETSCAPE", 8) == 0 &&
                        std::memcmp(identifier + 8, "2.0", 3) == 0) {
                        std::uint8_t sub[256] = {};
                        work.LenientRead(sub, s);
                        picture.loopCount = sub[1] | (sub[2] << 8);
                        work.LenientRead(&s, 1);
                    }
                    SkipSubBlocks(s);
                } else if (label == 0x01) {
                    std::uint8_t b = 0, s = 0;
                    std::uint8_t text[256];
                    work.LenientRead(&b, 1);
                    work.LenientRead(text, b);
                    work.LenientRead(&s, 1);
                    SkipSubBlocks(s);
                }
            } else if (introducer == 0x2C) {
                work.position -= 2;
                if (picture.frames.size() == 256) break;
                Frame frame;
                bool read;
                try {
                    read = ReadGifFrame(frame);
                } catch (const ReadFailure&) {
                    break;
                } catch (const SilentAbort&) {
                    break;
                } catch (const std::bad_alloc&) {
                    break;
                }
                if (!read) {
                    work.position = work.bytes.size();
                    Progress();
                    return std::nullopt;
                }
                if (frame.localBits > picture.globalBits) picture.globalBits = frame.localBits;
                picture.hasTransparency = picture.hasTransparency || frame.transparent;
                picture.frames.push_back(std::move(frame));
                if (options.firstImageOnly) {
                    work.position = work.bytes.size();
                    break;
                }
                std::memset(record, 0, sizeof record);
            } else if (introducer == 0x3B) {
                break;
            }
        }
        Progress();
        picture.logicalWidth = screen[0] | (screen[1] << 8);
        picture.logicalHeight = screen[2] | (screen[3] << 8);
        for (const Frame& f : picture.frames) {
            if (f.left + f.width > picture.logicalWidth) picture.logicalWidth = f.left + f.width;
            if (f.top + f.height > picture.logicalHeight) picture.logicalHeight = f.top + f.height;
        }
        if (picture.frames.empty()) return std::nullopt;
        return std::move(picture);
    }

    void SkipSubBlocks(std::uint8_t s) {
        std::uint8_t data[256];
        while (s != 0 && work.position < work.bytes.size()) {
            work.LenientRead(data, s);
            work.LenientRead(&s, 1);
        }
    }

    void Progress() {
        if (!options.onProgress) return;
        const std::size_t position = work.position, size = work.bytes.size();
        const long long scaled = 100LL * static_cast<long long>(position);
        const int percent = static_cast<int>((2 * scaled + static_cast<long long>(size)) /
                                             (2 * static_cast<long long>(size)));
        options.onProgress({position, size, percent}, keepOnProcessing);
        if (!keepOnProcessing) throw SilentAbort{};
    }

    bool ReadGifFrame(Frame& frame) {
        std::uint8_t d[10];
        work.StrictRead(d, 10);
        frame.left = d[1] | (d[2] << 8);
        frame.top = d[3] | (d[4] << 8);
        frame.width = d[5] | (d[6] << 8);
        frame.height = d[7] | (d[8] << 8);
        if (d[0] != ',' || frame.width == 0 || frame.height == 0) return false;
        if (frame.width > 16384 || frame.height > 16384) throw SilentAbort{};
        if (d[9] & 0x80) {
            frame.hasLocalTable = true;
            frame.localBits = (d[9] & 7) + 1;
            frame.colorTable.fill(0);
            work.LenientRead(frame.colorTable.data(), 3 * (1u << frame.localBits));
        } else {
            frame.hasLocalTable = false;
            frame.colorTable = picture.globalColorTable;
            frame.localBits = 0;
        }
        frame.interlaced = (d[9] >> 6) & 1;
        const std::uint8_t p = record[1];
        frame.disposal = (p >> 2) & 7;
        if (frame.disposal >= 4) frame.disposal = 2;
        frame.delay = (record[2] | (record[3] << 8)) * 10;
        frame.transparent = p & 1;
        frame.transparentIndex = record[4];

        const std::size_t pixels =
            static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
        if (pixels > options.pixelBudget - used) throw std::bad_alloc();
        used += pixels;
        std::vector<std::uint8_t> pixelStream, maskStream;
        DecodeLzwImage(frame, pixelStream, frame.transparent ? &maskStream : nullptr);
        const int c = 1 << (frame.hasLocalTable ? frame.localBits : picture.globalBits);
        frame.colorCount = c;
        const std::size_t imageSize = ((static_cast<std::size_t>(frame.width) + 3) / 4 * 4) *
                                      static_cast<std::size_t>(frame.height);
        frame.pixels.assign(imageSize, 0);
        if (!pixelStream.empty())
            std::memcpy(frame.pixels.data(), pixelStream.data(),
                        std::min(imageSize, pixelStream.size()));
        if (frame.transparent) {
            const std::size_t maskSize = ((static_cast<std::size_t>(frame.width) + 31) / 32 * 4) *
                                         static_cast<std::size_t>(frame.height);
            frame.mask.assign(maskSize, 0);
            if (!maskStream.empty())
                std::memcpy(frame.mask.data(), maskStream.data(),
                            std::min(maskSize, maskStream.size()));
        }
        return true;
    }

    // D: the LZW image, one value per call.
    struct Lzw {
        Stream* s;
        std::unique_ptr<std::uint16_t[]> suffix{new std::uint16_t[4096]()};
        std::unique_ptr<std::uint16_t[]> prefix{new std::uint16_t[4096]()};
        std::unique_ptr<std::uint32_t[]> stack{new std::uint32_t[4096]()};
        int sp = 0;
        int m = 0, clearCode = 0, endCode = 0, nextFree = 0, codeSize = 0, sizeLimit = 0;
        int firstValue = 0, previousCode = 0;
        // Bit reader: the buffer has two bytes in front of position 0 and
        // reads as 0 outside.
        std::uint8_t buffer[2 + 261] = {};
        int bitPosition = 0, lastBit = 0;
        bool endOfData = false, blockFailed = false;

        std::uint8_t Byte(int i) const { return (i >= -2 && i < 261) ? buffer[i + 2] : 0; }

        int ReadBlock(int offset) {
            std::uint8_t size = 0;
            s->LenientRead(&size, 1);
            std::uint8_t data[256];
            const std::size_t got = s->LenientRead(data, size);
            for (std::size_t i = 0; i < got; ++i)
                buffer[2 + offset + static_cast<int>(i)] = data[i];
            blockFailed = size == 0 || got < size;
            return size;
        }

        int GetCode() {
            while (bitPosition + codeSize > lastBit) {  // a code may span several short sub-blocks
                if (endOfData) return -1;
                const std::uint8_t a = Byte(lastBit / 8 - 2), b = Byte(lastBit / 8 - 1);
                buffer[2] = a;
                buffer[3] = b;
                const int size = ReadBlock(2);
                endOfData = blockFailed;
                if (endOfData) return -1;
                bitPosition = bitPosition - lastBit + 16;
                lastBit = 8 * (size + 2);
            }
            int code = 0;
            for (int k = 0; k < codeSize; ++k) {
                const int bit = bitPosition + k;
                if ((Byte(bit / 8) >> (bit % 8)) & 1) code |= 1 << k;
            }
            bitPosition += codeSize;
            return code;
        }

        int Interpret() {
            if (sp > 0) return static_cast<int>(stack[--sp]);
            int code = GetCode();
            if (code < 0) return code;
            if (code == clearCode) {
                for (int i = 0; i < clearCode; ++i) suffix[i] = static_cast<std::uint16_t>(i);
                sp = 0;
                codeSize = m + 1;
                sizeLimit = 2 * clearCode;
                nextFree = clearCode + 2;
                // A clear code right behind a clear code is one more clear.
                do code = GetCode();
                while (code == clearCode);
                if (code >= 0) firstValue = previousCode = code;
                return code;
            }
            if (code == endCode) {
                if (blockFailed) return -2;
                do ReadBlock(2);
                while (!blockFailed);
                return -2;
            }
            const int incoming = code;
            if (code >= nextFree) {
                stack[sp++] = static_cast<std::uint32_t>(firstValue);
                code = previousCode;
            }
            while (code >= clearCode) {
                stack[sp++] = suffix[code];
                if (sp > 4095) return -2;
                if (prefix[code] == code) return -2;
                code = prefix[code];
            }
            firstValue = suffix[code];
            stack[sp++] = static_cast<std::uint32_t>(firstValue);
            if (nextFree < 4096) {
                suffix[nextFree] = static_cast<std::uint16_t>(firstValue);
                prefix[nextFree] = static_cast<std::uint16_t>(previousCode);
                ++nextFree;
                if (nextFree >= sizeLimit && sizeLimit < 4096) {
                    sizeLimit *= 2;
                    ++codeSize;
                }
            }
            previousCode = incoming;
            return static_cast<int>(stack[--sp]);
        }
    };

    void DecodeLzwImage(Frame& frame, std::vector<std::uint8_t>& pixelStream,
                        std::vector<std::uint8_t>* maskStream) {
        std::uint8_t m = 0;
        work.LenientRead(&m, 1);
        if (m > 11) return;  // 12 to 15 would not fit the tables: as above 15
        Lzw lzw;
        lzw.s = &work;
        lzw.m = m;
        lzw.clearCode = 1 << m;
        lzw.endCode = lzw.clearCode + 1;
        for (int i = 0; i < lzw.clearCode; ++i) lzw.suffix[i] = static_cast<std::uint16_t>(i);
        lzw.nextFree = lzw.clearCode + 2;
        lzw.codeSize = m + 1;
        lzw.sizeLimit = 2 * lzw.clearCode;

        const int w = frame.width, h = frame.height;
        const std::size_t stride = (static_cast<std::size_t>(w) + 3) / 4 * 4;
        const std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
        std::vector<std::uint8_t> area(stride * static_cast<std::size_t>(h), 0);
        std::vector<std::uint8_t> maskArea(
            maskStream ? maskStride * static_cast<std::size_t>(h) : 0, 0);
        const bool progress = options.onProgress && static_cast<long long>(w) * h > 100000;
        const int rowMask = w > 320 ? 31 : 63;

        lzw.lastBit = 8 * lzw.ReadBlock(0);
        lzw.endOfData = lzw.blockFailed;
        lzw.bitPosition = 0;

        int r = 0, x = 0, pass = 1;
        long long pixelsDone = 0;
        bool finished = false;
        auto nextRow = [&] {
            if (!frame.interlaced) {
                ++r;
            } else {
                r += pass <= 2 ? 8 : (pass == 3 ? 4 : 2);
                while (r >= h && pass < 4) {
                    ++pass;
                    r = pass == 2 ? 4 : (pass == 3 ? 2 : 1);
                }
                if (r >= h) finished = true;
            }
            if (r >= h) finished = true;
        };
        auto place = [&](int v) {
            const std::size_t row = static_cast<std::size_t>(h - 1 - r);
            area[row * stride + static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v & 0xFF);
            if (maskStream && v == frame.transparentIndex)
                maskArea[row * maskStride + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(1 << (7 - x % 8));
            ++pixelsDone;
            ++x;
            if (x == w) {
                x = 0;
                if (progress && (r & rowMask) == 0 && r < h) Progress();
                nextRow();
            }
        };

        int code;
        do code = lzw.GetCode();
        while (code == lzw.clearCode);
        int value = code;
        if (value >= 0) {
            lzw.firstValue = lzw.previousCode = value;
            place(static_cast<std::int16_t>(value));
            while (!finished) {
                value = lzw.Interpret();
                if (value < 0) break;
                place(static_cast<std::int16_t>(value));
            }
        }
        if (value >= 0) {
            while (lzw.Interpret() >= 0) {
            }
        }
        if (maskStream && pixelsDone < static_cast<long long>(w) * h) {
            while (!finished) {
                const std::size_t row = static_cast<std::size_t>(h - 1 - r);
                maskArea[row * maskStride + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(1 << (7 - x % 8));
                ++x;
                if (x == w) {
                    x = 0;
                    nextRow();
                }
            }
        }
        pixelStream = std::move(area);
        if (maskStream) *maskStream = std::move(maskArea);
    }

    Stream work;
    const DecodeOptions& options;
    Picture picture;
    std::uint8_t record[6] = {};
    bool keepOnProcessing = true;
    std::size_t used = 0;
};

}  // namespace

std::optional<Picture> Decode(std::span<const std::uint8_t> data, const DecodeOptions& options) {
    return Decoder(data, options).ParseGifData();
}

}  // namespace norvane::gif::reference
