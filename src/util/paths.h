#pragma once

#include <string>

namespace norvane {

// The running executable's full path, as the system reports it, of any length.
std::string ExecutablePath();
// Its folder, with the trailing backslash.
std::string ExecutableFolder();

// Whether a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

}  // namespace norvane
