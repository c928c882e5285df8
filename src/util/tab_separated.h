// Tab-separated text, as the index of a save and the saved journal are
// written: one record a line, its fields between tabs.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

// `text` as one field of a line: a tab, a line break or any other control
// character inside becomes a blank.
inline std::string TabSeparatedField(std::string_view text) {
    std::string field(text);
    for (char& c : field)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return field;
}

}  // namespace norvane
