// "FileGroupDescriptor" and "FileGroupDescriptorW": files that lie in no
// folder (a mail's attachments, an archive's members), as a count and a
// FILEDESCRIPTOR of each (332 bytes with a name of 260 narrow characters,
// 592 with 260 wide ones). Each file's bytes are a "FileContents" of its
// index, which the owner gives only when asked. A count beyond the block,
// or a name without its terminator, is told.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "inspector/shell_formats.h"

namespace norvane {

// The header's lines (the count and the first files with what their flags
// say is present: size, attributes, times) and the files one a line for the
// text view (UTF-8 when wide, the code page's otherwise).
ShellContents ReadVirtualFiles(std::span<const std::uint8_t> block, bool wide);

// A FILETIME (100 ns since 1601-01-01) as its UTC minute: "2026-12-01 10:15".
std::string FileTimeText(std::uint64_t fileTime);

}  // namespace norvane
