#include "inspector/shell_formats.h"

#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "inspector/object_descriptor.h"
#include "inspector/shell_items.h"
#include "inspector/virtual_files.h"
#include "util/little_endian.h"
#include "util/utf16_text.h"
#include "util/utf8_text.h"
#include "util/visible_text.h"

namespace norvane {
namespace {

// DROPEFFECT bits.
constexpr std::uint32_t kCopy = 0x1, kMove = 0x2, kLink = 0x4, kScroll = 0x80000000;

std::string EffectValue(std::uint32_t effect) {
    if (effect < 0x100) return std::to_string(effect);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(effect));
    return text;
}

// "copy or link", "copy, move or link, scroll", "unknown bits 0x00000100", "none".
std::string EffectWords(std::uint32_t effect) {
    std::vector<std::string_view> choices;
    for (const auto& [bit, name] : {std::pair{kCopy, "copy"}, {kMove, "move"}, {kLink, "link"}})
        if (effect & bit) choices.push_back(name);
    std::string words;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) words += i + 1 == choices.size() ? " or " : ", ";
        words += choices[i];
    }
    const auto add = [&](const std::string& part) { words += (words.empty() ? "" : ", ") + part; };
    if (effect & kScroll) add("scroll");
    if (const std::uint32_t unknown = effect & ~(kCopy | kMove | kLink | kScroll)) {
        char bits[40];
        std::snprintf(bits, sizeof bits, "unknown bits 0x%08X", static_cast<unsigned>(unknown));
        add(bits);
    }
    return words.empty() ? "none" : words;
}

// What a cut or copy that prefers one effect means to a paste of files.
std::string_view PreferenceMeaning(std::uint32_t effect) {
    switch (effect) {
        case kCopy:
            return ": the files were copied, and a paste copies them";
        case kMove:
            return ": the files were cut, and a paste moves them";
        case kLink:
            return ": a paste makes shortcuts to them";
        default:
            return "";
    }
}

ShellContents ReadDropEffect(const ShellFormat& format, std::span<const std::uint8_t> block) {
    ShellContents contents;
    if (block.size() < 4) {
        contents.lines = "\r\nThe block's ";
        contents.lines += std::to_string(block.size()) + " bytes hold no drop effect.";
        return contents;
    }
    const std::uint32_t effect = ReadU32(block, 0);
    contents.lines = "\r\n" + std::string(format.about) + ": " + EffectValue(effect) + ": " +
                     EffectWords(effect);
    return contents;
}

// The source's choice, with what it means when it names one effect.
ShellContents ReadPreferredEffect(const ShellFormat& format, std::span<const std::uint8_t> block) {
    ShellContents contents = ReadDropEffect(format, block);
    if (block.size() >= 4) contents.lines += PreferenceMeaning(ReadU32(block, 0));
    return contents;
}

// "FileName" and "FileNameW": one path, ended by a zero.
ShellContents ReadPath(std::span<const std::uint8_t> block, bool wide) {
    ShellContents contents;
    const TextEncoding encoding = wide ? TextEncoding::Utf16 : TextEncoding::Ansi;
    const auto path = TextBytes(block, encoding);
    const std::string text = wide ? Utf8OfUtf16(path) : std::string(path.begin(), path.end());
    contents.lines = "\r\nPath: " + (text.empty() ? "none" : ShownName(text));
    if (block.size() - path.size() < (wide ? 2u : 1u))
        contents.lines += "\r\nThe path is not ended by a zero within the block.";
    contents.encoding = encoding;
    contents.text.assign(path.begin(), path.end());
    return contents;
}

ShellContents ReadPrivate(const ShellFormat& format, std::span<const std::uint8_t>) {
    ShellContents contents;
    contents.lines =
        "\r\n" + std::string(format.about) + " Its bytes are private to the program that put them.";
    return contents;
}

constexpr std::array kShellFormats{
    ShellFormat{"Preferred DropEffect", "drop effect", ReadPreferredEffect,
                "Preferred drop effect"},
    ShellFormat{"Performed DropEffect", "drop effect", ReadDropEffect,
                "Drop effect performed by the target"},
    ShellFormat{"Paste Succeeded", "drop effect", ReadDropEffect,
                "Paste succeeded, with the effect"},
    ShellFormat{"Logical Performed DropEffect", "drop effect", ReadDropEffect,
                "Drop effect performed by the target, as the user sees it"},
    ShellFormat{"FileGroupDescriptor", "virtual files",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadVirtualFiles(block, false);
                }},
    ShellFormat{"FileGroupDescriptorW", "virtual files",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadVirtualFiles(block, true);
                }},
    ShellFormat{"Shell IDList Array", "shell items",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadShellItems(block);
                }},
    ShellFormat{"Object Descriptor", "OLE object descriptor",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadObjectDescriptor(block, "OLE object");
                }},
    ShellFormat{"Link Source Descriptor", "OLE link source descriptor",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadObjectDescriptor(block, "OLE link source");
                }},
    ShellFormat{"FileName", "path",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadPath(block, false);
                }},
    ShellFormat{"FileNameW", "path",
                [](const ShellFormat&, std::span<const std::uint8_t> block) {
                    return ReadPath(block, true);
                }},
    ShellFormat{"DataObject", "OLE's own", ReadPrivate,
                "OLE's mark that an OLE data object holds the clipboard's data."},
    ShellFormat{"Ole Private Data", "OLE's own", ReadPrivate,
                "OLE's record of the formats of the data object that holds the clipboard's data."},
    ShellFormat{"Shell Object Offsets", "item positions", ReadPrivate,
                "Where the items of \"Shell IDList Array\" lay in the view they were copied or "
                "dragged from."},
    ShellFormat{"UntrustedDragDrop", "drag and drop", ReadPrivate,
                "The source's mark that the data comes from a place it does not trust, such as "
                "a web page."},
    ShellFormat{"InShellDragLoop", "drag and drop", ReadPrivate,
                "The shell's mark that the data is being dragged."},
    ShellFormat{"DropDescription", "drag and drop", ReadPrivate,
                "What the shell writes beside the pointer during a drag, such as \"Move to "
                "Documents\"."},
    ShellFormat{"DragImageBits", "drag image", ReadPrivate,
                "The picture the shell shows under the pointer during a drag."},
    ShellFormat{"DragContext", "drag image", ReadPrivate,
                "The shell's own record of a drag under way, for its drag picture."},
    ShellFormat{"DragWindow", "drag image", ReadPrivate,
                "The window that shows the picture under the pointer during a drag."},
    ShellFormat{"IsShowingLayered", "drag image", ReadPrivate,
                "The shell's note of how it shows the picture under the pointer during a drag."},
    ShellFormat{"IsComputingImage", "drag image", ReadPrivate,
                "The shell's note that it is making the picture shown during a drag."},
    ShellFormat{"ComputedDragImage", "drag image", ReadPrivate,
                "The shell's note that it made the picture shown during a drag."},
    ShellFormat{"UsingDefaultDragImage", "drag image", ReadPrivate,
                "The shell's note that the picture shown during a drag is its default one."},
    ShellFormat{"DisableDragText", "drag image", ReadPrivate,
                "The source's wish that the shell write no text beside the pointer during a "
                "drag."},
};

}  // namespace

const ShellFormat* FindShellFormat(std::string_view name) {
    for (const ShellFormat& format : kShellFormats)
        if (format.name == name) return &format;
    return nullptr;
}

std::string ShownName(std::string_view utf8) {
    if (utf8.size() <= kShownNameBytes) return VisibleText(utf8);
    return VisibleText(Utf8Prefix(utf8, kShownNameBytes)) + "...";
}

void ListLine::Add(std::string_view entry) {
    if (full_) return;
    const std::string shown = ShownName(entry);
    if (named_ > 0 && text_.size() + 2 + shown.size() > kListLineBytes) {
        full_ = true;
        return;
    }
    text_ += (named_++ == 0 ? "" : "; ") + shown;
}

std::string ListLine::Text(std::uint64_t total) const {
    if (total <= named_) return text_;
    return text_ + "; " + Grouped(total - named_) + " more in the text view";
}

std::string Grouped(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string CountText(std::uint64_t count, std::string_view one, std::string_view many) {
    return Grouped(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace norvane
