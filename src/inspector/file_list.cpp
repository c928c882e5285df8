#include "inspector/file_list.h"

#include "util/little_endian.h"

namespace norvane {
namespace {

constexpr std::size_t kWideFlagAt = 16;

// The end of the zero-terminated string at `at` of `unit`-byte characters,
// or the block's end (less a partial character) when no zero follows.
std::size_t StringEnd(std::span<const std::uint8_t> block, std::size_t at, std::size_t unit,
                      bool& terminated) {
    while (block.size() - at >= unit) {
        if (block[at] == 0 && (unit == 1 || block[at + 1] == 0)) {
            terminated = true;
            return at;
        }
        at += unit;
    }
    terminated = false;
    return at;
}

}  // namespace

FileListReading ReadFileList(std::span<const std::uint8_t> block) {
    FileListReading list;
    if (block.size() < kDropFilesHeaderBytes) {
        list.problem = "The block's " + std::to_string(block.size()) +
                       " bytes are too few for a file list's header of " +
                       std::to_string(kDropFilesHeaderBytes) + " bytes.";
        return list;
    }
    list.hasHeader = true;
    list.offset = ReadU32(block, 0);
    list.wide = ReadU32(block, kWideFlagAt) != 0;
    if (list.offset < kDropFilesHeaderBytes) {
        list.problem = "The paths' offset " + std::to_string(list.offset) +
                       " lies within the header; the paths are not read.";
        return list;
    }
    if (list.offset >= block.size()) {
        list.problem = "The paths' offset " + std::to_string(list.offset) +
                       " lies past the block's " + std::to_string(block.size()) +
                       " bytes; the paths are not read.";
        return list;
    }
    const std::size_t unit = list.wide ? 2 : 1;
    std::size_t at = list.offset;
    for (;;) {
        bool terminated = false;
        const std::size_t end = StringEnd(block, at, unit, terminated);
        if (end == at && terminated) {
            list.ended = true;
            break;
        }
        if (end > at) list.paths.push_back(block.subspan(at, end - at));
        if (!terminated) break;
        at = end + unit;
    }
    if (!list.ended)
        list.problem =
            "The list is not ended by an empty path within the block; the paths "
            "shown are those it holds.";
    return list;
}

std::vector<std::uint8_t> FileListText(const FileListReading& list) {
    std::vector<std::uint8_t> text;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        if (i > 0) {
            for (std::uint8_t c : {'\r', '\n'}) {
                text.push_back(c);
                if (list.wide) text.push_back(0);
            }
        }
        text.insert(text.end(), list.paths[i].begin(), list.paths[i].end());
    }
    return text;
}

}  // namespace norvane
