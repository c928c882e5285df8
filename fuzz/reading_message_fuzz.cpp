// What the reader process answers, as any bytes: no read past the block
// (ASan), and a block taken as a reading (or a whole clipboard) is exactly
// what it holds written again, so that nothing was made up or left unread.
#include "reader/reading_message.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> block(data, size);
    const auto same = [&](const std::vector<std::uint8_t>& again) {
        if (again.size() != size || !std::equal(again.begin(), again.end(), block.begin()))
            std::abort();
    };
    if (const auto reading = norvane::ReadReadingMessage(block))
        same(norvane::ReadingMessage(*reading));
    if (const auto snapshot = norvane::ReadSnapshotMessage(block))
        same(norvane::SnapshotMessage(*snapshot));
    return 0;
}
