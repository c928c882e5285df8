// The exact path: the code interpreter one value at a time, pixels written
// in the data's row order.
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>

#include "gif/gif_picture.h"
#include "gif/lzw_paths.h"

namespace norvane::gif::lzw_detail {
namespace {

constexpr int kMaxStack = 4095;

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

// The code interpreter, one value at a time: a pixel value, kOutOfData, or
// kEnd.
struct Machine {
    Machine(BitReader& reader, ExactTables& tables, int minCodeSize)
        : bits(reader), t(tables), m(minCodeSize), clear(1 << minCodeSize), end(clear + 1) {
        Reset();
    }

    // Tables as a fresh decode has them: 0 but for the literals.
    void ClearTables() {
        std::memset(t.prefix, 0, sizeof t.prefix);
        std::memset(t.suffix, 0, sizeof t.suffix);
        for (int i = 0; i < clear; ++i) t.suffix[i] = static_cast<std::uint16_t>(i);
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
        return Interpret(bits.Get(codeSize));
    }

    int Interpret(int code) {
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
    ExactTables& t;
    const int m, clear, end;
    int nextFree = 0, codeSize = 0, sizeLimit = 0;
    int firstValue = 0, previous = 0;
    int depth = 0;
};

// The machine's values into the rows in data order, with row progress.
void DecodeValues(Machine& machine, const FrameArea& a, const std::function<void()>* rowProgress) {
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

}  // namespace

void DecodeExact(ByteStream& stream, ExactTables& tables, int minCodeSize, const FrameArea& a,
                 const std::function<void()>* rowProgress) {
    BitReader reader(stream);
    Machine machine(reader, tables, minCodeSize);
    machine.ClearTables();
    DecodeValues(machine, a, rowProgress);
}

}  // namespace norvane::gif::lzw_detail
