// The fast path's code reader, and its masks (lzw_fast_mask.cpp).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "gif/byte_stream.h"
#include "gif/lzw_paths.h"

namespace norvane::gif::lzw_detail {

// Sub-blocks as the fast path reads them: payloads gathered into one
// buffer of up to kChunk bytes and read through a 64-bit load per code. It
// sees exactly the bits the exact path's BitReader sees: the data of every
// complete sub-block up to the first that fails (size 0 or cut short), where
// a first sub-block cut short counts with zeros for its missing bytes.
class PackedBits {
  public:
    static constexpr std::size_t kChunk = kGatherBytes;
    static constexpr std::size_t kSlack = kGatherSlack;

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

// The mask of a frame the fast path decoded: transparent where a pixel is
// the transparent index, and where the data did not reach (the first
// `done` pixels in data order were decoded). Bits beyond the width stay 0.
void BuildMask(const FrameArea& a, const std::vector<std::uint32_t>& rowOffset, std::size_t done);

}  // namespace norvane::gif::lzw_detail
