// Names chosen by other programs (window classes, registered formats, file
// names), made safe to show on one line and to save: every character that
// would break a line, or reorder the text around it, is written out as
// `\uXXXX` instead.
#pragma once

#include <string>
#include <string_view>

namespace norvane {

// True for the characters VisibleText writes out: the C0 and C1 controls,
// DEL, the line and paragraph separators, and the bidirectional marks,
// embeddings, overrides and isolates.
bool IsHiddenControl(char32_t character);

// `utf8` with each hidden control written as `\u` and four upper-case
// hexadecimal digits (`\u202E`). Bytes that are not well-formed UTF-8 are
// kept as they are: a byte alone is no line break or bidirectional control
// in any code page a name can come in.
std::string VisibleText(std::string_view utf8);

}  // namespace norvane
