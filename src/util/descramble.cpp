#include "util/descramble.h"

namespace norvane {

std::string DescrambleText(std::string_view stored) {
    std::string text(stored);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned code = static_cast<unsigned char>(text[i]);
        text[i] = static_cast<char>(static_cast<unsigned char>(code - (i + 1) % 5));
    }
    for (std::size_t i = 1; i + 3 < text.size(); i += 2) std::swap(text[i], text[i + 3]);
    return text;
}

}  // namespace norvane
