// A reading as the reader process hands it over: one block of its fields
// one after the other, the data's bytes last, written in place into memory
// that both processes map. What comes back from the reader is checked
// before it is taken: a reader that answers garbage gives no reading.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "reader/format_reading.h"

namespace norvane {

// The block's size; nothing when it would not fit in 32 bits.
std::optional<std::uint32_t> ReadingMessageSize(const FormatReading& reading);
// Writes the reading into `out`, of ReadingMessageSize bytes.
void WriteReadingMessage(const FormatReading& reading, std::span<std::uint8_t> out);
std::vector<std::uint8_t> ReadingMessage(const FormatReading& reading);

// The reading `message` holds, the whole of it and nothing after it;
// nothing when it is not such a block.
std::optional<FormatReading> ReadReadingMessage(std::span<const std::uint8_t> message);

// The whole clipboard the same way: the clipboard's own reading, then each
// format's number, name and reading.
std::optional<std::uint32_t> SnapshotMessageSize(const ClipboardSnapshot& snapshot);
void WriteSnapshotMessage(const ClipboardSnapshot& snapshot, std::span<std::uint8_t> out);
std::vector<std::uint8_t> SnapshotMessage(const ClipboardSnapshot& snapshot);
std::optional<ClipboardSnapshot> ReadSnapshotMessage(std::span<const std::uint8_t> message);

}  // namespace norvane
