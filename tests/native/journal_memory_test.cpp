// The journal's memory for a full ring counted as allocated, not as the
// journal estimates it: every operator new of this program is counted.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "journal/clipboard_journal.h"

namespace {

// Bytes asked of operator new and not yet given back.
std::size_t liveBytes = 0;

// Each block keeps its size in front of it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    liveBytes += size;
    return static_cast<char*>(block) + kHeader;
}

void Free(void* data) noexcept {
    if (!data) return;
    void* block = static_cast<char*>(data) - kHeader;
    liveBytes -= *static_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* data) noexcept {
    Free(data);
}
void operator delete[](void* data) noexcept {
    Free(data);
}
void operator delete(void* data, std::size_t) noexcept {
    Free(data);
}
void operator delete[](void* data, std::size_t) noexcept {
    Free(data);
}

namespace norvane {
namespace {

struct Owner {
    std::string windowClass, program, formatNames;
};

// The owner of change n.
using Owners = std::function<Owner(std::uint32_t n)>;

// What a journal holding the changes of `owners`, a full ring and more,
// allocates: all of it, the journal object and its ring included.
std::size_t CountedBytes(const Owners& owners, std::size_t changes, std::size_t* estimated,
                         std::size_t* kept) {
    const std::size_t before = liveBytes;
    auto journal = std::make_unique<ClipboardJournal>();
    for (std::uint32_t n = 0; n < changes; ++n) {
        const Owner owner = owners(n);
        ClipboardChange change;
        change.tick = n * 2'000;
        change.sequence = 10 + n * 4;
        change.owner = JournalWindow{owner.windowClass, owner.program, 100 + n % 97};
        change.formats = 4;
        change.formatNames = owner.formatNames;
        journal->RecordChange(change);
    }
    *estimated = journal->MemoryUsed();
    *kept = journal->Size();
    return liveBytes - before;
}

void ExpectWithinTheBound(const char* what, const Owners& owners) {
    std::size_t estimated = 0, kept = 0;
    const std::size_t counted =
        CountedBytes(owners, ClipboardJournal::kCapacity + 2'000, &estimated, &kept);
    std::printf("%s: %zu entries kept, %zu bytes allocated, %zu estimated\n", what, kept, counted,
                estimated);
    EXPECT_LE(counted, ClipboardJournal::kMemoryLimit);
    // The journal's own count, by which it drops entries early, is honest.
    EXPECT_LE(counted, estimated + 1'024);
}

TEST(JournalMemory, AFullRingOfEverydayProgramsIsCountedWithinTwoMegabytes) {
    const std::string text = "CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT";
    const std::string browser =
        "DataObject, text/html, HTML Format, Chromium internal source URL, "
        "Chromium internal source RFH token, CF_UNICODETEXT, CF_LOCALE, CF_TEXT, CF_OEMTEXT";
    const std::string picture = "CF_BITMAP, CF_DIB, CF_DIBV5";
    std::vector<Owner> owners;
    for (int n = 0; n < 60; ++n) {
        const std::string number = std::to_string(n);
        owners.push_back({"Chrome_WidgetWin_" + number, "program number " + number + ".exe",
                          n % 3 == 0   ? browser
                          : n % 3 == 1 ? text
                                       : picture});
    }
    ExpectWithinTheBound("everyday", [&](std::uint32_t n) { return owners[n % owners.size()]; });
}

TEST(JournalMemory, AFullRingOfTheLongestNamesAllDifferentIsCountedWithinTwoMegabytes) {
    ExpectWithinTheBound("longest", [](std::uint32_t n) {
        const std::string unique = std::to_string(n) + "-";
        return Owner{unique + std::string(ClipboardJournal::kLongestName, 'c'),
                     unique + std::string(ClipboardJournal::kLongestName, 'p'),
                     unique + std::string(ClipboardJournal::kLongestFormatNames, 'f')};
    });
}

}  // namespace
}  // namespace norvane
