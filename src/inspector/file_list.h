// A file list (CF_HDROP) as copied: a DROPFILES header, then paths of
// narrow or wide characters, each ended by a zero, the list by an empty
// path. An offset that points outside the block or into the header is told,
// not followed; a list that runs to the block's end keeps the paths whole
// within it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace norvane {

inline constexpr std::size_t kDropFilesHeaderBytes = 20;

struct FileListReading {
    bool hasHeader = false;
    std::uint32_t offset = 0;  // of the first path, as the header says
    bool wide = false;
    // Each path's bytes without its zero (two bytes a character when wide).
    std::vector<std::span<const std::uint8_t>> paths;
    bool ended = false;   // the empty path that ends the list lies within the block
    std::string problem;  // empty when the block holds what its header promises
};
FileListReading ReadFileList(std::span<const std::uint8_t> block);

// The paths one a line ("\r\n" between them), in the list's own characters.
std::vector<std::uint8_t> FileListText(const FileListReading& list);

}  // namespace norvane
