// The bytes being parsed, with the two read disciplines the decoder uses.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace norvane::gif {

struct ReadError {};  // a strict read found too few bytes
struct Abort {};      // a silent abort: oversized frame, or progress cleared

class ByteStream {
  public:
    explicit ByteStream(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t Position() const { return position_; }
    std::size_t Size() const { return data_.size(); }
    bool AtEnd() const { return position_ >= data_.size(); }
    void Seek(std::size_t position) { position_ = std::min(position, data_.size()); }
    std::size_t Remaining() const { return data_.size() - position_; }

    // Fails with ReadError when fewer than `count` bytes remain (and reads nothing).
    void Strict(void* target, std::size_t count) {
        if (Remaining() < count) throw ReadError{};
        Lenient(target, count);
    }
    // Takes what is there; the rest of the target stays as it was.
    std::size_t Lenient(void* target, std::size_t count) {
        const std::size_t taken = std::min(count, Remaining());
        if (taken) std::memcpy(target, data_.data() + position_, taken);
        position_ += taken;
        return taken;
    }
    void Skip(std::size_t count) { position_ += std::min(count, Remaining()); }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

}  // namespace norvane::gif
