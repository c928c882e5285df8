#include "inspector/shell_items.h"

#include <string>

#include "util/little_endian.h"
#include "util/visible_text.h"

namespace norvane {
namespace {

constexpr std::size_t kCountBytes = 4, kOffsetBytes = 4, kSizeBytes = 2;
// The items read at most. Lists that overlap are read no further once the
// lists read have walked as many bytes as the block holds (lists of their
// own never do), so that the work and the text stay within a few times
// the block.
constexpr std::size_t kMostItems = 100'000;

// Explorer's id of a file or folder: a type byte whose bits 0x70 are 0x30,
// a byte, the size (4), the DOS date and time (4), the attributes (2), then
// the short name in the code page, ended by a zero.
constexpr std::size_t kShortNameAt = 12;

struct IdList {
    std::size_t ids = 0;
    std::size_t bytes = 0;  // with its end, when it has one
    std::string name;       // the file-system name of its last id, if it holds one
    std::string problem;    // how it lies: "starts at offset 900, past ..."
};

std::string FileSystemName(std::span<const std::uint8_t> id) {
    if (id.size() <= kShortNameAt || (id[0] & 0x70) != 0x30) return {};
    const auto name = TextBytes(id.subspan(kShortNameAt), TextEncoding::Ansi);
    if (name.size() == id.size() - kShortNameAt) return {};  // no zero ends it
    return VisibleText(std::string(name.begin(), name.end()));
}

// The id list at `offset`, read within the block and past the count and
// offsets (`tableEnd`).
IdList ReadIdList(std::span<const std::uint8_t> block, std::uint32_t offset, std::size_t tableEnd) {
    IdList list;
    if (offset < tableEnd) {
        list.problem =
            "starts at offset " + std::to_string(offset) + ", within the count and offsets";
        return list;
    }
    if (offset >= block.size()) {
        list.problem = "starts at offset " + std::to_string(offset) + ", past the block's " +
                       Grouped(block.size()) + " bytes";
        return list;
    }
    std::span<const std::uint8_t> last;
    std::size_t at = offset;
    for (;;) {
        if (block.size() - at < kSizeBytes) {
            list.problem = "is not ended by an empty id within the block";
            break;
        }
        const std::size_t size = ReadU16(block, at);
        if (size == 0) {
            at += kSizeBytes;
            break;
        }
        if (size < kSizeBytes) {
            list.problem = "holds an id of 1 byte at offset " + std::to_string(at) +
                           "; an id takes at least 2";
            break;
        }
        if (size > block.size() - at) {
            list.problem = "holds an id of " + Grouped(size) + " bytes at offset " +
                           std::to_string(at) + ", past the block's end";
            break;
        }
        last = block.subspan(at + kSizeBytes, size - kSizeBytes);
        ++list.ids;
        at += size;
    }
    list.bytes = at - offset;
    list.name = FileSystemName(last);
    return list;
}

// "REPORT.PDF, 1 id in 27 bytes", with how it lies after it; only how it
// lies when nothing of it could be read.
std::string ListText(const IdList& list) {
    std::string text;
    if (list.bytes > 0)
        text = (list.name.empty() ? "" : list.name + ", ") + CountText(list.ids, "id", "ids") +
               " in " + CountText(list.bytes, "byte", "bytes");
    if (list.problem.empty()) return text;
    return text + (text.empty() ? "the list " : "; the list ") + list.problem;
}

}  // namespace

ShellContents ReadShellItems(std::span<const std::uint8_t> block) {
    ShellContents contents;
    if (block.size() < kCountBytes) {
        contents.lines = "\r\nThe block's ";
        contents.lines += std::to_string(block.size()) + " bytes hold no count of items.";
        return contents;
    }
    const std::uint32_t count = ReadU32(block, 0);
    const std::uint64_t offsets = std::uint64_t{count} + 1;  // the folder's too
    const std::size_t fit = (block.size() - kCountBytes) / kOffsetBytes;
    const std::size_t offsetsRead = offsets < fit ? static_cast<std::size_t>(offsets) : fit;
    const std::size_t tableEnd = kCountBytes + offsetsRead * kOffsetBytes;

    std::string header = "\r\nShell items: " + CountText(count, "item", "items");
    std::string problems, text;
    ListLine items;
    std::size_t lying = 0, walked = 0, read = 0;
    for (; read < offsetsRead; ++read) {
        if (read > kMostItems || walked > block.size()) break;
        const IdList list =
            ReadIdList(block, ReadU32(block, kCountBytes + read * kOffsetBytes), tableEnd);
        walked += list.bytes;
        const std::string entry = ListText(list);
        if (read == 0) {
            header += "; the folder's id list: " + ShownName(entry);
            text += "folder: " + entry;
        } else {
            items.Add(entry);
            text += "\r\nitem " + std::to_string(read) + ": " + entry;
        }
        if (!list.problem.empty() && lying++ == 0)
            problems = "\r\nThe " +
                       (read == 0 ? std::string("folder's id list")
                                  : "id list of item " + std::to_string(read)) +
                       " " + list.problem + ".";
    }
    if (read > 1) header += "\r\nItems: " + items.Text(read - 1);
    contents.lines = header;
    if (offsets > fit)
        contents.lines += "\r\nIt counts " + CountText(count, "item", "items") +
                          ", with the folder's " + Grouped(offsets) + " offsets; its " +
                          Grouped(block.size()) + " bytes hold " + Grouped(fit) + ".";
    contents.lines += problems;
    if (lying > 1)
        contents.lines += " " + CountText(lying - 1, "more id list lies", "more id lists lie") +
                          "; the text view tells each.";
    if (read < offsetsRead)
        contents.lines += "\r\nThe items after the first " + Grouped(read - 1) + " are not read" +
                          (read > kMostItems ? "." : ": their id lists overlap.");
    contents.encoding = TextEncoding::Ansi;
    contents.text.assign(text.begin(), text.end());
    return contents;
}

}  // namespace norvane
