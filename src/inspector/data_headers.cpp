#include "inspector/data_headers.h"

#include <algorithm>
#include <vector>

#include "clipboard/packed_dib.h"
#include "util/checked_math.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

constexpr std::size_t kMetafileHeaderSize = 18, kEnhMetafileHeaderSize = 88;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint16_t kMetaEof = 0x0000, kMetaSetWindowOrg = 0x020B, kMetaSetWindowExt = 0x020C;
// An escape record whose escape is a comment, and the comment that carries
// a part of an enhanced metafile ("WMFC"), as GetWinMetaFileBits writes it:
// the comment's identifier, type, version, checksum (16 bits), flags,
// count of such records, this part's size, the bytes after it, the whole
// metafile's size, then this part.
constexpr std::uint16_t kMetaEscape = 0x0626, kMfComment = 0x000F;
constexpr std::uint32_t kWmfcIdentifier = 0x43464D57;
constexpr std::size_t kWmfcRecordCount = 28, kWmfcPartSize = 32, kWmfcBytesAfter = 36,
                      kWmfcWholeSize = 40, kWmfcPart = 44;

constexpr std::uint32_t kEmrEof = 14;

bool BeginsAsEnhMetafile(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 44 && ReadU32(bytes, 0) == 1 && ReadU32(bytes, 40) == kEmfSignature;
}

// One that is too short to hold its fields still counts: the system reads
// them from whatever follows.
bool IsWmfcComment(std::span<const std::uint8_t> record) {
    return record.size() >= 14 && ReadU16(record, 4) == kMetaEscape &&
           ReadU16(record, 6) == kMfComment && ReadU32(record, 10) == kWmfcIdentifier;
}

// The enhanced metafile that the comments `parts` (whole records, in order)
// carry, joined as the system joins them: each part's size within what is
// left of the whole, the bytes after it as the comment says, the count of
// parts as the first says. None when they do not hold it whole.
std::optional<std::vector<std::uint8_t>> JoinedEnhMetafile(
    const std::vector<std::span<const std::uint8_t>>& parts) {
    for (const auto record : parts)
        if (record.size() < kWmfcPart) return std::nullopt;
    const std::uint32_t whole = ReadU32(parts.front(), kWmfcWholeSize);
    if (ReadU32(parts.front(), kWmfcRecordCount) != parts.size()) return std::nullopt;
    std::vector<std::uint8_t> joined;
    std::uint32_t left = whole;
    for (const auto record : parts) {
        const std::uint32_t size = ReadU32(record, kWmfcPartSize);
        if (ReadU32(record, kWmfcWholeSize) != whole || size > left ||
            size > record.size() - kWmfcPart || ReadU32(record, kWmfcBytesAfter) != left - size)
            return std::nullopt;
        left -= size;
        const auto part = record.subspan(kWmfcPart, size);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    if (left != 0) return std::nullopt;
    return joined;
}

// What is wrong with the enhanced metafile a metafile carries in comments,
// which the system makes in place of converting the metafile's records;
// empty when it carries none or one that is whole.
std::string CarriedEnhMetafileProblem(const std::vector<std::span<const std::uint8_t>>& parts) {
    if (parts.empty()) return {};
    const auto joined = JoinedEnhMetafile(parts);
    if (!joined)
        return "Its metafile carries an enhanced metafile in comments that do not hold it whole.";
    const auto emf = ReadEnhMetafileHeader(*joined);
    if (emf.problem.empty()) return {};
    return "Its metafile carries an enhanced metafile, which the system makes in its place: " +
           emf.problem;
}

}  // namespace

HeaderReading<MetafilePictureHeader> ReadMetafilePictureHeader(
    std::span<const std::uint8_t> block) {
    HeaderReading<MetafilePictureHeader> reading;
    if (block.size() < kMetafilePictureFields + kMetafileHeaderSize) {
        reading.problem = "The block holds " + ByteCountText(block.size()) +
                          ", too few for a metafile picture and its metafile's header.";
        return reading;
    }
    MetafilePictureHeader h;
    h.mappingMode = ReadI32(block, 0);
    h.xExt = ReadI32(block, 4);
    h.yExt = ReadI32(block, 8);
    const auto metafile = block.subspan(kMetafilePictureFields);
    const std::uint16_t type = ReadU16(metafile, 0), headerWords = ReadU16(metafile, 2);
    if (BeginsAsEnhMetafile(metafile)) {
        // The same checks as any enhanced metafile, and none is played as a
        // Windows metafile.
        const auto emf = ReadEnhMetafileHeader(metafile);
        reading.problem =
            "The metafile picture's bits hold an enhanced metafile, not a Windows metafile" +
            (emf.problem.empty() ? std::string(".") : ": " + emf.problem);
        return reading;
    }
    if ((type != 1 && type != 2) || headerWords != kMetafileHeaderSize / 2) {
        reading.problem = "The metafile picture's bits do not start with a metafile header.";
        return reading;
    }
    h.metafileBytes = std::uint64_t{ReadU32(metafile, 6)} * 2;  // a count of 16-bit words
    reading.header = h;
    if (h.metafileBytes < kMetafileHeaderSize)
        reading.problem = "Its metafile header gives the metafile " +
                          ByteCountText(h.metafileBytes) + ", fewer than the header's own " +
                          ByteCountText(kMetafileHeaderSize) + ".";
    else if (h.metafileBytes > metafile.size())
        reading.problem = "The block holds " + ByteCountText(metafile.size()) +
                          " after the picture's fields; its metafile header claims " +
                          ByteCountText(h.metafileBytes) + ".";
    // The records, up to the end record, never past the block or the metafile.
    const auto end =
        static_cast<std::size_t>(std::min<std::uint64_t>(metafile.size(), h.metafileBytes));
    std::size_t at = kMetafileHeaderSize;
    bool windowOrg = false, windowExt = false, ended = false;
    std::vector<std::span<const std::uint8_t>> carried;  // comments with an enhanced metafile
    while (at + 6 <= end) {
        const std::uint64_t recordBytes = std::uint64_t{ReadU32(metafile, at)} * 2;
        const std::uint16_t function = ReadU16(metafile, at + 4);
        if (recordBytes < 6 || recordBytes > end - at) break;
        ++reading.header->records;
        const auto record = metafile.subspan(at, static_cast<std::size_t>(recordBytes));
        if (IsWmfcComment(record)) carried.push_back(record);
        if (function == kMetaEof) {
            ended = true;
            break;
        }
        // Their two parameters come in reverse: y, then x.
        if (recordBytes >= 10 && function == kMetaSetWindowOrg && !windowOrg) {
            windowOrg = true;
            reading.header->windowY = static_cast<std::int16_t>(ReadU16(metafile, at + 6));
            reading.header->windowX = static_cast<std::int16_t>(ReadU16(metafile, at + 8));
        }
        if (recordBytes >= 10 && function == kMetaSetWindowExt && !windowExt) {
            windowExt = true;
            reading.header->windowHeight = static_cast<std::int16_t>(ReadU16(metafile, at + 6));
            reading.header->windowWidth = static_cast<std::int16_t>(ReadU16(metafile, at + 8));
        }
        at += static_cast<std::size_t>(recordBytes);
    }
    reading.header->hasWindow = windowExt;
    if (!ended && reading.problem.empty())
        reading.problem = "The metafile's records end without an end record at offset " +
                          std::to_string(at + kMetafilePictureFields) + ".";
    if (reading.problem.empty()) reading.problem = CarriedEnhMetafileProblem(carried);
    return reading;
}

HeaderReading<EnhMetafileHeader> ReadEnhMetafileHeader(std::span<const std::uint8_t> block) {
    HeaderReading<EnhMetafileHeader> reading;
    if (block.size() < kEnhMetafileHeaderSize) {
        reading.problem = "The block holds " + ByteCountText(block.size()) +
                          ", too few for an enhanced metafile header.";
        return reading;
    }
    if (ReadU32(block, 0) != 1 || ReadU32(block, 40) != kEmfSignature) {
        reading.problem = "The block does not start with an enhanced metafile header.";
        return reading;
    }
    EnhMetafileHeader h;
    h.left = ReadI32(block, 8);
    h.top = ReadI32(block, 12);
    h.right = ReadI32(block, 16);
    h.bottom = ReadI32(block, 20);
    h.bytes = ReadU32(block, 48);
    const std::uint32_t claimedRecords = ReadU32(block, 52), headerSize = ReadU32(block, 4);
    reading.header = h;
    if (headerSize < kEnhMetafileHeaderSize)
        reading.problem = "Its header gives its own size as " + ByteCountText(headerSize) +
                          ", fewer than an enhanced metafile header's " +
                          ByteCountText(kEnhMetafileHeaderSize) + ".";
    else if (h.bytes > block.size())
        reading.problem = ShortBlockText(block.size(), h.bytes, "its header claims");
    else if (headerSize > h.bytes)
        reading.problem = "Its header's size, " + ByteCountText(headerSize) +
                          ", is more than the whole metafile's, " + ByteCountText(h.bytes) + ".";
    // The records, the header the first, up to the end record, never past
    // the block or the metafile.
    const std::size_t end = std::min<std::size_t>(block.size(), h.bytes);
    std::size_t at = 0;
    bool ended = false;
    while (at + 8 <= end) {
        const std::uint32_t type = ReadU32(block, at), recordBytes = ReadU32(block, at + 4);
        if (recordBytes < 8 || recordBytes % 4 != 0 || recordBytes > end - at) break;
        ++reading.header->records;
        at += recordBytes;
        if (type == kEmrEof) {
            ended = true;
            break;
        }
    }
    if (!reading.problem.empty()) return reading;
    if (!ended)
        reading.problem = "The metafile's records end without an end record at offset " +
                          std::to_string(at) + ".";
    else if (reading.header->records != claimedRecords)
        reading.problem = "Its header claims " + std::to_string(claimedRecords) +
                          " records; the metafile holds " +
                          std::to_string(reading.header->records) + ".";
    return reading;
}

}  // namespace norvane
