#include "inspector/save_all_formats.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>

#include "fakes/fake_clipboard.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using Bytes = std::vector<std::uint8_t>;

// A clipboard whose copy of one format runs out of memory, as a huge block
// can in a 32-bit process.
class ClipboardWithAHugeFormat : public FakeClipboard {
  public:
    unsigned huge = 0;
    std::optional<FormatData> CopyFormatData(unsigned format) override {
        if (format == huge) {
            calls.push_back("CopyFormatData");
            throw std::bad_alloc();
        }
        return FakeClipboard::CopyFormatData(format);
    }
};

CopiedFormat Copied(unsigned format, std::string registeredName, DataKind kind) {
    CopiedFormat copied{format, std::move(registeredName), {}};
    copied.reading.data.kind = kind;
    return copied;
}

TEST(SaveAllFormats, EveryFormatCopiedWithTheClipboardOpenedOnce) {
    ClipboardWithAHugeFormat clipboard;
    clipboard.formats = {{1, ""}, {49300, "Huge"}, {49301, "Delayed"}};
    clipboard.data[1] = FormatData{DataKind::MemoryBlock, Bytes{'H', 'i', 0}};
    clipboard.data[49301] = std::nullopt;
    clipboard.huge = 49300;
    clipboard.owner = reinterpret_cast<WindowHandle>(7);
    clipboard.ownerClass = "Notepad";
    clipboard.ownerProgram = {42, "notepad.exe"};

    const ClipboardSnapshot snapshot = CopyAllFormats(clipboard, nullptr);
    EXPECT_THAT(clipboard.calls,
                ElementsAre("Open", "CopyFormatData", "CopyFormatData", "CopyFormatData", "Close"));
    ASSERT_EQ(snapshot.formats.size(), 3u);
    EXPECT_EQ(snapshot.formats[0].reading.data.bytes, (Bytes{'H', 'i', 0}));
    EXPECT_EQ(NotReadReason(snapshot.formats[1].reading),
              "there is not enough memory for a copy of its data");
    EXPECT_EQ(NotReadReason(snapshot.formats[2].reading), "its owner did not render it");
    EXPECT_EQ(snapshot.formats[1].registeredName, "Huge");
    EXPECT_EQ(OwnerText(snapshot.formats[2].reading),
              "A Notepad Class Window of notepad.exe, process id 42");
}

TEST(SaveAllFormats, FormatsPastWhatOneSaveHoldsAreNotCopied) {
    FakeClipboard clipboard;
    clipboard.formats = {{1, ""}, {49300, "Second"}, {49301, "Third"}};
    for (unsigned format : {1u, 49300u, 49301u})
        clipboard.data[format] = FormatData{DataKind::MemoryBlock, Bytes(600, 1)};

    const ClipboardSnapshot snapshot = CopyAllFormats(clipboard, nullptr, 1000);
    ASSERT_EQ(snapshot.formats.size(), 3u);
    EXPECT_EQ(snapshot.formats[1].reading.data.bytes.size(), 600u);
    EXPECT_EQ(NotReadReason(snapshot.formats[2].reading),
              "the formats before it took 1200 bytes, as much as one save holds at once");
    EXPECT_EQ(clipboard.calls.back(), "Close");
}

TEST(SaveAllFormats, FolderNamedAfterTheTimeAndNumberedWhenTaken) {
    const LocalTime time{2026, 12, 8, 17, 5, 3};
    EXPECT_EQ(SnapshotFolderName(time), "Clipboard 2026-12-08 17-05-03");
    EXPECT_EQ(SnapshotFolderName(time, 2), "Clipboard 2026-12-08 17-05-03 (2)");
}

TEST(SaveAllFormats, FilesNamedByNumberAndASafeNameWithTheExtensionSaveAsProposes) {
    EXPECT_EQ(FormatFileName(Copied(13, "", DataKind::MemoryBlock)), "00013 CF_UNICODETEXT.txt");
    EXPECT_EQ(FormatFileName(Copied(49161, "HTML Format", DataKind::MemoryBlock)),
              "49161 HTML Format.txt");
    EXPECT_EQ(FormatFileName(Copied(49170, "Norvane Bytes", DataKind::MemoryBlock)),
              "49170 Norvane Bytes.bin");
    EXPECT_EQ(FormatFileName(Copied(2, "", DataKind::Bitmap)), "00002 CF_BITMAP.bmp");
    EXPECT_EQ(FormatFileName(Copied(49200, "a<b>c:d\"e/f\\g|h?i*j\tk\x7Fl", DataKind::MemoryBlock)),
              "49200 a_b_c_d_e_f_g_h_i_j_k_l.bin");
    const std::string longName(254, 'n');
    EXPECT_EQ(FormatFileName(Copied(49201, longName, DataKind::MemoryBlock)),
              "49201 " + std::string(kFileNameNameChars, 'n') + ".bin");

    // Under a double-byte code page (here: bytes from 0x81 lead, as in
    // Shift-JIS) a character is never cut, nor its second byte replaced.
    const LeadByteTest shiftJis = [](unsigned char byte) { return byte >= 0x81; };
    const struct {
        std::string name, file;
    } kDoubleByteNames[] = {
        {"\x95\\|"
         "\x95|",
         "49202 \x95\\_\x95|.bin"},  // "表" is 0x95 0x5C
        {std::string(63, 'n') + "\x95\x5C", "49202 " + std::string(63, 'n') + ".bin"},
        {std::string(62, 'n') + "\x95\x5C", "49202 " + std::string(62, 'n') + "\x95\x5C.bin"},
        {"ab\x95", "49202 ab.bin"},  // a lead byte with nothing after it
    };
    for (const auto& c : kDoubleByteNames)
        EXPECT_EQ(FormatFileName(Copied(49202, c.name, DataKind::MemoryBlock), shiftJis), c.file);
}

TEST(SaveAllFormats, IndexHasALineAFormatWithWhatBecameOfIt) {
    std::vector<CopiedFormat> formats{
        Copied(1, "", DataKind::MemoryBlock), Copied(49300, "Two\tcolumns", DataKind::MemoryBlock),
        Copied(2, "", DataKind::Bitmap), Copied(49301, "Spoof\u202Egnp.exe", DataKind::MemoryBlock),
        Copied(49302, "Preferred DropEffect", DataKind::MemoryBlock)};
    formats[0].reading.data.bytes = {'H', 'i', 0};
    formats[0].reading.hasOwner = true;
    formats[0].reading.ownerClass = "Notepad";
    formats[0].reading.program = {42, "notepad.exe"};
    formats[1].reading.outcome = ReadOutcome::NotRendered;
    formats[2].reading.outcome = ReadOutcome::Failed;
    formats[2].reading.failure = "there is not enough memory for a copy of its data";
    formats[3].reading.data.bytes = {1};
    formats[3].reading.hasOwner = true;
    formats[3].reading.ownerClass = "Spoof\r\nOwner: A Trusted";
    formats[3].reading.program = {4, "a\u2029b.exe"};
    formats[4].reading.data.bytes = {2, 0, 0, 0};
    const std::string index =
        IndexText(formats, {"00001 CF_TEXT.txt", "not read: its owner did not render it",
                            "not read: there is not enough\r\nmemory", "49301 Spoof\u202Egnp.bin",
                            "49302 Preferred DropEffect.bin"});
    EXPECT_EQ(index,
              "Number\tName\tKind\tBytes\tOwner\tFile\r\n"
              "1\tCF_TEXT\ta memory block\t3\tA Notepad Class Window of notepad.exe, process id "
              "42\t00001 CF_TEXT.txt\r\n"
              "49300\tTwo\\u0009columns\ta memory block\t\tnone\tnot read: its owner did not "
              "render it\r\n"
              "2\tCF_BITMAP\ta bitmap\t\tnone\tnot read: there is not enough  memory\r\n"
              "49301\tSpoof\\u202Egnp.exe\ta memory block\t1\tA Spoof\\u000D\\u000AOwner: A "
              "Trusted Class "
              "Window of a\\u2029b.exe, process id 4\t49301 Spoof\\u202Egnp.bin\r\n"
              "49302\tPreferred DropEffect\ta memory block (drop effect)\t4\tnone\t49302 Preferred "
              "DropEffect.bin\r\n");
}

}  // namespace
}  // namespace norvane
