#include "gif/lzw.h"

#include <array>
#include <cstring>
#include <memory>

#include "gif/gif_picture.h"

namespace norvane::gif {
namespace {

constexpr int kTableSize = 4096;
constexpr int kMaxStack = 4095;
constexpr int kOutOfData = -1;
constexpr int kEnd = -2;  // end code, or a broken table
// The longest string the fast path follows; longer ones take the exact path,
// which knows what to do near the 4096-entry stack.
constexpr int kFastMaxLength = 4000;

// Sub-blocks as the bit reader sees them: the current one behind the last
// two bytes of the one before. Bits outside the buffer read as 0.
class BitReader {
  public:
    explicit BitReader(ByteStream& stream) : stream_(stream) {
        const int size = ReadSubBlock(0);
        endOfData_ = blockFailed_;
        lastBit_ = 8 * size;
    }

    bool LastBlockFailed() const { return blockFailed_; }

    int Get(int codeSize) {
        while (bitPosition_ + codeSize > lastBit_) {  // a code may span several short sub-blocks
            if (endOfData_) return kOutOfData;
            const int lastByte = lastBit_ / 8;
            const std::uint8_t carry0 = At(lastByte - 2), carry1 = At(lastByte - 1);
            buffer_[kGuard] = carry0;
            buffer_[kGuard + 1] = carry1;
            const int size = ReadSubBlock(2);
            endOfData_ = blockFailed_;
            if (endOfData_) return kOutOfData;
            bitPosition_ = bitPosition_ - lastBit_ + 16;
            lastBit_ = 8 * (size + 2);
        }
        const int byte = bitPosition_ >> 3;
        std::uint32_t word;
        if (byte + 4 <= kBufferBytes) [[likely]] {
            std::memcpy(&word, &buffer_[kGuard + byte], 4);  // little-endian
        } else {
            word = At(byte) | (At(byte + 1) << 8) | (At(byte + 2) << 16);
        }
        const int code =
            static_cast<int>((word >> (bitPosition_ & 7)) & ((1u << codeSize) - 1) & 0xFFFFFF);
        bitPosition_ += codeSize;
        return code;
    }

    // After the end code: the rest of the data up to its terminator.
    void DiscardRest() {
        if (blockFailed_) return;
        while (!blockFailed_) ReadSubBlock(2);
    }

  private:
    static constexpr int kGuard = 2;  // bytes before position 0, always 0
    static constexpr int kBufferBytes = 2 + 255 + 5;

    std::uint8_t At(int byte) const {
        return byte >= -kGuard && byte < kBufferBytes ? buffer_[kGuard + byte] : 0;
    }

    // A lenient read of a size byte and that many bytes to `offset`.
    int ReadSubBlock(int offset) {
        std::uint8_t size = 0;
        stream_.Lenient(&size, 1);
        const std::size_t got = stream_.Lenient(&buffer_[kGuard + offset], size);
        blockFailed_ = size == 0 || got < size;
        return size;
    }

    ByteStream& stream_;
    std::array<std::uint8_t, kGuard + kBufferBytes> buffer_{};
    int bitPosition_ = 0;
    int lastBit_ = 0;
    bool endOfData_ = false;
    bool blockFailed_ = false;
};

struct Tables {
    std::uint16_t prefix[kTableSize];
    std::uint16_t suffix[kTableSize];
    std::uint32_t stack[kTableSize];
    // Fast path: where each entry's string was first written, and its length.
    struct String {
        std::uint32_t position;
        std::uint32_t length;
    } string[kTableSize];
};

// The code interpreter, one value at a time: a pixel value, kOutOfData, or
// kEnd. Its state is shared with the fast path.
struct Machine {
    Machine(BitReader& reader, Tables& tables, int minCodeSize)
        : bits(reader), t(tables), m(minCodeSize), clear(1 << minCodeSize), end(clear + 1) {
        for (int i = 0; i < clear; ++i) t.suffix[i] = static_cast<std::uint16_t>(i);
        Reset();
    }

    void Reset() {
        nextFree = clear + 2;
        codeSize = m + 1;
        sizeLimit = 2 * clear;
    }

    // The first code that is not the clear code; it opens the table.
    int First() {
        int code;
        do code = bits.Get(codeSize);
        while (code == clear);
        if (code >= 0) firstValue = previous = code;
        return code;
    }

    int Next() {
        if (depth > 0) return static_cast<int>(t.stack[--depth]);
        int code = bits.Get(codeSize);
        if (code < 0) return code;
        if (code == clear) {
            // The entries below the clear code keep their values: only
            // entries from clear + 2 on are ever written.
            depth = 0;
            Reset();
            do code = bits.Get(codeSize);
            while (code == clear);
            if (code >= 0) firstValue = previous = code;
            return code;
        }
        if (code == end) {
            bits.DiscardRest();
            return kEnd;
        }
        const int incoming = code;
        if (code >= nextFree) {
            t.stack[depth++] = static_cast<std::uint32_t>(firstValue);
            code = previous;
        }
        while (code >= clear) {
            t.stack[depth++] = t.suffix[code];
            if (depth > kMaxStack) return kEnd;
            if (t.prefix[code] == code) return kEnd;
            code = t.prefix[code];
        }
        firstValue = t.suffix[code];
        t.stack[depth++] = static_cast<std::uint32_t>(firstValue);
        AddEntry();
        previous = incoming;
        return static_cast<int>(t.stack[--depth]);
    }

    void AddEntry() {
        if (nextFree >= kTableSize) return;
        t.suffix[nextFree] = static_cast<std::uint16_t>(firstValue);
        t.prefix[nextFree] = static_cast<std::uint16_t>(previous);
        ++nextFree;
        if (nextFree >= sizeLimit && sizeLimit < kTableSize) {
            sizeLimit *= 2;
            ++codeSize;
        }
    }

    // Reads and interprets codes until one is negative, so that the stream
    // stands behind the data's terminator.
    void Drain() {
        while (Next() >= 0) {
        }
    }

    BitReader& bits;
    Tables& t;
    const int m, clear, end;
    int nextFree = 0, codeSize = 0, sizeLimit = 0;
    int firstValue = 0, previous = 0;
    int depth = 0;
};

// Image rows in the order the data holds them: top to bottom, or the four
// interlace passes (every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1).
class RowOrder {
  public:
    RowOrder(std::int32_t height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    std::int32_t Row() const { return row_; }
    bool Done() const { return done_; }
    void Advance() {
        if (!interlaced_) {
            done_ = ++row_ >= height_;
            return;
        }
        static constexpr std::int32_t kStep[] = {8, 8, 4, 2};
        static constexpr std::int32_t kStart[] = {0, 4, 2, 1};
        row_ += kStep[pass_];
        while (row_ >= height_) {
            if (++pass_ == 4) {
                done_ = true;
                return;
            }
            row_ = kStart[pass_];
        }
    }

  private:
    std::int32_t height_;
    bool interlaced_;
    std::int32_t row_ = 0;
    int pass_ = 0;
    bool done_ = false;
};

// One value at a time, with row progress: the path for every stream the fast
// path does not take, and the reference for what it must produce.
void DecodeExact(Machine& machine, const FrameArea& a, const std::function<void()>* rowProgress) {
    const std::size_t pixelStride = PixelStride(a.width), maskStride = MaskStride(a.width);
    const std::int32_t rowMask = a.width > 320 ? 31 : 63;
    RowOrder rows(a.height, a.interlaced);
    std::int32_t x = 0;
    int value = machine.First();
    while (value >= 0) {
        const auto bottomUp = static_cast<std::size_t>(a.height - 1 - rows.Row());
        a.pixels[bottomUp * pixelStride + static_cast<std::size_t>(x)] =
            static_cast<std::uint8_t>(value);
        if (a.transparent && static_cast<std::int16_t>(value) == a.transparentIndex)
            a.mask[bottomUp * maskStride + static_cast<std::size_t>(x / 8)] |=
                static_cast<std::uint8_t>(0x80 >> (x % 8));
        if (++x == a.width) {
            x = 0;
            if (rowProgress && (rows.Row() & rowMask) == 0) (*rowProgress)();
            rows.Advance();
            if (rows.Done()) break;
        }
        value = machine.Next();
    }
    if (value >= 0) machine.Drain();
    if (!a.transparent || rows.Done()) return;
    // The data gave out: what it did not reach is transparent.
    while (!rows.Done()) {
        const auto bottomUp = static_cast<std::size_t>(a.height - 1 - rows.Row());
        for (; x < a.width; ++x)
            a.mask[bottomUp * maskStride + static_cast<std::size_t>(x / 8)] |=
                static_cast<std::uint8_t>(0x80 >> (x % 8));
        x = 0;
        rows.Advance();
    }
}

// Copies a string of earlier output 8 bytes at a time. The bytes it needs
// all lie before `to`; what it writes beyond `length` is overwritten by the
// strings that follow (the output has kSlack spare bytes at its end).
constexpr std::size_t kSlack = 16;
inline void CopyString(std::uint8_t* to, const std::uint8_t* from, std::size_t length) {
    if (length <= 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, from, 8);
        std::memcpy(to, &chunk, 8);
        return;
    }
    std::memcpy(to, from, length);
}

// Whole strings per code, copied from where the same string was written
// before, into rows in data order. Takes streams of byte-sized values whose
// codes stay inside the table; anything else makes it give up (false), and
// the frame is decoded again by the exact path.
bool DecodeFast(Machine& mc, const FrameArea& a, std::uint8_t* out) {
    Tables& t = mc.t;
    const std::size_t total =
        static_cast<std::size_t>(a.width) * static_cast<std::size_t>(a.height);
    std::size_t done = 0;
    int last = mc.First();
    if (last >= mc.clear) return false;
    std::size_t previousAt = 0, previousLength = 1;
    if (last >= 0) {
        out[done++] = static_cast<std::uint8_t>(last);
        // The machine's state in locals: stores to `out` may alias anything.
        const int clear = mc.clear, end = mc.end;
        int nextFree = mc.nextFree, codeSize = mc.codeSize, sizeLimit = mc.sizeLimit;
        int previous = mc.previous;
        while (done < total) {
            int code = mc.bits.Get(codeSize);
            const std::size_t at = done;
            std::size_t length;
            if (code < clear) {
                if (code < 0) {
                    last = code;
                    break;
                }
                length = 1;
                out[done++] = static_cast<std::uint8_t>(code);
            } else if (code < nextFree && code > end) {
                const Tables::String string = t.string[code];
                length = string.length;
                CopyString(out + done, out + string.position, std::min(length, total - done));
                done = std::min(done + length, total);
            } else if (code == nextFree) {
                length = previousLength + 1;
                const std::size_t room = total - done;
                CopyString(out + done, out + previousAt, std::min(previousLength, room));
                if (previousLength < room) out[done + previousLength] = out[previousAt];
                done = std::min(done + length, total);
            } else if (code == clear) {
                nextFree = clear + 2;
                codeSize = mc.m + 1;
                sizeLimit = 2 * clear;
                do code = mc.bits.Get(codeSize);
                while (code == clear);
                if (code < 0) {
                    last = code;
                    break;
                }
                if (code >= clear) return false;
                previous = code;
                previousAt = done;
                previousLength = 1;
                out[done++] = static_cast<std::uint8_t>(code);
                continue;
            } else if (code == end) {
                mc.bits.DiscardRest();
                last = kEnd;
                break;
            } else {
                return false;
            }
            if (nextFree < kTableSize) {
                if (previousLength + 1 > kFastMaxLength) return false;
                t.string[nextFree] = {static_cast<std::uint32_t>(previousAt),
                                      static_cast<std::uint32_t>(previousLength + 1)};
                t.suffix[nextFree] = out[at];
                t.prefix[nextFree] = static_cast<std::uint16_t>(previous);
                if (++nextFree >= sizeLimit && sizeLimit < kTableSize) {
                    sizeLimit *= 2;
                    ++codeSize;
                }
            }
            previous = code;
            previousAt = at;
            previousLength = length;
            last = 0;
        }
        mc.nextFree = nextFree;
        mc.codeSize = codeSize;
        mc.sizeLimit = sizeLimit;
        mc.previous = previous;
    }
    if (last >= 0) {
        // Filled: the machine takes over to find the end of the data.
        mc.firstValue = out[previousAt];
        mc.Drain();
    }
    std::memset(out + done, 0, total - done);

    // Data order to bottom-up rows; what the data did not reach is transparent.
    const std::size_t width = static_cast<std::size_t>(a.width);
    const std::size_t pixelStride = PixelStride(a.width), maskStride = MaskStride(a.width);
    RowOrder rows(a.height, a.interlaced);
    for (std::size_t start = 0; start < total; start += width, rows.Advance()) {
        const auto bottomUp = static_cast<std::size_t>(a.height - 1 - rows.Row());
        std::memcpy(a.pixels + bottomUp * pixelStride, out + start, width);
        if (!a.transparent) continue;
        std::uint8_t* maskRow = a.mask + bottomUp * maskStride;
        for (std::size_t x = 0; x < width; ++x) {
            const bool clear = start + x >= done || out[start + x] == a.transparentIndex;
            maskRow[x / 8] |= static_cast<std::uint8_t>(clear << (7 - x % 8));
        }
    }
    return true;
}

}  // namespace

void DecodeLzwImage(ByteStream& stream, const FrameArea& area,
                    const std::function<void()>* rowProgress) {
    std::uint8_t minCodeSize = 0;
    stream.Lenient(&minCodeSize, 1);
    // Sizes from 12 on would put the clear code beyond the 4096-entry tables.
    if (minCodeSize >= 12) return;
    const std::size_t dataStart = stream.Position();
    auto tables = std::make_unique<Tables>();

    if (!rowProgress && minCodeSize <= 8) {
        const std::size_t total =
            static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height);
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[total + kSlack]);
        BitReader reader(stream);
        Machine machine(reader, *tables, minCodeSize);
        if (DecodeFast(machine, area, out.get())) return;
        stream.Seek(dataStart);
        *tables = {};
    }
    BitReader reader(stream);
    Machine machine(reader, *tables, minCodeSize);
    DecodeExact(machine, area, rowProgress);
}

}  // namespace norvane::gif
