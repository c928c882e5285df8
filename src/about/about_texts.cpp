#include "about/about_texts.h"

#include <cmath>

namespace norvane {

std::string FreeMemoryText(const MemoryFigures& m) {
    if (m.memoryLoad > 0) {
        const std::uint32_t load = m.memoryLoad > 100 ? 100 : m.memoryLoad;
        return std::to_string(100 - load) + "%";
    }
    // Whole kilobytes of physical memory, fractional ones of the page file.
    const double free = static_cast<double>(m.availPhys / 1024) + m.availPageFile / 1024.0;
    const double total = static_cast<double>(m.totalPhys / 1024) + m.totalPageFile / 1024.0;
    if (total <= 0) return "0%";
    const double figure = std::floor(free / total * 100 + 0.5);
    return std::to_string(static_cast<long long>(figure)) + "%";
}

std::string EmailLinkText(std::string_view address, std::string_view executableName) {
    std::string link = "mailto:";
    link += address;
    link += "?subject=Shareware: ";
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : executableName) {
        const auto byte = static_cast<unsigned char>(ch);
        const bool unsafe =
            byte < 0x20 || byte >= 0x7F || ch == '%' || ch == '&' || ch == '#' || ch == '+';
        if (!unsafe) {
            link += ch;
            continue;
        }
        link += '%';
        link += kHex[byte >> 4];
        link += kHex[byte & 15];
    }
    return link;
}

std::string_view FileNameOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace norvane
