#include "util/text_fields.h"

#include <algorithm>

namespace norvane {
namespace {

constexpr std::string_view kNumberCharacters = "+-0123456789";

bool IsNumberCharacter(char c) {
    return kNumberCharacters.find(c) != std::string_view::npos;
}

// One left-to-right pass that replaces non-overlapping occurrences.
std::string ReplaceEachOnce(std::string_view source, std::string_view find,
                            std::string_view replacement) {
    std::string result;
    result.reserve(source.size());
    std::size_t from = 0;
    for (std::size_t at; (at = source.find(find, from)) != std::string_view::npos;) {
        result.append(source, from, at - from).append(replacement);
        from = at + find.size();
    }
    result.append(source, from);
    return result;
}

}  // namespace

std::string ReplaceAllText(std::string_view source, std::string_view find,
                           std::string_view replacement) {
    if (source.empty() || find.empty()) return std::string(source);
    if (replacement.find(find) != std::string_view::npos)
        return ReplaceEachOnce(source, find, replacement);

    // Search again from the front after every replacement. The text before
    // a replaced occurrence held none, so only text from there on needs a
    // new look: characters move one at a time from `pending` (a stack, next
    // character last) to `done`, and an occurrence is the first time `done`
    // ends with `find`; its replacement goes back onto `pending`. Each
    // replacement costs its own length, not the length of the text.
    std::string done;
    done.reserve(source.size());
    std::string pending(source.rbegin(), source.rend());
    while (!pending.empty()) {
        done.push_back(pending.back());
        pending.pop_back();
        if (done.size() >= find.size() && std::string_view(done).ends_with(find)) {
            done.resize(done.size() - find.size());
            pending.append(replacement.rbegin(), replacement.rend());
        }
    }
    return done;
}

std::int32_t StrictToInt32(std::string_view text) {
    auto fail = [&]() -> std::int32_t {
        throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
    };
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return fail();
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return fail();
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{1} << 31) return fail();
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return fail();
    return static_cast<std::int32_t>(value);
}

std::int32_t ExtractNumber(std::string_view text) {
    // Keep the signs and digits in their order; a sign survives only as the
    // first of them.
    std::string kept;
    for (char c : text) {
        if (!IsNumberCharacter(c)) continue;
        if ((c == '+' || c == '-') && !kept.empty()) continue;
        kept.push_back(c);
    }
    if (kept.empty()) return 0;
    return StrictToInt32(kept);
}

std::int32_t ExtractNumberField(std::string_view text, std::string_view delimiter, int n) {
    auto find = [&](std::string_view in) {
        return delimiter.empty() ? std::string_view::npos : in.find(delimiter);
    };
    for (int skipped = 1; skipped < n; ++skipped) {
        const std::size_t at = find(text);
        if (at == std::string_view::npos) break;  // later passes would change nothing either
        text.remove_prefix(at + 1);
    }
    if (const std::size_t at = find(text); at != std::string_view::npos) text = text.substr(0, at);
    return ExtractNumber(text);
}

}  // namespace norvane
