// An enumeration that names the entries of a table, in order: the compiler
// checks that each enumerator is spelt as the name of the entry at its index,
// so a table and its enumeration cannot drift apart unnoticed.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

namespace norvane {

// How the compiler spells the value V in this function's signature:
// "... V = ns::Part::Name; ..." (GCC) or "... [V = ns::Part::Name]" (Clang),
// and for a value no enumerator has, a cast such as "(ns::Part)5".
template <auto V>
consteval std::string_view SpelledValue() {
    const std::string_view signature = __PRETTY_FUNCTION__;
    const std::size_t start = signature.find("V = ") + 4;
    return signature.substr(start, signature.find_first_of(";]", start) - start);
}

// The enumerator's own name, or "" when no enumerator has the value V.
template <auto V>
consteval std::string_view EnumeratorName() {
    const std::string_view spelled = SpelledValue<V>();
    if (spelled.starts_with("(")) return {};
    return spelled.substr(spelled.rfind("::") + 2);
}

// True when the enumerators of Names, from 0 up, are exactly the names of
// the table's entries (each with a `name`), in their order.
template <class Names, class Entry, std::size_t N>
consteval bool NamesInOrder(const std::array<Entry, N>& table) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return ((EnumeratorName<static_cast<Names>(I)>() == std::string_view(table[I].name)) &&
                ...);
    }
    (std::make_index_sequence<N>{}) && EnumeratorName<static_cast<Names>(N)>().empty();
}

}  // namespace norvane
