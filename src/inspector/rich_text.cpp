#include "inspector/rich_text.h"

#include <algorithm>
#include <array>

namespace norvane {
namespace {

constexpr std::array kRichTextFormats{
    std::string_view{"Rich Text Format"},
    std::string_view{"Rich Text Format Without Objects"},
    std::string_view{"RTF As Text"},
};

constexpr bool IsLetter(std::uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool IsDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

constexpr bool IsHexDigit(std::uint8_t c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

struct Nesting {
    std::uint32_t groups = 0;
    std::uint32_t tables = 0;
    std::optional<std::string> fault;  // a control that readers take in different ways
    bool Within() const {
        return groups <= kMaxRichTextNesting && tables <= kMaxRichTextNesting && !fault;
    }
};

// How deep the groups and tables of `rtf` nest, counted until either is
// too deep or a control is found that readers may take in different ways.
// With `skipBinary` the N bytes after "\binN " are data, as RTF has it;
// without, they are read as any others. A reader may do either, so both
// are counted: braces hidden in such data change neither count's verdict
// unseen. A \' takes two hexadecimal digits: a reader that takes any two
// characters would swallow braces this count sees, so one without them is
// a fault, as is \binN that claims more bytes than follow it.
Nesting DeepestNesting(std::span<const std::uint8_t> rtf, bool skipBinary) {
    Nesting deepest;
    std::uint32_t depth = 0;
    std::size_t i = 0;
    while (i < rtf.size() && deepest.Within()) {
        const std::size_t at = i;
        const std::uint8_t c = rtf[i++];
        if (c == '{') {
            deepest.groups = std::max(deepest.groups, ++depth);
        } else if (c == '}') {
            if (depth > 0) --depth;
        } else if (c == '\\' && i < rtf.size() && rtf[i] == '\'') {
            if (rtf.size() - i < 3 || !IsHexDigit(rtf[i + 1]) || !IsHexDigit(rtf[i + 2]))
                deepest.fault = "its \\' at offset " + std::to_string(at) +
                                " is not followed by two hexadecimal digits.";
            i += 3;
        } else if (c == '\\' && i < rtf.size() && !IsLetter(rtf[i])) {
            ++i;  // a control symbol, as \{ \} \\: the character is no brace
        } else if (c == '\\') {
            const std::size_t word = i;
            while (i < rtf.size() && IsLetter(rtf[i])) ++i;
            const std::string_view name(reinterpret_cast<const char*>(rtf.data()) + word, i - word);
            const bool negative = i < rtf.size() && rtf[i] == '-';
            if (negative) ++i;
            std::uint64_t number = 0;  // held below 2^32 + 10
            for (; i < rtf.size() && IsDigit(rtf[i]); ++i)
                number = std::min<std::uint64_t>(number * 10 + (rtf[i] - '0'), UINT32_MAX);
            if (negative) continue;
            if (name == "itap")
                deepest.tables = std::max(deepest.tables, static_cast<std::uint32_t>(number));
            if (skipBinary && name == "bin") {
                if (i < rtf.size() && rtf[i] == ' ') ++i;
                if (number > rtf.size() - i)
                    deepest.fault = "its \\bin at offset " + std::to_string(at) + " claims " +
                                    std::to_string(number) + " bytes of data; " +
                                    std::to_string(rtf.size() - i) + " follow it.";
                i += static_cast<std::size_t>(std::min<std::uint64_t>(number, rtf.size() - i));
            }
        }
    }
    return deepest;
}

}  // namespace

bool IsRichTextFormat(std::string_view registeredName) {
    return std::ranges::find(kRichTextFormats, registeredName) != kRichTextFormats.end();
}

std::optional<std::string> RichTextProblem(std::span<const std::uint8_t> rtf) {
    constexpr std::string_view kStart = "{\\rtf";
    const std::string prefix = "The formatted view is not shown: ";
    if (rtf.size() < kStart.size() || !std::equal(kStart.begin(), kStart.end(), rtf.begin()))
        return prefix + "the text does not begin with \"{\\rtf\".";
    const std::string levels =
        " nest deeper than " + std::to_string(kMaxRichTextNesting) + " levels.";
    for (const bool skipBinary : {true, false}) {
        const Nesting nesting = DeepestNesting(rtf, skipBinary);
        if (nesting.groups > kMaxRichTextNesting) return prefix + "its groups" + levels;
        if (nesting.tables > kMaxRichTextNesting) return prefix + "its tables" + levels;
        if (nesting.fault) return prefix + *nesting.fault;
    }
    return std::nullopt;
}

std::string RichTextCutLine(std::size_t shown, std::size_t total) {
    return "The formatted view shows the first " + std::to_string(shown) + " of the RTF's " +
           std::to_string(total) + " bytes.";
}

}  // namespace norvane
