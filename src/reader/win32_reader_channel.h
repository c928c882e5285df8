// What the program and its reader process share: a small block of memory
// and two events, named after the reader's process id. The program makes
// them before the reader runs its first instruction (it is started
// suspended); a process that finds a channel named after itself is a
// reader, any other is the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace norvane {

// What a request asks the reader to read.
enum class ReaderRequest : std::uint32_t {
    Format,     // one format: a reading message
    Clipboard,  // every format: a snapshot message
    Viewer,     // the viewer's text and picture (`format`: 1 text, 2 picture): a snapshot message
};

struct ReaderChannel {
    std::uint32_t programId;  // the process the reader serves, and ends with
    std::uint32_t request;    // set by the program: a new number for each reading
    ReaderRequest kind;
    std::uint32_t format;      // the format to read
    std::uint32_t answered;    // set by the reader: the request its answer is for
    std::uint64_t answer;      // the reader's handle of the section holding the answer
    std::uint32_t answerSize;  // the answer's bytes at the start of that section
};

inline std::string ReaderChannelName(DWORD readerId, const char* part) {
    return "Local\\Norvane.Reader." + std::to_string(readerId) + part;
}

}  // namespace norvane
