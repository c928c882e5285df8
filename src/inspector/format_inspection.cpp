#include "inspector/format_inspection.h"

#include <array>
#include <cstdio>
#include <exception>
#include <new>

#include "clipboard/standard_formats.h"
#include "inspector/data_headers.h"
#include "util/little_endian.h"
#include "util/visible_text.h"

namespace norvane {
namespace {

struct RegisteredText {
    std::string_view name;
    TextEncoding encoding;
};
// Registered formats whose data is text, as the programs that put them there write it.
constexpr std::array kRegisteredTexts{
    RegisteredText{"HTML Format", TextEncoding::Utf8},
    RegisteredText{"Rich Text Format", TextEncoding::Ansi},
    RegisteredText{"Rich Text Format Without Objects", TextEncoding::Ansi},
    RegisteredText{"RTF As Text", TextEncoding::Ansi},
    RegisteredText{"UniformResourceLocator", TextEncoding::Ansi},
    RegisteredText{"UniformResourceLocatorW", TextEncoding::Utf16},
    RegisteredText{"FileName", TextEncoding::Ansi},
    RegisteredText{"FileNameW", TextEncoding::Utf16},
    RegisteredText{"text/html", TextEncoding::Utf8},
    RegisteredText{"text/plain", TextEncoding::Utf8},
    RegisteredText{"text/uri-list", TextEncoding::Utf8},
};

std::string Number(std::int64_t n) {
    return std::to_string(n);
}

// A copy this slow is said to be in the header.
constexpr std::uint32_t kSlowReadMs = 1000;

// "1.24 s"
std::string Seconds(std::uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u s", static_cast<unsigned>(ms / 1000),
                  static_cast<unsigned>(ms % 1000 / 10));
    return text;
}

std::string Bytes(std::uint64_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

// The detail line of a bitmap or DIB, with what is wrong with it.
void DescribeDib(std::string& text, std::span<const std::uint8_t> bytes) {
    const auto reading = ReadDibHeader(bytes);
    if (const auto& h = reading.header)
        text += "\r\nBitmap: " + Number(h->width) + " x " +
                Number(h->height < 0 ? -std::int64_t{h->height} : h->height) + " pixels, " +
                Number(h->bitsPerPixel) + " bits per pixel";
    if (!reading.problem.empty()) text += "\r\n" + reading.problem;
}

void DescribeMetafilePicture(std::string& text, std::span<const std::uint8_t> bytes) {
    const auto reading = ReadMetafilePictureHeader(bytes);
    if (const auto& h = reading.header)
        text += "\r\nMetafile picture: mapping mode " + Number(h->mappingMode) + ", extents " +
                Number(h->xExt) + " x " + Number(h->yExt) + ", " + Number(h->records) + " records";
    if (!reading.problem.empty()) text += "\r\n" + reading.problem;
}

void DescribeEnhMetafile(std::string& text, std::span<const std::uint8_t> bytes) {
    const auto reading = ReadEnhMetafileHeader(bytes);
    if (const auto& h = reading.header)
        text += "\r\nBounds: (" + Number(h->left) + ", " + Number(h->top) + ") - (" +
                Number(h->right) + ", " + Number(h->bottom) + "), " + Number(h->records) +
                " records";
    if (!reading.problem.empty()) text += "\r\n" + reading.problem;
}

void DescribePalette(std::string& text, std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 4) text += "\r\nPalette: " + Number(ReadU16(bytes, 2)) + " entries";
}

// A window as the header names it: its class, program file and process.
std::string WindowText(const std::string& className, const OwnerProgram& program) {
    std::string text = "A " + VisibleText(className) + " Class Window";
    if (!program.fileName.empty()) text += " of " + VisibleText(program.fileName);
    return text + ", process id " + Number(program.processId);
}

}  // namespace

std::string OwnerText(const FormatReading& reading) {
    return reading.hasOwner ? WindowText(reading.ownerClass, reading.program) : "none";
}

std::string WaitingLine(const FormatReading& owner, std::string_view formatName,
                        unsigned long seconds) {
    std::string whom = "the clipboard's owner";
    if (owner.hasOwner)
        whom = VisibleText(owner.ownerClass) + " of " +
               (owner.program.fileName.empty() ? std::string("a program not known")
                                               : VisibleText(owner.program.fileName)) +
               " (process " + Number(owner.program.processId) + ")";
    return "Waiting for " + whom + " to render " + VisibleText(formatName) + ": " +
           Number(seconds) + " s";
}

const char* KindText(DataKind kind) {
    switch (kind) {
        case DataKind::MemoryBlock:
            return "a memory block";
        case DataKind::Bitmap:
            return "a bitmap";
        case DataKind::Palette:
            return "a palette";
        case DataKind::MetafilePicture:
            return "a metafile picture";
        case DataKind::EnhancedMetafile:
            return "an enhanced metafile";
        case DataKind::OwnerDisplay:
            return "owner display";
        case DataKind::UnknownHandle:
            break;
    }
    return "a handle whose kind is unknown";
}

TextEncoding TextEncodingOf(unsigned format, std::string_view registeredName) {
    if (registeredName.empty()) {
        if (format == kTextFormat || format == kDisplayTextFormat) return TextEncoding::Ansi;
        if (format == kOemTextFormat) return TextEncoding::Oem;
        if (format == kUnicodeTextFormat) return TextEncoding::Utf16;
        return TextEncoding::None;
    }
    for (const RegisteredText& text : kRegisteredTexts)
        if (text.name == registeredName) return text.encoding;
    return TextEncoding::None;
}

std::span<const std::uint8_t> TextBytes(std::span<const std::uint8_t> bytes,
                                        TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16) {
        std::size_t at = 0;
        while (at + 1 < bytes.size() && (bytes[at] | bytes[at + 1]) != 0) at += 2;
        return bytes.first(at);
    }
    std::size_t at = 0;
    while (at < bytes.size() && bytes[at] != 0) ++at;
    return bytes.first(at);
}

std::string HeaderText(unsigned format, const FormatReading& reading,
                       std::string_view contentLines) {
    std::string text = "Format " + Number(format);
    switch (reading.outcome) {
        case ReadOutcome::Read:
            text += ": " + std::string(KindText(reading.data.kind)) + ", " +
                    Bytes(reading.data.bytes.size());
            break;
        case ReadOutcome::ClipboardHeld:
            text += ": " + ClipboardHeldText();
            break;
        case ReadOutcome::FormatGone:
            text += ": no longer on the clipboard";
            break;
        case ReadOutcome::NotRendered:
            text += ": its owner did not render it";
            break;
        case ReadOutcome::Failed:
            text += ": it could not be read: " + reading.failure;
            break;
    }
    // What a user needs to find the format that makes a copy slow.
    if (reading.readMs >= kSlowReadMs && reading.outcome != ReadOutcome::Failed)
        text += ", read in " + Seconds(reading.readMs);
    const auto& bytes = reading.data.bytes;
    if (reading.outcome == ReadOutcome::Read) {
        switch (reading.data.kind) {
            case DataKind::Bitmap:
                DescribeDib(text, bytes);
                break;
            case DataKind::MetafilePicture:
                DescribeMetafilePicture(text, bytes);
                break;
            case DataKind::EnhancedMetafile:
                DescribeEnhMetafile(text, bytes);
                break;
            case DataKind::Palette:
                DescribePalette(text, bytes);
                break;
            case DataKind::MemoryBlock:
                if (format == kDibFormat || format == kDibV5Format) DescribeDib(text, bytes);
                break;
            default:
                break;
        }
    }
    if (reading.outcome == ReadOutcome::Read) text += contentLines;
    text += "\r\nOwner: " + OwnerText(reading);
    if (reading.outcome == ReadOutcome::ClipboardHeld)
        text += "\r\nHeld open by: " + (reading.hasHolder
                                            ? WindowText(reading.holderClass, reading.holderProgram)
                                            : "a program that opened it without a window");
    return text;
}

std::string ClipboardHeldText() {
    return "the clipboard is held open by another program, nothing was read";
}

std::string FormatGoneText(std::string_view line) {
    return "The format \"" + std::string(line) +
           "\" is no longer on the clipboard: the clipboard has changed since the list was made.";
}

std::string ReadFailedText(std::string_view line, std::string_view failure) {
    return "The format \"" + std::string(line) + "\" could not be read: " + std::string(failure) +
           ".";
}

std::string NotRenderedText(std::string_view line) {
    return "The program that owns the clipboard did not render the format \"" + std::string(line) +
           "\".";
}

}  // namespace norvane
