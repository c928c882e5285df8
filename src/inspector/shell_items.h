// "Shell IDList Array" (a CIDA): the items Explorer copied or dragged, as
// a count, then the offsets of the folder's id list and of each item's, each
// list a run of SHITEMIDs (a 16-bit size that counts itself, then the id's
// bytes) ended by a size of 0. The bytes are only read, never given to the
// shell: an offset past the block, an id list without its end or an id
// shorter than its size field is told, and its list read no further.
#pragma once

#include <cstdint>
#include <span>

#include "inspector/shell_formats.h"

namespace norvane {

// The header's lines (the count, the folder's list and the first items'
// with their lengths and file-system names, and what lies) and the folder
// and items one a line for the text view (in the code page's characters).
ShellContents ReadShellItems(std::span<const std::uint8_t> block);

}  // namespace norvane
