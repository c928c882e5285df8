// One clipboard format's data as copied out of the clipboard: what kind of
// handle held it and its bytes, in a form that needs no handle any more.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clipboard/standard_formats.h"

namespace norvane {

struct FormatData {
    DataKind kind = DataKind::MemoryBlock;
    std::vector<std::uint8_t> bytes;
};

// The program whose window owns the clipboard's data.
struct OwnerProgram {
    unsigned long processId = 0;
    std::string fileName;  // without its folder; empty when it cannot be read
};

}  // namespace norvane
