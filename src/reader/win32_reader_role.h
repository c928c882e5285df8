// The reader process's side: norvanel.exe started by the program with a
// channel named after it reads formats from the clipboard on request and
// hands back what it read, until the program ends. It has no visible
// window and writes no file and no registry value.
#pragma once

#include <optional>

namespace norvane {

// Serves as the reader when this process was started as one, and then
// gives the process's exit code; nothing for a process started otherwise.
std::optional<int> RunAsReaderIfAsked();

}  // namespace norvane
