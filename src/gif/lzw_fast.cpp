// The fast path: whole strings per code, copied from where the same string
// was written before.
#include "gif/lzw_fast.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "gif/gif_picture.h"
#include "gif/lzw_paths.h"

namespace norvane::gif::lzw_detail {
namespace {

constexpr std::size_t kMaxCodeBits = 12;  // codes of a 4096-entry table
// The longest string the fast path follows; longer ones take the exact path,
// which knows what to do near the 4096-entry stack.
constexpr int kFastMaxLength = 4000;

// Where the line begins in its buffer, behind the 256 byte values (and room
// to read 8 bytes from the last).
constexpr std::size_t kLineStart = 256 + 8;
static_assert(kLineStart + kLineMaxPixels < (1u << LineString::kOffsetBits));

using Tables = LzwWorkspace::Buffers;

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

}  // namespace

// Frames up to kLineMaxPixels are decoded as one line and then copied row
// by row: the short string loop runs on without stopping at row ends, and
// long strings need no row arithmetic. Worth it while the line stays in the
// processor's cache.
bool DecodeFast(ByteStream& stream, Tables& t, int m, const FrameArea& a) {
    PackedBits bits(stream, t.packed);
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
    bits.Settle();
    return true;
}

}  // namespace norvane::gif::lzw_detail
