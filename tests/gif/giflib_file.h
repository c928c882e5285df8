// giflib reading a GIF held in memory: the file is open while this lives.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <span>

namespace norvane::gif::testing {

class GiflibFile {
  public:
    explicit GiflibFile(std::span<const std::uint8_t> bytes) : rest_(bytes) {
        int error = 0;
        file_ = DGifOpen(&rest_, &Read, &error);
    }
    GiflibFile(const GiflibFile&) = delete;
    GiflibFile& operator=(const GiflibFile&) = delete;
    ~GiflibFile() {
        int error = 0;
        if (file_) DGifCloseFile(file_, &error);
    }

    // None when giflib could not open the stream.
    GifFileType* get() const { return file_; }
    GifFileType* operator->() const { return file_; }

  private:
    static int Read(GifFileType* file, GifByteType* target, int count) {
        auto* rest = static_cast<std::span<const std::uint8_t>*>(file->UserData);
        const auto n = std::min(static_cast<std::size_t>(count), rest->size());
        std::copy_n(rest->data(), n, target);
        *rest = rest->subspan(n);
        return static_cast<int>(n);
    }

    std::span<const std::uint8_t> rest_;  // what giflib has still to read
    GifFileType* file_ = nullptr;
};

}  // namespace norvane::gif::testing
