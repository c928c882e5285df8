// What the About dialog shows that needs no window: the maker's messages,
// the free-memory figure and the e-mail link.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace norvane {

// Shown one at a time, drawn at random; the texts are the maker's own.
inline constexpr std::array<const char*, 11> kVarnokQuotes{
    "Since 1980, my passion has been writing useful computer sofware.",
    "I hope this program makes your work a little simpler, your play a little better, or your "
    "day a bit easier.",
    "Customer service is important to me.  Why not email me and test this for yourself ?",
    "Tired of software developers not supporting their programs or replying to emails ?  Email "
    "me and experience real customer service.",
    "Useful software needn't be expensive, and my catalog of software proves this.",
    "If you have any comments, suggestions, improvements, or feedback, please email me.",
    "Ensuring you get good value for money is very important to me. ",
    "Useful software needn't take up Gigabytes of disk space, and my catalog of software proves "
    "this.",
    "If you can't find a program you need anywhere, email me - I might be able to help.",
    "If you would like a special program written - email me - I might be able to help.",
    "Got a great idea for a computer program ?  Please email me and let me know.",
};

// The figures of the system's memory report that the figure is made of.
struct MemoryFigures {
    std::uint32_t memoryLoad = 0;  // percent of physical memory in use
    std::uint32_t totalPhys = 0, availPhys = 0;
    std::uint32_t totalPageFile = 0, availPageFile = 0;
};

// "63%" for a load of 37. Only a load of 0 computes the figure from the
// amounts; with nothing reported at all it reads "0%".
std::string FreeMemoryText(const MemoryFigures& figures);

// "mailto:" + address + "?subject=Shareware: " + the executable's file name,
// given in UTF-8 (RFC 6068), with the bytes that would end or change the
// link, and every byte beyond ASCII, percent-encoded.
std::string EmailLinkText(std::string_view address, std::string_view executableName);

// The file name of a path, without its folder.
std::string_view FileNameOf(std::string_view path);

}  // namespace norvane
