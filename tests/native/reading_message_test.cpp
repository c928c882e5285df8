#include "reader/reading_message.h"

#include <gtest/gtest.h>

#include <cstring>

namespace norvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

FormatReading Sample() {
    FormatReading r;
    r.outcome = ReadOutcome::Read;
    r.data = {DataKind::EnhancedMetafile, Bytes{1, 2, 3, 0, 255}};
    r.hasOwner = true;
    r.ownerClass = "Owner\xE2\x80\xAE";
    r.program = {4242, "owner.exe"};
    r.holderProgram = {7, ""};
    r.failure = "none";
    r.readMs = 1240;
    return r;
}

void ExpectSame(const FormatReading& a, const FormatReading& b) {
    EXPECT_EQ(a.outcome, b.outcome);
    EXPECT_EQ(a.data.kind, b.data.kind);
    EXPECT_EQ(a.data.bytes, b.data.bytes);
    EXPECT_EQ(a.failure, b.failure);
    EXPECT_EQ(a.hasOwner, b.hasOwner);
    EXPECT_EQ(a.ownerClass, b.ownerClass);
    EXPECT_EQ(a.program.processId, b.program.processId);
    EXPECT_EQ(a.program.fileName, b.program.fileName);
    EXPECT_EQ(a.hasHolder, b.hasHolder);
    EXPECT_EQ(a.holderClass, b.holderClass);
    EXPECT_EQ(a.holderProgram.processId, b.holderProgram.processId);
    EXPECT_EQ(a.readMs, b.readMs);
}

TEST(ReadingMessage, EveryFieldComesBackAsItWent) {
    FormatReading held;
    held.outcome = ReadOutcome::ClipboardHeld;
    held.hasHolder = true;
    held.holderClass = "Holder";
    held.holderProgram = {99, "holder.exe"};
    for (const FormatReading& r : {Sample(), held, FormatReading{}}) {
        const Bytes message = ReadingMessage(r);
        EXPECT_EQ(message.size(), ReadingMessageSize(r));
        const auto back = ReadReadingMessage(message);
        ASSERT_TRUE(back);
        ExpectSame(*back, r);
    }
}

// A reader that answers garbage gives no reading: the block cut anywhere,
// a byte too many, or a field whose value no reading has.
TEST(ReadingMessage, AnythingButAWholeReadingIsRefused) {
    const Bytes whole = ReadingMessage(Sample());
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(ReadReadingMessage({whole.data(), cut})) << "cut at " << cut;
    Bytes longer = whole;
    longer.push_back(0);
    EXPECT_FALSE(ReadReadingMessage(longer));

    const auto changed = [&](std::size_t at, std::uint32_t value) {
        Bytes bytes = whole;
        std::memcpy(bytes.data() + at, &value, 4);  // the tests run little-endian
        return bytes;
    };
    const struct {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    } lies[] = {
        {"magic", 0, 0x44525658},
        {"outcome past the last", 4, 5},
        {"kind past the last", 8, 7},
        {"unknown flags", 12, 4},
        {"failure's length past the end", 28, 0xFFFFFFF0},
        {"failure's length past the longest name", 28, 1 << 17},
        {"data's length one short", whole.size() - 5 - 4, 4},
        {"data's length past the end", whole.size() - 5 - 4, 0xFFFFFFFF},
    };
    for (const auto& lie : lies)
        EXPECT_FALSE(ReadReadingMessage(changed(lie.at, lie.value))) << lie.what;
}

TEST(ReadingMessage, TheWholeClipboardComesBackAndACountThatLiesIsRefused) {
    const ClipboardSnapshot snapshot{Sample(),
                                     {{1, "", Sample()}, {0xC100, "HTML Format", FormatReading{}}}};
    const Bytes message = SnapshotMessage(snapshot);
    const auto back = ReadSnapshotMessage(message);
    ASSERT_TRUE(back);
    ExpectSame(back->clipboard, snapshot.clipboard);
    ASSERT_EQ(back->formats.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back->formats[i].format, snapshot.formats[i].format);
        EXPECT_EQ(back->formats[i].registeredName, snapshot.formats[i].registeredName);
        ExpectSame(back->formats[i].reading, snapshot.formats[i].reading);
    }
    const std::size_t countAt = 4 + 4 + ReadingMessage(Sample()).size();
    for (const std::uint32_t count : {1u, 3u, 0xFFFFFFFFu}) {
        Bytes lying = message;
        std::memcpy(lying.data() + countAt, &count, 4);
        EXPECT_FALSE(ReadSnapshotMessage(lying)) << count;
    }
    EXPECT_FALSE(ReadReadingMessage(message));  // one kind of block is never taken for the other
    EXPECT_FALSE(ReadSnapshotMessage(ReadingMessage(Sample())));
}

}  // namespace
}  // namespace norvane
