// Whether a file is in use, its attribute flags, and removal of a file that
// nobody holds open. Each routine reports through its result only.
#pragma once

#include <string>

namespace norvane {

inline constexpr char kFileClosed[] = "CLOSED";       // exists, nobody holds it
inline constexpr char kFileNotFound[] = "NOT FOUND";  // vanished or its medium failed
inline constexpr char kFileOpen[] = "OPEN";           // another program holds it
inline constexpr char kFileError[] = "ERROR";         // any other failure (read-only...)

// The status for a failed exclusive open with this system error code.
const char* FileStatusForOpenError(unsigned code);

// One of the texts above, or empty when the name is empty or no such file
// exists. Names of 128 characters or more are not examined: "CLOSED".
std::string CheckFileStatus(const std::string& name);

// Sets exactly the chosen flags; true when the flags read back are those set.
bool SetFileAttributeFlags(const std::string& name, bool readOnly, bool archive, bool system,
                           bool hidden);

// Clears the file's flags and deletes it when nobody holds it open; true
// when it is gone afterwards.
bool DeleteClosedFile(const std::string& name);

}  // namespace norvane
