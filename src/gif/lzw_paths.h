// What the LZW decoder's two paths share: the table limits, the order of
// the rows in the data, the workspace's tables and each path's entry. The
// exact path (lzw_exact.cpp) decodes one value at a time and is the
// reference; the fast path (lzw_fast.cpp) writes whole strings per code and
// gives up on any stream it does not take.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "gif/byte_stream.h"
#include "gif/lzw.h"

namespace norvane::gif {
namespace lzw_detail {

constexpr int kTableSize = 4096;
constexpr int kOutOfData = -1;
constexpr int kEnd = -2;  // end code, or a broken table

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

// Behind the gathered bytes: room for the last code's 64-bit load.
constexpr std::size_t kGatherSlack = 8;

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

// The exact path: the path for every stream the fast path does not take,
// with row progress (see DecodeLzwImage), and the reference for what the
// fast path must produce. Reads the data from its start.
void DecodeExact(ByteStream& stream, ExactTables& tables, int minCodeSize, const FrameArea& a,
                 const std::function<void()>* rowProgress);

// The fast path, for minimum code sizes up to 8 and no row progress: false
// when it gives up, leaving the stream and the pixels anywhere; the frame
// is then decoded again from the data's start by the exact path.
bool DecodeFast(ByteStream& stream, LzwWorkspace::Buffers& t, int minCodeSize, const FrameArea& a);

}  // namespace lzw_detail

// Every table is written before it is read.
struct LzwWorkspace::Buffers {
    lzw_detail::StringTable<lzw_detail::LineString> lineStrings;
    // Made for the first large frame.
    std::unique_ptr<lzw_detail::StringTable<lzw_detail::RowString>> rowStrings;
    std::unique_ptr<lzw_detail::ExactTables> exact;  // made when the exact path first runs
    std::uint8_t packed[lzw_detail::kGatherBytes + lzw_detail::kGatherSlack];
    std::vector<std::uint32_t> rowOffset;  // data row to its offset in the rows
    std::vector<std::uint8_t> line;        // the byte values, then a small frame's pixels

    lzw_detail::StringTable<lzw_detail::RowString>& RowStrings() {
        if (!rowStrings) rowStrings.reset(new lzw_detail::StringTable<lzw_detail::RowString>);
        return *rowStrings;
    }
    lzw_detail::ExactTables& Exact() {
        if (!exact) exact.reset(new lzw_detail::ExactTables);
        return *exact;
    }
};

}  // namespace norvane::gif
