// A file that holds its old content or the new, never a part of either:
// the new is written beside it under a name of our own, flushed to the
// disk, and only then renamed over it, the rename itself written through.
// Declared here, written for Windows in win32_durable_file.cpp.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

namespace norvane {

// Writes `parts` one after the other to `path`; when it cannot, the
// failure's text with the system's reason ("The file "..." could not be
// written: ..."), and then nothing is left beside it.
std::optional<std::string> WriteFileDurably(
    const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts);

// The system's text for an error code, without its line break.
std::string SystemReason(unsigned long error);

}  // namespace norvane
