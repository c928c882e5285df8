#include "inspector/object_descriptor.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "util/little_endian.h"
#include "util/utf16_text.h"

namespace norvane {
namespace {

// OBJECTDESCRIPTOR's fields: cbSize, clsid, dwDrawAspect, sizel, pointl,
// dwStatus, dwFullUserTypeName, dwSrcOfCopy.
constexpr std::size_t kClassAt = 4, kAspectAt = 20, kExtentAt = 24, kStatusAt = 40,
                      kTypeNameAt = 44, kSourceAt = 48, kFixedBytes = 52;

struct AspectName {
    std::uint32_t aspect;
    const char* name;
};
constexpr std::array kAspectNames{AspectName{1, "content"}, AspectName{2, "thumbnail"},
                                  AspectName{4, "icon"}, AspectName{8, "as printed"}};

// "{00020906-0000-0000-C000-000000000046}".
std::string ClassText(std::span<const std::uint8_t> id) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(ReadU32(id, 0)), ReadU16(id, 4), ReadU16(id, 6), id[8],
                  id[9], id[10], id[11], id[12], id[13], id[14], id[15]);
    return text;
}

// HIMETRIC (hundredths of a millimetre) as millimetres: "25.40", "-0.05".
std::string Millimetres(std::int32_t himetric) {
    const std::int64_t n = himetric;
    char text[24];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", n < 0 ? "-" : "",
                  static_cast<long long>(std::llabs(n) / 100),
                  static_cast<long long>(std::llabs(n) % 100));
    return text;
}

std::string AspectText(std::uint32_t aspect) {
    for (const AspectName& a : kAspectNames)
        if (a.aspect == aspect) return std::string(a.name) + " (" + std::to_string(aspect) + ")";
    return std::to_string(aspect) + " (unknown)";
}

// The string whose offset is at `field`, within the descriptor's first
// `limit` bytes: none when the offset is 0 or it lies, told in `problems`.
std::optional<std::string> StringAt(std::span<const std::uint8_t> block, std::size_t limit,
                                    std::size_t field, std::string_view name,
                                    std::string& problems) {
    const std::uint32_t offset = ReadU32(block, field);
    if (offset == 0) return std::nullopt;
    const std::string told = "\r\nThe " + std::string(name) + "'s offset " + std::to_string(offset);
    if (offset < kFixedBytes) {
        problems += told + " lies within the descriptor's fixed 52 bytes.";
        return std::nullopt;
    }
    if (offset >= limit) {
        problems += told + " lies past the descriptor's " + std::to_string(limit) + " bytes.";
        return std::nullopt;
    }
    const auto within = block.subspan(offset, limit - offset);
    const auto text = TextBytes(within, TextEncoding::Utf16);
    if (within.size() - text.size() < 2) {
        problems += "\r\nThe " + std::string(name) + " at offset " + std::to_string(offset) +
                    " is not ended by a zero within the descriptor's " + std::to_string(limit) +
                    " bytes.";
        return std::nullopt;
    }
    return ShownName(Utf8OfUtf16(text));
}

}  // namespace

ShellContents ReadObjectDescriptor(std::span<const std::uint8_t> block, std::string_view what) {
    ShellContents contents;
    if (block.size() < kFixedBytes) {
        contents.lines = "\r\nThe block's ";
        contents.lines += std::to_string(block.size()) +
                          " bytes are too few for an object descriptor of 52 bytes.";
        return contents;
    }
    // The strings lie within the size the descriptor gives itself, when that
    // is no lie.
    const std::uint32_t size = ReadU32(block, 0);
    std::size_t limit = block.size();
    std::string problems;
    if (size < kFixedBytes)
        problems = "\r\nIts size field says " + std::to_string(size) +
                   " bytes, fewer than the descriptor's fixed 52.";
    else if (size > block.size())
        problems = "\r\nIts size field says " + std::to_string(size) + " bytes; the block holds " +
                   std::to_string(block.size()) + ".";
    else
        limit = size;
    const auto type = StringAt(block, limit, kTypeNameAt, "type name", problems);
    const auto source = StringAt(block, limit, kSourceAt, "source of the copy", problems);

    const std::int32_t cx = ReadI32(block, kExtentAt), cy = ReadI32(block, kExtentAt + 4);
    char status[16];
    std::snprintf(status, sizeof status, "0x%08X",
                  static_cast<unsigned>(ReadU32(block, kStatusAt)));
    contents.lines = "\r\n" + std::string(what) + ": " + (type ? *type : "no type name") +
                     ", class " + ClassText(block.subspan(kClassAt, 16));
    if (source) contents.lines += "\r\nSource of the copy: " + *source;
    contents.lines += "\r\nSize: " + std::to_string(cx) + " x " + std::to_string(cy) +
                      " HIMETRIC (" + Millimetres(cx) + " x " + Millimetres(cy) + " mm), aspect " +
                      AspectText(ReadU32(block, kAspectAt)) + ", status " + status + problems;
    return contents;
}

}  // namespace norvane
