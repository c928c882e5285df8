// "Object Descriptor" and "Link Source Descriptor": OLE's OBJECTDESCRIPTOR
// of an object copied (or of the source a paste would link to), its size
// field first, the object's class, aspect, extent in HIMETRIC, status bits
// and the offsets of two UTF-16 strings within it: the full name of its
// type and the source of the copy (0 for none). A size field that lies
// about the block, a string outside the descriptor or without its zero is
// told; such a string is not shown.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "inspector/shell_formats.h"

namespace norvane {

// The header's lines, the first beginning with `what` ("OLE object").
ShellContents ReadObjectDescriptor(std::span<const std::uint8_t> block, std::string_view what);

}  // namespace norvane
