#include "inspector/virtual_files.h"

#include <array>
#include <cstdio>

#include "util/little_endian.h"
#include "util/utf16_text.h"
#include "util/visible_text.h"

namespace norvane {
namespace {

// A FILEDESCRIPTOR: its fields' offsets and what its flags say is present.
constexpr std::size_t kFlagsAt = 0, kAttributesAt = 36, kCreatedAt = 40, kAccessedAt = 48,
                      kWrittenAt = 56, kSizeHighAt = 64, kSizeLowAt = 68, kNameAt = 72;
constexpr std::size_t kNameChars = 260;
constexpr std::uint32_t kHasAttributes = 0x4, kHasCreated = 0x8, kHasAccessed = 0x10,
                        kHasWritten = 0x20, kHasSize = 0x40;
constexpr std::size_t kCountBytes = 4;

struct AttributeName {
    std::uint32_t bit;
    const char* name;
};
constexpr std::array kAttributeNames{
    AttributeName{0x1, "read-only"},      AttributeName{0x2, "hidden"},
    AttributeName{0x4, "system"},         AttributeName{0x10, "folder"},
    AttributeName{0x20, "archive"},       AttributeName{0x40, "device"},
    AttributeName{0x80, "normal"},        AttributeName{0x100, "temporary"},
    AttributeName{0x200, "sparse"},       AttributeName{0x400, "reparse point"},
    AttributeName{0x800, "compressed"},   AttributeName{0x1000, "offline"},
    AttributeName{0x2000, "not indexed"}, AttributeName{0x4000, "encrypted"},
};

std::string Hex(std::uint32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(n));
    return text;
}

// "attributes 0x00000021 (read-only, archive)".
std::string AttributesText(std::uint32_t attributes) {
    std::string names;
    std::uint32_t unknown = attributes;
    for (const AttributeName& a : kAttributeNames) {
        if (!(attributes & a.bit)) continue;
        names += names.empty() ? "" : ", ";
        names += a.name;
        unknown &= ~a.bit;
    }
    if (unknown) names += (names.empty() ? "unknown bits " : ", unknown bits ") + Hex(unknown);
    return "attributes " + Hex(attributes) + (names.empty() ? "" : " (" + names + ")");
}

std::uint64_t FileTimeAt(std::span<const std::uint8_t> record, std::size_t at) {
    return ReadU32(record, at) | std::uint64_t{ReadU32(record, at + 4)} << 32;
}

// One file as the header and the text view give it: its name, then what
// its flags say is present. `terminated` tells whether its name ended
// within its characters.
std::string FileText(std::span<const std::uint8_t> record, bool wide, bool& terminated) {
    const std::size_t unit = wide ? 2 : 1;
    const auto field = record.subspan(kNameAt, kNameChars * unit);
    const auto name = TextBytes(field, wide ? TextEncoding::Utf16 : TextEncoding::Ansi);
    terminated = name.size() < field.size();
    std::string text =
        VisibleText(wide ? Utf8OfUtf16(name) : std::string(name.begin(), name.end()));
    const std::uint32_t flags = ReadU32(record, kFlagsAt);
    if (flags & kHasSize) {
        const std::uint64_t size =
            ReadU32(record, kSizeLowAt) | std::uint64_t{ReadU32(record, kSizeHighAt)} << 32;
        text += ", " + CountText(size, "byte", "bytes");
    }
    if (flags & kHasAttributes) text += ", " + AttributesText(ReadU32(record, kAttributesAt));
    if (flags & kHasCreated) text += ", created " + FileTimeText(FileTimeAt(record, kCreatedAt));
    if (flags & kHasAccessed) text += ", accessed " + FileTimeText(FileTimeAt(record, kAccessedAt));
    if (flags & kHasWritten) text += ", changed " + FileTimeText(FileTimeAt(record, kWrittenAt));
    return text;
}

}  // namespace

ShellContents ReadVirtualFiles(std::span<const std::uint8_t> block, bool wide) {
    ShellContents contents;
    if (block.size() < kCountBytes) {
        contents.lines = "\r\nThe block's ";
        contents.lines += std::to_string(block.size()) + " bytes hold no count of files.";
        return contents;
    }
    const std::uint32_t count = ReadU32(block, 0);
    if (count == 0) {
        contents.lines = "\r\nVirtual files: none: the descriptor counts no files to paste.";
        return contents;
    }
    const std::size_t recordBytes = kNameAt + kNameChars * (wide ? 2 : 1);
    const std::size_t fit = (block.size() - kCountBytes) / recordBytes;
    const std::size_t shown = count < fit ? count : fit;

    ListLine named;
    std::string text;
    std::size_t unterminated = 0, firstUnterminated = 0;
    for (std::size_t i = 0; i < shown; ++i) {
        bool terminated = true;
        const std::string file =
            FileText(block.subspan(kCountBytes + i * recordBytes, recordBytes), wide, terminated);
        if (!terminated && unterminated++ == 0) firstUnterminated = i + 1;
        named.Add(file);
        text += (i == 0 ? "" : "\r\n") + file;
    }
    contents.lines = "\r\nVirtual files: " + CountText(count, "file", "files");
    if (shown > 0) contents.lines += ": " + named.Text(shown);
    contents.lines +=
        "\r\nTheir bytes are in \"FileContents\", one per index, given only on request.";
    if (count > fit)
        contents.lines += "\r\nIt counts " + CountText(count, "file", "files") + "; its " +
                          Grouped(block.size()) + " bytes hold " + Grouped(fit) + ".";
    if (unterminated == 1)
        contents.lines += "\r\nThe name of file " + std::to_string(firstUnterminated) +
                          " is not ended within its 260 characters.";
    else if (unterminated > 1)
        contents.lines += "\r\nThe names of " + Grouped(unterminated) + " files, the first file " +
                          std::to_string(firstUnterminated) +
                          ", are not ended within their 260 characters.";
    contents.encoding = wide ? TextEncoding::Utf8 : TextEncoding::Ansi;
    contents.text.assign(text.begin(), text.end());
    return contents;
}

std::string FileTimeText(std::uint64_t fileTime) {
    constexpr std::uint64_t kPerMinute = 600'000'000;  // 100 ns units
    const std::uint64_t minutes = fileTime / kPerMinute;
    const auto minuteOfDay = static_cast<unsigned>(minutes % 1440);
    // The civil date of the day, counted from 0000-03-01 in 400-year eras
    // (1601-01-01 is day 584,694 of them).
    const std::int64_t day = static_cast<std::int64_t>(minutes / 1440) + 584'694;
    const std::int64_t era = day / 146'097;
    const std::int64_t dayOfEra = day - era * 146'097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const std::int64_t dayOfMonth = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const std::int64_t year = era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02u:%02u", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(dayOfMonth),
                  minuteOfDay / 60, minuteOfDay % 60);
    return text;
}

}  // namespace norvane
