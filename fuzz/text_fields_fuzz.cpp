// ReplaceAllText and ExtractNumberField against literal references written
// straight from their definitions.
#include "util/text_fields.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using norvane::ConversionError;

// Searches from the front after every replacement.
std::string NaiveReplace(std::string text, const std::string& find,
                         const std::string& replacement) {
    if (text.empty() || find.empty()) return text;
    for (std::size_t at; (at = text.find(find)) != std::string::npos;)
        text.replace(at, find.size(), replacement);
    return text;
}

// Each occurrence of the original text replaced once, left to right.
std::string EachOnce(const std::string& text, const std::string& find,
                     const std::string& replacement) {
    if (text.empty() || find.empty()) return text;
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, find.size(), find) == 0) {
            out += replacement;
            i += find.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool HasMarkerBytes(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 1 && c <= 5) return true;
    return false;
}

std::optional<std::int32_t> ReferenceNumber(const std::string& text) {
    std::string kept;
    for (char c : text)
        if (std::string("+-0123456789").find(c) != std::string::npos) kept += c;
    for (std::size_t i = 1; i < kept.size(); ++i)
        if (kept[i] == '+' || kept[i] == '-') kept[i] = 'a';
    kept = NaiveReplace(kept, "a", "");
    if (kept.empty()) return 0;
    if (kept == "+" || kept == "-") return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(kept.c_str(), &end, 10);
    if (errno || *end || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ReferenceField(std::string text, const std::string& delimiter, int n) {
    for (int i = 1; i < n; ++i) {
        const std::size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
        if (at != std::string::npos) text.erase(0, at + 1);
    }
    const std::size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    if (at != std::string::npos) text.erase(at);
    return ReferenceNumber(text);
}

template <class F>
std::optional<std::int32_t> Catching(F f) {
    try {
        return f();
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int n = in.ConsumeIntegralInRange<int>(-3, 40);
    const std::string find = in.ConsumeRandomLengthString(8);
    const std::string replacement = in.ConsumeRandomLengthString(16);
    const std::string source = in.ConsumeRemainingBytesAsString();

    if (!find.empty() && replacement.find(find) != std::string::npos) {
        const std::string got = norvane::ReplaceAllText(source, find, replacement);
        if (got != EachOnce(source, find, replacement)) std::abort();
        // Where the marker cannot meet the texts, the two marker passes agree.
        if (!HasMarkerBytes(source) && !HasMarkerBytes(find) && !HasMarkerBytes(replacement)) {
            const std::string marker = "\x01\x02\x03\x04\x05\x01";
            if (got != NaiveReplace(NaiveReplace(source, find, marker), marker, replacement))
                std::abort();
        }
    } else if (replacement.size() <= find.size()) {
        // A replacement that grows can make the text grow exponentially
        // ("ab" -> "bba"): no reference can follow it, and neither is run.
        if (norvane::ReplaceAllText(source, find, replacement) !=
            NaiveReplace(source, find, replacement))
            std::abort();
    }

    const auto field = Catching([&] { return norvane::ExtractNumberField(source, find, n); });
    if (field != ReferenceField(source, find, n)) std::abort();
    return 0;
}
