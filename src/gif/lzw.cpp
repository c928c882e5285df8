#include "gif/lzw.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gif/gif_picture.h"

namespace norvane::gif {
namespace {

constexpr int kTableSize = 4096;
constexpr std::size_t kMaxCodeBits = 12;  // codes of a 4096-entry table
constexpr int kMaxStack = 4095;
constexpr int kOutOfData = -1;
constexpr int kEnd = -2;  // end code, or a broken table
// The longest string the fast path follows; longer ones take the exact path,
// which knows what to do near the 4096-entry stack.
constexpr int kFastMaxLength = 4000;

// How much image data the fast path gathers at once, and up to how many
// pixels a frame is decoded as one line (see DecodeFast). The fuzzing build
// makes both small, so that small inputs take the paths of long data and
// large frames too.
#if defined(NORVANE_GIF_SMALL_LIMITS)
constexpr std::size_t kGatherBytes = 600;
constexpr std::size_t kLineMaxPixels = 1000;
#else
constexpr std::size_t kGatherBytes = 4096;
constexpr std::size_t kLineMaxPixels = 1 << 18;
#endif

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

// Sub-blocks as the fast path reads them: payloads gathered into one
// buffer of up to kChunk bytes and read through a 64-bit load per code. It
// sees exactly the bits the BitReader sees: the data of every complete
// sub-block up to the first that fails (size 0 or cut short), where a first
// sub-block cut short counts with zeros for its missing bytes.
class PackedBits {
  public:
    static constexpr std::size_t kChunk = kGatherBytes;
    static constexpr std::size_t kSlack = 8;

    PackedBits(ByteStream& stream, std::uint8_t* buffer)
        : stream_(stream), start_(stream.Position()), buffer_(buffer) {
        Gather(true);
    }

    int Get(int codeSize) { return Get(codeSize, bit_, endBit_); }

    // The fast path keeps the buffer, the bit position and the end in
    // registers.
    [[gnu::always_inline]] int Get(int codeSize, std::size_t& bit, std::size_t& endBit) {
        return Get(buffer_, codeSize, bit, endBit);
    }
    [[gnu::always_inline]] int Get(const std::uint8_t* buffer, int codeSize, std::size_t& bit,
                                   std::size_t& endBit) {
        if (bit + static_cast<std::size_t>(codeSize) > endBit) [[unlikely]] {
            bit_ = bit;
            const int code = GetSlow(codeSize);
            bit = bit_;
            endBit = endBit_;
            return code;
        }
        std::uint64_t word;
        std::memcpy(&word, buffer + (bit >> 3), 8);  // little-endian
        const int code = static_cast<int>((word >> (bit & 7)) & ((1u << codeSize) - 1));
        bit += static_cast<std::size_t>(codeSize);
        return code;
    }
    const std::uint8_t* Buffer() const { return buffer_; }
    std::size_t& Bit() { return bit_; }
    std::size_t EndBit() const { return endBit_; }

  private:
    // The buffer ran short: more sub-blocks, or the data is out.
    [[gnu::noinline]] int GetSlow(int codeSize) {
        Refill();
        if (bit_ + static_cast<std::size_t>(codeSize) > endBit_) {
            outOfData_ = true;
            return kOutOfData;
        }
        return Get(codeSize, bit_, endBit_);
    }

  public:
    // After the end code: the rest of the data up to its terminator.
    void DiscardRest() {
        discarded_ = true;
        while (!failed_) Skip();
    }

    // Leaves the stream where the BitReader would have: behind the failed
    // sub-block once the data ran out or was discarded (where gathering
    // has left it), else behind the sub-block that holds the last bit read.
    void Settle() {
        if (discarded_ || outOfData_) return;
        const std::uint64_t used = dropped_ * 8 + bit_;
        stream_.Seek(start_);
        std::uint64_t seen = 0;
        do {
            std::uint8_t size = 0;
            stream_.Lenient(&size, 1);
            stream_.Skip(size);
            seen += 8u * size;
            if (size == 0) break;
        } while (seen < used);
    }

  private:
    // Reads the next sub-block's payload behind the buffered bytes.
    void Gather(bool first) {
        while (!failed_ && have_ + 255 <= kChunk) {
            std::uint8_t size = 0;
            stream_.Lenient(&size, 1);
            const std::size_t got = stream_.Lenient(buffer_ + have_, size);
            if (size == 0 || got < size) {
                failed_ = true;
                if (!first || size == 0) break;
                std::memset(buffer_ + have_ + got, 0, size - got);
            }
            have_ += size;
            first = false;
        }
        std::memset(buffer_ + have_, 0, kSlack);
        endBit_ = 8 * have_;
    }

    void Skip() {
        std::uint8_t size = 0;
        stream_.Lenient(&size, 1);
        failed_ = size == 0 || stream_.Remaining() < size;
        stream_.Skip(size);
    }

    void Refill() {
        if (failed_) return;
        const std::size_t keep = bit_ >> 3;
        std::memmove(buffer_, buffer_ + keep, have_ - keep);
        dropped_ += keep;
        have_ -= keep;
        bit_ &= 7;
        Gather(false);
    }

    ByteStream& stream_;
    const std::size_t start_;
    std::uint8_t* buffer_;
    std::size_t have_ = 0, bit_ = 0, endBit_ = 0;
    std::uint64_t dropped_ = 0;  // bytes moved out of the buffer's front
    bool failed_ = false, discarded_ = false, outOfData_ = false;
};

// The exact path's tables.
struct ExactTables {
    std::uint16_t prefix[kTableSize];
    std::uint16_t suffix[kTableSize];
    std::uint32_t stack[kTableSize];
};

// The fast path's string table entries: where a code's string was written,
// its length and, for strings in rows, its first 8 bytes.
//
// Small frames are decoded as one line (see DecodeFast) that begins with
// the 256 byte values: every string, literals included, lies whole at its
// offset, so its first 8 bytes are read back from there and an entry takes
// 4 bytes. The table then stays in the processor's level-1 cache.
class LineString {
  public:
    static constexpr std::size_t kLongest = (1u << 13) - 1;
    static constexpr std::uint32_t kOffsetBits = 19;

    static LineString Make(std::uint64_t /*bytes*/, std::uint32_t offset, std::size_t length) {
        LineString s;
        s.packed_ = static_cast<std::uint32_t>(length) << kOffsetBits | offset;
        return s;
    }
    static LineString Literal(int value) { return Make(0, static_cast<std::uint32_t>(value), 1); }

    std::size_t Length() const { return packed_ >> kOffsetBits; }
    std::uint32_t Offset() const { return packed_ & ((1u << kOffsetBits) - 1); }
    std::uint64_t First8(const std::uint8_t* line) const {
        std::uint64_t bytes;
        std::memcpy(&bytes, line + Offset(), 8);  // little-endian; bytes beyond the string too
        return bytes;
    }

  private:
    std::uint32_t packed_;
};

// Large frames are decoded straight into their rows, where a string may go
// on in another row: an entry keeps its first 8 bytes.
class RowString {
  public:
    static constexpr std::size_t kLongest = 0xFFFF;

    static RowString Make(std::uint64_t bytes, std::uint32_t offset, std::size_t length) {
        RowString s;
        s.bytes_ = bytes;
        s.offset_ = offset;
        s.length_ = static_cast<std::uint16_t>(length);
        return s;
    }
    static RowString Literal(int value) { return Make(static_cast<std::uint64_t>(value), 0, 1); }

    std::size_t Length() const { return length_; }
    std::uint32_t Offset() const { return offset_; }
    std::uint64_t First8(const std::uint8_t*) const { return bytes_; }

  private:
    std::uint64_t bytes_;
    std::uint32_t offset_;
    std::uint16_t length_;
};

template <typename Entry>
struct StringTable {
    Entry entry[kTableSize + 1];
    int literalsFor = -1;  // the clear code the literals below it are written for
};

// Where the line begins in its buffer, behind the 256 byte values (and room
// to read 8 bytes from the last).
constexpr std::size_t kLineStart = 256 + 8;
static_assert(kLineStart + kLineMaxPixels < (1u << LineString::kOffsetBits));

}  // namespace

// Every table is written before it is read.
struct LzwWorkspace::Buffers {
    StringTable<LineString> lineStrings;
    std::unique_ptr<StringTable<RowString>> rowStrings;  // made for the first large frame
    std::unique_ptr<ExactTables> exact;                  // made when the exact path first runs
    std::uint8_t packed[PackedBits::kChunk + PackedBits::kSlack];
    std::vector<std::uint32_t> rowOffset;  // data row to its offset in the rows
    std::vector<std::uint8_t> line;        // the byte values, then a small frame's pixels

    StringTable<RowString>& RowStrings() {
        if (!rowStrings) rowStrings.reset(new StringTable<RowString>);
        return *rowStrings;
    }
    ExactTables& Exact() {
        if (!exact) exact.reset(new ExactTables);
        return *exact;
    }
};

LzwWorkspace::LzwWorkspace() = default;
LzwWorkspace::~LzwWorkspace() = default;

LzwWorkspace::Buffers& LzwWorkspace::Get() {
    if (!buffers_) buffers_.reset(new Buffers);
    return *buffers_;
}

namespace {

using Tables = LzwWorkspace::Buffers;

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

// Copies `count` bytes from where they were written before, 16 at a time:
// `to` has room for up to 15 more (the strings that follow overwrite
// them). The source ends at or before `to`, so each piece reads only bytes
// already in place, or bytes whose copies land beyond `count`.
[[gnu::always_inline]] inline void CopyEarlier(std::uint8_t* to, const std::uint8_t* from,
                                               std::size_t count) {
    for (std::size_t i = 0; i < count; i += 16) {
        std::uint64_t low, high;
        std::memcpy(&low, from + i, 8);
        std::memcpy(&high, from + i + 8, 8);
        std::memcpy(to + i, &low, 8);
        std::memcpy(to + i + 8, &high, 8);
    }
}

// Copies a string written before, within one row. Short strings go 8 or
// 16 bytes at once where the row has room for the bytes beyond them (the
// strings that follow overwrite those).
inline void CopyInRow(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                      std::size_t room, std::size_t readable) {
    std::uint64_t low;
    if (count <= 8 && room >= 8 && readable >= 8) {
        std::memcpy(&low, from, 8);
        std::memcpy(to, &low, 8);
    } else if (count <= 16 && room >= 16 && readable >= 16) {
        CopyEarlier(to, from, count);
    } else {
        std::memcpy(to, from, count);
    }
}

// Mask bits (first pixel in the highest bit) of eight pixels: set where the
// pixel is the transparent index.
inline std::uint8_t TransparentBits(const std::uint8_t* pixels, std::uint64_t index8) {
    std::uint64_t eight;
    std::memcpy(&eight, pixels, 8);
    const std::uint64_t v = eight ^ index8;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kHigh = 0x8080808080808080ull;
    const std::uint64_t zero = ~(((v & kLow7) + kLow7) | v) & kHigh;  // 0x80 in each 0 byte
    return static_cast<std::uint8_t>(((zero >> 7) * 0x8040201008040201ull) >> 56);
}

// Each byte with its bits in reverse order: the first pixel goes to the
// highest bit of a mask byte.
constexpr std::array<std::uint8_t, 256> kReversedBits = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i)
        for (unsigned b = 0; b < 8; ++b)
            if (i & (1u << b)) table[i] |= static_cast<std::uint8_t>(0x80u >> b);
    return table;
}();

// The top `count` bits (0 to 8) of a mask byte.
inline unsigned TopBits(std::size_t count) {
    return (0xFF00u >> count) & 0xFF;
}

// The mask of a frame the fast path decoded: transparent where a pixel is
// the transparent index, and where the data did not reach (the first
// `done` pixels in data order were decoded). Bits beyond the width stay 0.
void BuildMask(const FrameArea& a, const std::vector<std::uint32_t>& rowOffset, std::size_t done) {
    const std::size_t w = static_cast<std::size_t>(a.width), h = static_cast<std::size_t>(a.height);
    const std::size_t stride = PixelStride(a.width), maskStride = MaskStride(a.width);
    const std::size_t size = stride * h;
    const std::uint64_t index8 = a.transparentIndex * 0x0101010101010101ull;
    for (std::size_t k = 0; k < h; ++k) {
        const std::uint8_t* line = a.pixels + rowOffset[k];
        std::uint8_t* maskLine = a.mask + rowOffset[k] / stride * maskStride;
        const std::size_t decoded = k < done / w ? w : k == done / w ? done % w : 0;
        std::size_t x = 0;
#if defined(__SSE2__)
        const __m128i index16 = _mm_set1_epi8(static_cast<char>(a.transparentIndex));
        for (; x + 16 <= decoded; x += 16) {
            const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
            const auto bits =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, index16)));
            maskLine[x / 8] = kReversedBits[bits & 0xFF];
            maskLine[x / 8 + 1] = kReversedBits[bits >> 8];
        }
#endif
        for (; x + 8 <= decoded; x += 8) maskLine[x / 8] = TransparentBits(line + x, index8);
        for (; x < w; x += 8) {
            // The last few pixels of the row, or those the data did not reach.
            unsigned bits = 0;
            if (rowOffset[k] + x + 8 <= size) {
                bits = TransparentBits(line + x, index8);
            } else {
                for (std::size_t i = 0; i < 8 && x + i < w; ++i)
                    if (line[x + i] == a.transparentIndex) bits |= 0x80u >> i;
            }
            const unsigned reached =
                TopBits(decoded > x ? std::min<std::size_t>(decoded - x, 8) : 0);
            maskLine[x / 8] = static_cast<std::uint8_t>(((bits & reached) | (~reached & 0xFF)) &
                                                        TopBits(std::min<std::size_t>(w - x, 8)));
        }
    }
}

// Where the fast path's pixels are: data rows to offsets in the rows and
// back.
struct RowMap {
    const FrameArea& a;
    const std::uint32_t* rowOffset;
    std::size_t w, stride;

    // The data row that holds the pixel at `offset` in the rows.
    std::size_t DataRowOf(std::uint32_t offset) const {
        const std::size_t h = static_cast<std::size_t>(a.height);
        const std::size_t r = h - 1 - offset / stride;
        std::size_t k = r;
        if (a.interlaced) {
            const std::size_t pass1 = (h + 7) / 8, pass2 = (h + 3) / 8, pass3 = (h + 1) / 4;
            k = r % 8 == 0   ? r / 8
                : r % 8 == 4 ? pass1 + r / 8
                : r % 4 == 2 ? pass1 + pass2 + r / 4
                             : pass1 + pass2 + pass3 + r / 2;
        }
        return k;
    }
    // Copies `count` pixels written before at offset `from` to `to` in
    // data row `toRow`, a piece of a row at a time, for strings that cross
    // a row end. Returns where the pixel behind them goes (the end of the
    // last row, if none does).
    std::uint8_t* Copy(std::uint8_t* to, std::size_t toRow, std::uint32_t from,
                       std::size_t count) const {
        std::uint8_t* const pixels = a.pixels;
        const std::size_t h = static_cast<std::size_t>(a.height);
        std::uint8_t* toEnd = pixels + rowOffset[toRow] + w;
        std::size_t fromRow = DataRowOf(from);
        const std::uint8_t* source = pixels + from;
        const std::uint8_t* sourceEnd = pixels + rowOffset[fromRow] + w;
        while (true) {
            if (to == toEnd && toRow + 1 < h) {
                to = pixels + rowOffset[++toRow];
                toEnd = to + w;
            }
            if (count == 0) return to;
            if (source == sourceEnd) {
                source = pixels + rowOffset[++fromRow];
                sourceEnd = source + w;
            }
            const std::size_t n = std::min({count, static_cast<std::size_t>(toEnd - to),
                                            static_cast<std::size_t>(sourceEnd - source)});
            std::memcpy(to, source, n);
            to += n;
            source += n;
            count -= n;
        }
    }
};

// The fast path's string table below clear + 2: each literal as a string of
// one byte, and the clear and end codes as strings too long for the short
// string loop, so that one look-up tells it every code it takes. Entries
// from clear + 2 on are always written before they are read.
template <typename Entry>
StringTable<Entry>& StringsFor(Tables& t) {
    if constexpr (std::is_same_v<Entry, LineString>)
        return t.lineStrings;
    else
        return t.RowStrings();
}

template <typename Entry>
void PrepareLiterals(StringTable<Entry>& t, int clear) {
    if (t.literalsFor == clear) return;
    for (int i = 0; i < clear; ++i) t.entry[i] = Entry::Literal(i);
    t.entry[clear] = t.entry[clear + 1] = Entry::Make(0, 0, Entry::kLongest);
    t.literalsFor = clear;
}

// The fast path's step when nextFree reaches sizeLimit: a longer code, or,
// once the table is full, nextFree kept at the spare entry behind it.
inline void GrowCode(int& nextFree, int& codeSize, int& sizeLimit) {
    if (nextFree < kTableSize) {
        ++codeSize;
        sizeLimit *= 2;
    } else {
        nextFree = kTableSize;
        sizeLimit = kTableSize;
    }
}

// The first 8 bytes of a string of `length` (below 8) bytes followed by
// its own first byte. Bytes read back from the line are followed by others.
inline std::uint64_t WithFirstByte(std::uint64_t bytes, std::size_t length) {
    const std::uint64_t string = bytes & ((std::uint64_t{1} << (8 * length)) - 1);
    return string | (bytes & 0xFF) << (8 * length);
}

// The fast path's state as the short string loop takes and leaves it.
struct ShortRun {
    std::uint8_t* out;
    std::size_t bit;
    int nextFree, codeSize, sizeLimit;
    std::uint32_t previousOffset;
    std::size_t previousLength;
    std::uint64_t previousBytes;
};

// Decodes codes while their strings are short (8 bytes at most), at least 8
// bytes stay before the row end and the code's bits are buffered; stops at
// anything else, with the code unread. `kLong`: the rows are one line, and
// longer strings are copied here too while the line has room for them.
template <bool kLong, typename Entry>
[[gnu::always_inline]] inline void ShortStrings(ShortRun& run, const std::uint8_t* const rowEnd,
                                                const std::size_t endBit, Entry* const string,
                                                const std::uint8_t* const packed,
                                                std::uint8_t* const pixels) {
    std::uint8_t* out = run.out;
    std::size_t bit = run.bit;
    int nextFree = run.nextFree, codeSize = run.codeSize, sizeLimit = run.sizeLimit;
    std::uint32_t previousOffset = run.previousOffset;
    std::size_t previousLength = run.previousLength;
    std::uint64_t previousBytes = run.previousBytes;
    // Room for 8 bytes, and the bits of the longest code (the last few
    // codes in the buffer go the long way).
    const std::uint8_t* const shortEnd = rowEnd - 8;
    const std::size_t bitEnd = endBit >= kMaxCodeBits ? endBit - (kMaxCodeBits - 1) : 0;
    unsigned codeMask = (1u << codeSize) - 1;
    // Where the next byte of the previous string goes in its first 8 (64:
    // nowhere), shifted in two steps so that 64 stays defined.
    std::size_t previousShift = 8 * std::min<std::size_t>(previousLength, 8);
    while (out <= shortEnd && bit < bitEnd) {
        std::uint64_t word;
        std::memcpy(&word, packed + (bit >> 3), 8);
        const int code = static_cast<int>((word >> (bit & 7)) & codeMask);
        std::size_t length;
        std::uint64_t bytes;
        if (code < nextFree) {
            // Literals too; the clear and end codes count as long.
            const Entry s = string[code];
            length = s.Length();
            if (length > 8) {
                if (!kLong || length >= kFastMaxLength || out + length + 7 > shortEnd) break;
                CopyEarlier(out, pixels + s.Offset(), length);
            }
            bytes = s.First8(pixels);
        } else if (code == nextFree && previousLength < 8) {
            length = previousLength + 1;
            bytes = WithFirstByte(previousBytes, previousLength);
        } else if (kLong && code == nextFree && previousLength + 16 <= kFastMaxLength &&
                   out + previousLength + 8 <= shortEnd) {
            // The previous string and its own first byte.
            length = previousLength + 1;
            bytes = previousBytes;
            CopyEarlier(out, pixels + previousOffset, previousLength);
            out[previousLength] = static_cast<std::uint8_t>(bytes);
        } else {
            break;
        }
        bit += static_cast<std::size_t>(codeSize);
        // Little-endian; the rest is overwritten later (of a long string:
        // its first 8 bytes again).
        std::memcpy(out, &bytes, 8);
        string[nextFree] = Entry::Make(previousBytes | (bytes & 0xFF) << (previousShift - 1) << 1,
                                       previousOffset, previousLength + 1);
        if (++nextFree >= sizeLimit) [[unlikely]] {
            GrowCode(nextFree, codeSize, sizeLimit);
            codeMask = (1u << codeSize) - 1;
        }
        previousOffset = static_cast<std::uint32_t>(out - pixels);
        previousLength = length;
        previousShift = kLong ? 8 * std::min<std::size_t>(length, 8) : 8 * length;
        previousBytes = bytes;
        out += length;
    }
    run = {out, bit, nextFree, codeSize, sizeLimit, previousOffset, previousLength, previousBytes};
}

// Row offsets in data order: top to bottom, or the interlace passes.
void FillRowOffsets(std::vector<std::uint32_t>& rowOffset, const FrameArea& a) {
    const std::size_t h = static_cast<std::size_t>(a.height), stride = PixelStride(a.width);
    rowOffset.resize(h);
    RowOrder rows(a.height, a.interlaced);
    for (std::size_t k = 0; k < h; ++k, rows.Advance())
        rowOffset[k] =
            static_cast<std::uint32_t>((h - 1 - static_cast<std::size_t>(rows.Row())) * stride);
}

constexpr std::size_t kGaveUp = static_cast<std::size_t>(-1);

// Whole strings per code, copied from where the same string was written
// before, straight into the rows of `a` (whose data-order offsets are
// `rowOffset`). Takes streams of byte-sized values whose codes stay inside
// the table; anything else makes it give up (kGaveUp), and the frame is
// decoded again by the exact path. `kOneLine`: `a` is a single row that
// begins at `rowOffset[0]` behind the 256 byte values.
//
// Its steps are inlined into one loop whose state stays in registers.
template <bool kOneLine>
class StringDecoder {
  public:
    StringDecoder(PackedBits& bits, Tables& t, int m, const FrameArea& a,
                  const std::uint32_t* const rowOffset)
        : bits_(bits),
          table_(StringsFor<Entry>(t)),
          a_(a),
          rowOffset_(rowOffset),
          map_{a, rowOffset, w_, stride_},
          m_(m) {}

    // How many pixels, in data order, the data reached; the rest are 0.
    std::size_t Decode() {
        int last;
        do last = bits_.Get(codeSize_);
        while (last == clear_);
        if (last >= clear_) return kGaveUp;
        if (last < 0) return 0;
        bit_ = bits_.Bit();
        endBit_ = bits_.EndBit();
        PrepareLiterals(table_, clear_);
        out_ = pixels_ + rowOffset_[0];
        rowEnd_ = out_ + w_;
        StartWith(last);
        while (left_ > 0) {
            if (rowEnd_ - out_ >= 8) ShortRunOn();
            if (out_ == rowEnd_) {
                Advance(0);
                continue;
            }
            const Step step = TakeCode(bits_.Get(packed_, codeSize_, bit_, endBit_), last);
            if (step == Step::kGiveUp) return kGaveUp;
            if (step == Step::kStop) break;
        }
        bits_.Bit() = bit_;
        return Finish(last);
    }

  private:
    using Entry = std::conditional_t<kOneLine, LineString, RowString>;
    enum class Step { kGoOn, kStop, kGiveUp };

    // A code's string: its length, first 8 bytes and where it was written
    // before.
    struct Found {
        std::size_t length;
        std::uint64_t bytes;
        std::uint32_t from;
    };

    // The first pixel, after the first code or a clear code.
    void StartWith(int code) {
        *out_ = static_cast<std::uint8_t>(code);
        previousOffset_ = static_cast<std::uint32_t>(out_ - pixels_);
        previousLength_ = 1;
        previousBytes_ = static_cast<std::uint64_t>(code);
        Advance(1);
    }

    // Moves `n` pixels on, into the next row when this one is full.
    [[gnu::always_inline]] void Advance(std::size_t n) {
        out_ += n;
        left_ -= n;
        if (!kOneLine && out_ >= rowEnd_ && left_ > 0) {
            const auto x = static_cast<std::size_t>(out_ - rowEnd_);
            row_ += 1 + x / w_;
            rowEnd_ = pixels_ + rowOffset_[row_] + w_;
            out_ = rowEnd_ - w_ + x % w_;
        }
    }

    // The common case in a loop of its own, with no calls and few live
    // values: short strings away from the row end, with the code's bits at
    // hand.
    [[gnu::always_inline]] void ShortRunOn() {
        ShortRun run{
            out_,          bit_, nextFree_, codeSize_, sizeLimit_, previousOffset_, previousLength_,
            previousBytes_};
        ShortStrings<kOneLine>(run, rowEnd_, endBit_, table_.entry, packed_, pixels_);
        left_ -= static_cast<std::size_t>(run.out - out_);
        out_ = run.out;
        bit_ = run.bit;
        nextFree_ = run.nextFree;
        codeSize_ = run.codeSize;
        sizeLimit_ = run.sizeLimit;
        previousOffset_ = run.previousOffset;
        previousLength_ = run.previousLength;
        previousBytes_ = run.previousBytes;
    }

    // One code the short string loop left: its string written, or the
    // clear or end code, or the end of the data (then `last` is negative).
    [[gnu::always_inline]] Step TakeCode(int code, int& last) {
        Found s;
        if (code < clear_) {
            if (code < 0) [[unlikely]] {
                last = code;
                return Step::kStop;
            }
            s = {1, static_cast<std::uint64_t>(code), 0};
        } else if (static_cast<unsigned>(code - end_ - 1) <
                   static_cast<unsigned>(nextFree_ - end_ - 1)) [[likely]] {
            const Entry e = table_.entry[code];
            s = {e.Length(), e.First8(pixels_), e.Offset()};
        } else if (code == nextFree_) {
            s = {previousLength_ + 1,
                 previousLength_ < 8 ? WithFirstByte(previousBytes_, previousLength_)
                                     : previousBytes_,
                 previousOffset_};
        } else if (code == clear_) {
            return Restart(last);
        } else if (code == end_) {
            bits_.DiscardRest();
            last = kEnd;
            return Step::kStop;
        } else {
            return Step::kGiveUp;
        }
        const auto offset = static_cast<std::uint32_t>(out_ - pixels_);
        const std::size_t n = std::min(s.length, left_);
        if (!Write(s, n, code == nextFree_)) return Step::kGiveUp;
        AddEntry(s.bytes);
        previousOffset_ = offset;
        previousLength_ = s.length;
        previousBytes_ = s.bytes;
        Advance(n);
        return Step::kGoOn;
    }

    // A clear code: a fresh table and the first pixel after it.
    Step Restart(int& last) {
        nextFree_ = clear_ + 2;
        codeSize_ = m_ + 1;
        sizeLimit_ = 2 * clear_;
        int code;
        do code = bits_.Get(codeSize_, bit_, endBit_);
        while (code == clear_);
        if (code < 0) {
            last = code;
            return Step::kStop;
        }
        if (code >= clear_) return Step::kGiveUp;
        StartWith(code);
        return Step::kGoOn;
    }

    // Writes the first `n` bytes of string `s` at the next pixel; false for
    // strings too long for the fast path. `ofPrevious`: `s` is the previous
    // string and its own first byte.
    [[gnu::always_inline]] bool Write(const Found& s, std::size_t n, bool ofPrevious) {
        if (s.length <= 8 && rowEnd_ - out_ >= 8) [[likely]] {
            std::memcpy(out_, &s.bytes, 8);  // little-endian; the rest is overwritten later
        } else if (s.length <= 8) {
            // Near the row end: a byte at a time, on into the next rows.
            std::uint8_t* to = out_;
            const std::uint8_t* toEnd = rowEnd_;
            std::uint64_t rest = s.bytes;
            for (std::size_t i = 0, r = row_; i < n; ++i, rest >>= 8) {
                *to = static_cast<std::uint8_t>(rest);
                if (++to == toEnd && ++r < h_) {
                    to = pixels_ + rowOffset_[r];
                    toEnd = to + w_;
                }
            }
        } else {
            // Longer strings are left to the exact path, which ends the
            // data where its 4096-entry stack would overflow.
            if (s.length >= kFastMaxLength) return false;
            // A long string, copied from where it was written before (of
            // the previous string: all but the last byte, which is its first).
            const std::size_t copied = ofPrevious ? std::min(previousLength_, left_) : n;
            std::uint8_t* behind = out_ + copied;
            if (static_cast<std::size_t>(rowEnd_ - out_) >= n &&
                (kOneLine || s.from % static_cast<std::uint32_t>(stride_) + copied <= w_))
                CopyInRow(out_, pixels_ + s.from, copied, static_cast<std::size_t>(rowEnd_ - out_),
                          size_ - s.from);
            else
                behind = map_.Copy(out_, row_, s.from, copied);
            if (copied < n) *behind = pixels_[s.from];
        }
        return true;
    }

    // The entry behind the previous string: that string and the first byte
    // of this one. A full table takes no more entries: the one written is a
    // spare.
    [[gnu::always_inline]] void AddEntry(std::uint64_t bytes) {
        table_.entry[nextFree_] = Entry::Make(
            previousLength_ < 8 ? previousBytes_ | (bytes & 0xFF) << (8 * previousLength_)
                                : previousBytes_,
            previousOffset_, previousLength_ + 1);
        if (++nextFree_ >= sizeLimit_) [[unlikely]]
            GrowCode(nextFree_, codeSize_, sizeLimit_);
    }

    std::size_t Finish(int last) {
        if (last >= 0) {
            // Filled. Usually the end code follows. Other codes still decide
            // where the data ends (an end code, or a broken table, or none),
            // so such a frame goes to the exact path.
            const int code = bits_.Get(codeSize_);
            if (code == end_)
                bits_.DiscardRest();
            else if (code >= 0)
                return kGaveUp;
        } else {
            // Short strings may have written ahead of the last pixel in its row.
            std::memset(out_, 0, static_cast<std::size_t>(rowEnd_ - out_));
        }
        return total_ - left_;
    }

    PackedBits& bits_;
    StringTable<Entry>& table_;
    const FrameArea& a_;
    const std::uint32_t* const rowOffset_;
    std::uint8_t* const pixels_ = a_.pixels;
    const std::uint8_t* const packed_ = bits_.Buffer();
    const std::size_t w_ = static_cast<std::size_t>(a_.width),
                      h_ = static_cast<std::size_t>(a_.height);
    const std::size_t stride_ = PixelStride(a_.width), total_ = w_ * h_;
    const std::size_t size_ = kOneLine ? rowOffset_[0] + stride_ : stride_ * h_;
    const RowMap map_;
    const int m_, clear_ = 1 << m_, end_ = clear_ + 1;

    // The code reader, the table's state, where the next pixel goes, the
    // end of its row, the pixels still to come and the row in data order.
    std::size_t bit_ = 0, endBit_ = 0;
    int nextFree_ = clear_ + 2, codeSize_ = m_ + 1, sizeLimit_ = 2 * clear_;
    std::uint8_t* out_ = nullptr;
    std::uint8_t* rowEnd_ = nullptr;
    std::size_t left_ = total_, row_ = 0;
    // The previous code's string: offset in the rows, length, first 8 bytes.
    std::uint32_t previousOffset_ = 0;
    std::size_t previousLength_ = 0;
    std::uint64_t previousBytes_ = 0;
};

template <bool kOneLine>
std::size_t DecodeStrings(PackedBits& bits, Tables& t, int m, const FrameArea& a,
                          const std::uint32_t* const rowOffset) {
    return StringDecoder<kOneLine>(bits, t, m, a, rowOffset).Decode();
}

// The fast path: false when it gives up. Frames up to kLineMaxPixels are
// decoded as one line and then copied row by row: the short string loop
// runs on without stopping at row ends, and long strings need no row
// arithmetic. Worth it while the line stays in the processor's cache.
bool DecodeFast(PackedBits& bits, Tables& t, int m, const FrameArea& a) {
    FillRowOffsets(t.rowOffset, a);
    const std::size_t w = static_cast<std::size_t>(a.width), h = static_cast<std::size_t>(a.height);
    const std::size_t total = w * h;
    std::size_t done;
    if (total <= kLineMaxPixels) {
        // Room behind the line for 16-byte pieces read near its end.
        const std::size_t lineSize =
            kLineStart + PixelStride(static_cast<std::int32_t>(total)) + 16;
        if (t.line.size() < lineSize) {
            const bool fresh = t.line.empty();
            t.line.resize(lineSize);
            if (fresh)
                for (int i = 0; i < 256; ++i) t.line[i] = static_cast<std::uint8_t>(i);
        }
        const FrameArea line{
            static_cast<std::int32_t>(total), 1, false, false, 0, t.line.data(), nullptr};
        const auto lineStart = static_cast<std::uint32_t>(kLineStart);
        done = DecodeStrings<true>(bits, t, m, line, &lineStart);
        if (done == kGaveUp) return false;
        // The rows beyond what the data reached stay as they are: 0.
        const std::uint8_t* const decoded = t.line.data() + kLineStart;
        for (std::size_t k = 0, at = 0; at < done; ++k, at += w)
            std::memcpy(a.pixels + t.rowOffset[k], decoded + at, std::min(w, done - at));
    } else {
        done = DecodeStrings<false>(bits, t, m, a, t.rowOffset.data());
        if (done == kGaveUp) return false;
    }
    if (a.transparent) BuildMask(a, t.rowOffset, done);
    return true;
}

}  // namespace

void DecodeLzwImage(ByteStream& stream, const FrameArea& area,
                    const std::function<void()>* rowProgress, LzwWorkspace& workspace) {
    std::uint8_t minCodeSize = 0;
    stream.Lenient(&minCodeSize, 1);
    // Sizes from 12 on would put the clear code beyond the 4096-entry tables.
    if (minCodeSize >= 12) return;
    const std::size_t dataStart = stream.Position();
    Tables& tables = workspace.Get();

    if (!rowProgress && minCodeSize <= 8) {
        PackedBits bits(stream, tables.packed);
        if (DecodeFast(bits, tables, minCodeSize, area)) {
            bits.Settle();
            return;
        }
        // Given up: from the start again, one value at a time.
        stream.Seek(dataStart);
        std::memset(area.pixels, 0,
                    PixelStride(area.width) * static_cast<std::size_t>(area.height));
    }
    BitReader reader(stream);
    Machine machine(reader, tables.Exact(), minCodeSize);
    machine.ClearTables();
    DecodeExact(machine, area, rowProgress);
}

}  // namespace norvane::gif
