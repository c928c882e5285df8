// What the reader process answers, as any bytes: no read past the block
// (ASan), and a block taken as a reading is exactly that reading written
// again, so that nothing of it was made up or left unread.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "reader/reading_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> block(data, size);
    const auto reading = norvane::ReadReadingMessage(block);
    if (!reading) return 0;
    const std::vector<std::uint8_t> again = norvane::ReadingMessage(*reading);
    if (again.size() != size || !std::equal(again.begin(), again.end(), block.begin()))
        std::abort();
    return 0;
}
