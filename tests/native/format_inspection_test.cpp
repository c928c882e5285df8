#include "inspector/format_inspection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "clipboard/packed_dib.h"
#include "fakes/fake_clipboard.h"
#include "inspector/data_headers.h"
#include "inspector/hex_dump.h"
#include "inspector/saved_file.h"
#include "util/little_endian.h"
#include "util/placeable_metafile.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

Bytes Counting(std::size_t size) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0x3E});
    return bytes;
}

// A BITMAPINFOHEADER DIB: header, `tableEntries` colours or masks, then `pixels` bytes.
Bytes Dib(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t compression,
          std::size_t extraWords, std::size_t pixels, std::uint32_t colorsUsed = 0) {
    Bytes out;
    for (std::uint32_t v :
         {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        PutU32(out, v);
    PutU16(out, 1);
    PutU16(out, bits);
    for (std::uint32_t v : {compression, 0u, 0u, 0u, colorsUsed, 0u}) PutU32(out, v);
    out.resize(out.size() + 4 * extraWords + pixels, 0x5A);
    return out;
}

Bytes MetafilePicture(std::int32_t mode, std::int32_t xExt, std::int32_t yExt, bool withWindow) {
    Bytes records;
    if (withWindow) {
        for (std::uint32_t function : {0x020Bu, 0x020Cu}) {
            PutU32(records, 5);
            PutU16(records, function);
            PutU16(records, function == 0x020C ? 100 : 0);  // y, then x
            PutU16(records, function == 0x020C ? 200 : 0);
        }
    }
    PutU32(records, 3);
    PutU16(records, 0);  // the end record
    Bytes out;
    for (std::int32_t v : {mode, xExt, yExt}) PutU32(out, static_cast<std::uint32_t>(v));
    PutU16(out, 1);
    PutU16(out, 9);
    PutU16(out, 0x300);
    PutU32(out, static_cast<std::uint32_t>((18 + records.size()) / 2));
    PutU16(out, 0);
    PutU32(out, 5);
    PutU16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

Bytes EnhMetafile(std::uint32_t claimedBytes, std::uint32_t records) {
    Bytes out;
    for (std::uint32_t v : {1u, 88u}) PutU32(out, v);
    for (std::int32_t v : {-3, 4, 99, 49}) PutU32(out, static_cast<std::uint32_t>(v));
    out.resize(40, 0);
    for (std::uint32_t v : {0x464D4520u, 0x10000u, claimedBytes, records}) PutU32(out, v);
    out.resize(88, 0);
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) PutU32(out, v);  // the end record
    return out;
}

Bytes Joined(const FileContent& file) {
    Bytes out = file.prefix;
    out.insert(out.end(), file.body.begin(), file.body.end());
    return out;
}

TEST(HexDump, LinesFromAnyRangeWithShortLastLine) {
    const Bytes bytes = Counting(0x23);
    EXPECT_EQ(DumpLineCount(0), 0u);
    EXPECT_EQ(DumpLineCount(16), 1u);
    EXPECT_EQ(DumpLineCount(bytes.size()), 3u);
    EXPECT_THAT(DumpLines(bytes, 1, 5),
                ElementsAre("00000010  4E 4F 50 51 52 53 54 55  56 57 58 59 5A 5B 5C 5D  "
                            "NOPQRSTUVWXYZ[\\]",
                            "00000020  5E 5F 60                                          ^_`"));
    EXPECT_THAT(DumpLines(bytes, 3, 1), ElementsAre());
    const Bytes unprintable{0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xFF};
    const std::string line = DumpLine(unprintable, 0);
    const std::size_t charColumn = DumpLine(bytes, 0).size() - 16;
    EXPECT_EQ(line.substr(0, charColumn),
              "00000000  00 1F 20 7E 7F 80 FF" + std::string(charColumn - 30, ' '));
    EXPECT_EQ(line.substr(charColumn), ".. ~...");
}

TEST(HexDump, ALineFarIntoALargeBlockCarriesItsOffset) {
    const Bytes block(64 << 20, 0x41);
    const std::size_t last = DumpLineCount(block.size()) - 1;
    EXPECT_EQ(DumpLine(block, last).substr(0, 10), "03FFFFF0  ");
}

TEST(DibHeaders, InfoCoreAndV5HeadersWithWhatFollowsThem) {
    const Bytes dib24 = Dib(3, -2, 24, 0, 0, 2 * 12);
    const auto info = ReadDibHeader(dib24);
    ASSERT_TRUE(info.header);
    EXPECT_EQ(info.problem, "");
    EXPECT_EQ(info.header->height, -2);
    EXPECT_EQ(info.header->BitsOffset(), 40u);
    EXPECT_EQ(info.header->pixelBytes, 24u);  // rows of 9 bytes padded to 12

    const auto masks = ReadDibHeader(Dib(2, 2, 16, 3, 3, 8));
    EXPECT_EQ(masks.header->BitsOffset(), 52u);
    const auto palette = ReadDibHeader(Dib(8, 1, 4, 0, 16, 4));
    EXPECT_EQ(palette.header->BitsOffset(), 40u + 64);
    const auto used = ReadDibHeader(Dib(8, 1, 8, 0, 2, 8, 2));
    EXPECT_EQ(used.header->BitsOffset(), 48u);
    EXPECT_EQ(used.problem, "");

    Bytes core;
    PutU32(core, 12);
    for (std::uint16_t v : {5, 3, 1, 1}) PutU16(core, v);
    core.resize(12 + 2 * 3 + 3 * 4);
    const auto read = ReadDibHeader(core);
    EXPECT_EQ(read.header->BitsOffset(), 18u);
    EXPECT_EQ(read.problem, "");

    Bytes v5 = Dib(1, 1, 32, 3, 0, 4);
    v5[0] = 124;
    v5.insert(v5.begin() + 40, 124 - 40, 0);
    EXPECT_EQ(ReadDibHeader(v5).header->BitsOffset(), 124u);  // its masks are in the header
}

TEST(DibHeaders, ShortAndImpossibleBlocksDescribedNeverRead) {
    EXPECT_EQ(ReadDibHeader(Bytes{40, 0}).problem,
              "The block holds 2 bytes, too few for a bitmap header.");
    EXPECT_EQ(ReadDibHeader(Bytes(20, 0)).problem,
              "The block does not start with a bitmap header (its first number is 0).");
    Bytes cut = Dib(2, 2, 24, 0, 0, 0);
    cut.resize(30);
    EXPECT_EQ(ReadDibHeader(cut).problem,
              "The block holds 30 bytes; its bitmap header takes 40 bytes.");
    const auto shortRows = ReadDibHeader(Dib(100, 100, 24, 0, 0, 1000));
    ASSERT_TRUE(shortRows.header);
    EXPECT_EQ(shortRows.problem,
              "The block holds 1040 bytes; its bitmap header asks for 30040 bytes.");
    EXPECT_EQ(ReadDibHeader(Dib(1, 1, 7, 0, 0, 4)).problem,
              "Its header gives 7 bits per pixel, which no bitmap has.");
    EXPECT_EQ(ReadDibHeader(Dib(0, 1, 8, 0, 256, 4)).problem,
              "Its header gives a size of 0 x 1 pixels.");
    EXPECT_THAT(ReadDibHeader(Dib(0x7FFFFFFF, -0x7FFFFFFF - 1, 32, 0, 0, 0)).problem,
                HasSubstr("The block holds 40 bytes; its bitmap header asks for"));
}

TEST(DibHeaders, SizesThatWouldWrapAreNeverAWholePicture) {
    // 0x1FFFFFFFC bytes a row for 2^31 rows, and a table of 0x7FFFFFF6
    // colours, summed to exactly 2^64 once.
    const Bytes dib = Dib(0x7FFFFFFF, -0x7FFFFFFF - 1, 32, 0, 0, 0, 0x7FFFFFF6);
    const auto reading = ReadDibHeader(dib);
    ASSERT_TRUE(reading.header);
    EXPECT_EQ(reading.header->BitsOffset(), 40u + 256 * 4);  // GDI reads 256 colours at most
    EXPECT_EQ(reading.problem,
              "The block holds 40 bytes; its bitmap header asks for 18446744065119618088 bytes.");
    EXPECT_THAT(BmpFileFromDib(dib).problem, HasSubstr("cannot be saved as a .bmp file"));
}

TEST(DibHeaders, ColourTablesCountedAsGdiCountsThem) {
    const auto entries = [](std::uint16_t bits, std::uint32_t used) {
        const auto h = ReadDibHeader(Dib(1, 1, bits, 0, 0, 0, used)).header;
        return (h->BitsOffset() - 40) / 4;
    };
    EXPECT_EQ(entries(1, 0), 2u);
    EXPECT_EQ(entries(4, 3), 3u);
    EXPECT_EQ(entries(8, 1000), 256u);  // never more than the depth can index
    EXPECT_EQ(entries(1, 5), 2u);
    EXPECT_EQ(entries(24, 0), 0u);
    EXPECT_EQ(entries(24, 12), 12u);  // an optional table of the colours used
    EXPECT_EQ(entries(32, 0xFFFFFFFF), 256u);

    // The system's own conversion takes up to 256 at any depth: more colours
    // than the pixels index are refused before it.
    const auto conversion = [](std::uint16_t bits, std::uint32_t used) {
        return SystemConversionProblem(*ReadDibHeader(Dib(1, 1, bits, 0, 0, 0, used)).header);
    };
    EXPECT_EQ(conversion(1, 256),
              "Its header counts 256 colours, more than its 1-bit pixels can index (2).");
    EXPECT_EQ(conversion(4, 17),
              "Its header counts 17 colours, more than its 4-bit pixels can index (16).");
    EXPECT_EQ(conversion(8, 0xFFFFFFFF),
              "Its header counts 4294967295 colours, more than its 8-bit pixels can index (256).");
    EXPECT_EQ(conversion(4, 16), "");
    EXPECT_EQ(conversion(24, 1000), "");
}

TEST(DibHeaders, DepthsAndCompressionsThatCannotGoTogether) {
    const auto problem = [](std::int32_t height, std::uint16_t bits, std::uint32_t compression,
                            std::uint32_t imageSize = 4) {
        Bytes dib = Dib(1, height, bits, compression, 3, 4);
        dib[20] = static_cast<std::uint8_t>(imageSize);
        return ReadDibHeader(dib).problem;
    };
    EXPECT_EQ(problem(1, 24, 1),
              "Its header gives the compression BI_RLE8 with 24 bits per pixel, which it cannot "
              "have.");
    EXPECT_THAT(problem(1, 24, 3), HasSubstr("compression BI_BITFIELDS with 24 bits"));
    EXPECT_EQ(problem(-1, 4, 2),
              "Its header gives a top-down bitmap compressed with BI_RLE4, which cannot be.");
    EXPECT_EQ(problem(1, 8, 1, 0), "Its header gives no size for its compressed (BI_RLE8) rows.");
    EXPECT_EQ(problem(1, 0, 0), "Its header gives 0 bits per pixel, which no bitmap has.");
    EXPECT_EQ(problem(1, 0, 5), "");    // a PNG keeps its depth in its stream
    EXPECT_EQ(problem(-1, 32, 3), "");  // masks after a 40-byte header, rows top-down
}

TEST(DibHeaders, ACopiedBitmapsSizesCountedIn64Bits) {
    const auto sizes = PackedDibSizesOf(3, 2, 8);
    ASSERT_TRUE(sizes);
    EXPECT_EQ(sizes->colorTableBytes, 1024u);
    EXPECT_EQ(sizes->pixelBytes, 8u);
    EXPECT_EQ(sizes->totalBytes, 40u + 1024 + 8);
    EXPECT_EQ(PackedDibSizesOf(24, 16, 24)->totalBytes, 40u + 16 * 72);
    // A row of 0x100000004 bytes, 4 in 32 bits; 4 GB of rows.
    EXPECT_FALSE(PackedDibSizesOf(0x40000001, 1, 32));
    EXPECT_FALSE(PackedDibSizesOf(0x10000, 0x10000, 32));
}

TEST(Metafiles, PictureAndEnhancedHeaders) {
    const auto picture = ReadMetafilePictureHeader(MetafilePicture(8, 5080, 2540, true));
    ASSERT_TRUE(picture.header);
    EXPECT_EQ(picture.problem, "");
    EXPECT_EQ(picture.header->records, 3u);
    EXPECT_EQ(picture.header->windowWidth, 200);
    EXPECT_EQ(picture.header->windowHeight, 100);

    Bytes noEnd = MetafilePicture(8, 1, 1, false);
    PutU32(noEnd, 0);  // a record of no size after the end is never reached
    noEnd.resize(noEnd.size() - 10);
    EXPECT_THAT(ReadMetafilePictureHeader(noEnd).problem, HasSubstr("The block holds"));

    const auto emf = ReadEnhMetafileHeader(EnhMetafile(108, 2));
    ASSERT_TRUE(emf.header);
    EXPECT_EQ(emf.header->left, -3);
    EXPECT_EQ(emf.header->records, 2u);
    EXPECT_EQ(ReadEnhMetafileHeader(EnhMetafile(4000, 2)).problem,
              "The block holds 108 bytes; its header claims 4000 bytes.");
    EXPECT_EQ(ReadEnhMetafileHeader(Bytes(87, 1)).problem,
              "The block holds 87 bytes, too few for an enhanced metafile header.");
    // Records are counted, not taken from the header, and must end.
    EXPECT_EQ(ReadEnhMetafileHeader(EnhMetafile(108, 3)).problem,
              "Its header claims 3 records; the metafile holds 2.");
    Bytes cut = EnhMetafile(100, 2);
    cut.resize(100);
    const auto truncated = ReadEnhMetafileHeader(cut);
    EXPECT_EQ(truncated.problem, "The metafile's records end without an end record at offset 88.");
    EXPECT_EQ(truncated.header->records, 1u);
}

// `bytes` with the 32-bit value at `at` replaced.
Bytes With(Bytes bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

TEST(Metafiles, AnEnhancedHeaderTakesItsOwnSizeAndNoMoreThanTheWhole) {
    const Bytes emf = EnhMetafile(108, 2);
    const struct {
        std::uint32_t headerSize;
        const char* problem;
    } cases[] = {
        {88, ""},
        {87,
         "Its header gives its own size as 87 bytes, fewer than an enhanced metafile "
         "header's 88 bytes."},
        {0,
         "Its header gives its own size as 0 bytes, fewer than an enhanced metafile "
         "header's 88 bytes."},
        {112, "Its header's size, 112 bytes, is more than the whole metafile's, 108 bytes."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadEnhMetafileHeader(With(emf, 4, c.headerSize)).problem, c.problem)
            << c.headerSize;
}

// A metafile picture whose metafile carries `emf` in comments of at most
// `partSize` bytes each, as GetWinMetaFileBits writes it; `lie` changes a
// comment before it is written (its bytes, and which part it is).
Bytes PictureCarrying(const Bytes& emf, std::size_t partSize,
                      const std::function<void(Bytes&, std::size_t)>& lie = {}) {
    Bytes records;
    const std::size_t parts = (emf.size() + partSize - 1) / partSize;
    for (std::size_t part = 0, at = 0; at < emf.size(); ++part, at += partSize) {
        const std::size_t size = std::min(partSize, emf.size() - at);
        Bytes comment;
        PutU32(comment, 0);  // its size in words, below
        PutU16(comment, 0x0626);
        PutU16(comment, 0x000F);
        PutU16(comment, static_cast<std::uint32_t>(34 + size));
        for (std::uint32_t v : {0x43464D57u, 1u, 0x10000u}) PutU32(comment, v);
        PutU16(comment, 0);  // checksum
        for (std::size_t v : {std::size_t{0}, parts, size, emf.size() - at - size, emf.size()})
            PutU32(comment, static_cast<std::uint32_t>(v));
        comment.insert(comment.end(), emf.begin() + at, emf.begin() + at + size);
        if (comment.size() % 2) comment.push_back(0);
        if (lie) lie(comment, part);
        comment = With(comment, 0, static_cast<std::uint32_t>(comment.size() / 2));
        records.insert(records.end(), comment.begin(), comment.end());
    }
    PutU32(records, 3);
    PutU16(records, 0);  // the end record
    Bytes out;
    for (std::uint32_t v : {8u, 100u, 100u}) PutU32(out, v);
    for (std::uint32_t v : {1u, 9u, 0x300u}) PutU16(out, v);
    PutU32(out, static_cast<std::uint32_t>((18 + records.size()) / 2));
    out.resize(12 + 18, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

TEST(Metafiles, APictureCarryingAnEnhancedMetafileHasItsChecks) {
    const Bytes emf = EnhMetafile(108, 2);
    const std::string carries =
        "Its metafile carries an enhanced metafile, which the system makes in its place: ";
    const std::string notWhole =
        "Its metafile carries an enhanced metafile in comments that do not hold it whole.";
    const struct {
        const char* what;
        Bytes picture;
        std::string problem;
    } cases[] = {
        {"whole, in three", PictureCarrying(emf, 40), ""},
        {"claiming more than it is", PictureCarrying(EnhMetafile(4000, 2), 40),
         carries + "The block holds 108 bytes; its header claims 4000 bytes."},
        {"a comment too few",
         PictureCarrying(emf, 40, [](Bytes& c, std::size_t) { c = With(c, 28, 4); }), notWhole},
        {"the bytes after a part miscounted",
         PictureCarrying(emf, 40,
                         [](Bytes& c, std::size_t p) {
                             if (p == 0) c = With(c, 36, 60);
                         }),
         notWhole},
        {"a comment too short for its fields",
         PictureCarrying(emf, 200, [](Bytes& c, std::size_t) { c.resize(20); }), notWhole},
        {"the whole's size differing",
         PictureCarrying(emf, 40,
                         [](Bytes& c, std::size_t p) {
                             if (p == 2) c = With(c, 40, 200);
                         }),
         notWhole},
    };
    for (const auto& c : cases) {
        const auto reading = ReadMetafilePictureHeader(c.picture);
        EXPECT_TRUE(reading.header) << c.what;
        EXPECT_EQ(reading.problem, c.problem) << c.what;
    }
}

TEST(Metafiles, APictureWhoseBitsAreAnEnhancedMetafileHasItsChecks) {
    const auto picture = [](const Bytes& emf) {
        Bytes out;
        for (std::uint32_t v : {8u, 100u, 100u}) PutU32(out, v);
        out.insert(out.end(), emf.begin(), emf.end());
        return ReadMetafilePictureHeader(out);
    };
    const std::string told =
        "The metafile picture's bits hold an enhanced metafile, not a Windows metafile";
    EXPECT_EQ(picture(EnhMetafile(108, 2)).problem, told + ".");
    EXPECT_EQ(picture(EnhMetafile(4000, 2)).problem,
              told + ": The block holds 108 bytes; its header claims 4000 bytes.");
    EXPECT_FALSE(picture(EnhMetafile(108, 2)).header);
}

TEST(SavedFiles, BmpHeaderPointsAtTheRows) {
    const Bytes masks = Dib(2, 2, 16, 3, 3, 8);
    const FormatData dib{DataKind::MemoryBlock, masks};
    const FileContent bmp = SavedFileContent(8, dib);
    ASSERT_EQ(bmp.problem, "");
    const Bytes file = Joined(bmp);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(ReadU32(file, 2), file.size());
    EXPECT_EQ(ReadU32(file, 10), 14u + 52);
    EXPECT_EQ(Bytes(file.begin() + 14, file.end()), masks);
    EXPECT_THAT(SavedFileContent(2, {DataKind::Bitmap, Dib(9, 9, 24, 0, 0, 3)}).problem,
                HasSubstr("cannot be saved as a .bmp file. The block holds"));
}

TEST(SavedFiles, PlaceableMetafileSizedFromThePicture) {
    const Bytes picture = MetafilePicture(8, 5080, 2540, true);
    const FormatData data{DataKind::MetafilePicture, picture};
    const FileContent wmf = SavedFileContent(3, data);
    ASSERT_EQ(wmf.problem, "");
    const Bytes file = Joined(wmf);
    EXPECT_EQ(Bytes(file.begin() + 22, file.end()), Bytes(picture.begin() + 12, picture.end()));
    const auto header = ReadPlaceableHeader(file);
    ASSERT_TRUE(header);
    // 200 window units over 2 inches; without a window the extents are in 0.01 mm.
    EXPECT_EQ(header->width, 200);
    EXPECT_EQ(header->unitsPerInch, 100);
    const auto plain = ReadPlaceableHeader(
        Joined(PlaceableFromMetafilePicture(MetafilePicture(8, 5080, 2540, false))));
    EXPECT_EQ(plain->width, 5080);
    EXPECT_EQ(plain->unitsPerInch, 2540);
    const auto twips = ReadPlaceableHeader(
        Joined(PlaceableFromMetafilePicture(MetafilePicture(6, 100000, 1440, false))));
    EXPECT_LE(twips->width, 32767);
    EXPECT_EQ(twips->width * 1440 / twips->unitsPerInch, 100000 / 4 * 1440 / 360);
}

TEST(SavedFiles, NoWmfFromAMetafileWhoseSizeIsWrong) {
    // 2^31 + 12 words: twice that is 24 bytes, the true size, in 32 bits.
    Bytes huge = MetafilePicture(8, 1, 1, false);
    huge[12 + 9] = 0x80;
    const auto reading = ReadMetafilePictureHeader(huge);
    ASSERT_TRUE(reading.header);
    EXPECT_EQ(reading.header->metafileBytes, 0x100000018u);
    EXPECT_EQ(reading.problem,
              "The block holds 24 bytes after the picture's fields; its metafile header claims "
              "4294967320 bytes.");
    EXPECT_EQ(PlaceableFromMetafilePicture(huge).problem,
              "The metafile picture cannot be saved as a .wmf file. " + reading.problem);
    Bytes tiny = MetafilePicture(8, 1, 1, false);
    tiny[12 + 6] = 4;
    EXPECT_THAT(PlaceableFromMetafilePicture(tiny).problem,
                HasSubstr("Its metafile header gives the metafile 8 bytes, fewer than the "
                          "header's own 18 bytes."));
}

TEST(SavedFiles, MemoryBlocksWholeAndHandlesWithoutData) {
    const Bytes bytes = Counting(5);
    const FormatData data{DataKind::MemoryBlock, bytes};
    const FileContent raw = SavedFileContent(49321, data);
    EXPECT_TRUE(raw.prefix.empty());
    EXPECT_EQ(raw.body.data(), data.bytes.data());
    EXPECT_EQ(raw.body.size(), 5u);
    EXPECT_EQ(SavedFileContent(0x80, {DataKind::OwnerDisplay, {}}).problem,
              "There is no data to save: the format holds owner display.");
    EXPECT_STREQ(SavedFileExtension(8, DataKind::MemoryBlock, false), "bmp");
    EXPECT_STREQ(SavedFileExtension(14, DataKind::EnhancedMetafile, false), "emf");
    EXPECT_STREQ(SavedFileExtension(3, DataKind::MetafilePicture, false), "wmf");
    EXPECT_STREQ(SavedFileExtension(13, DataKind::MemoryBlock, true), "txt");
    EXPECT_STREQ(SavedFileExtension(49321, DataKind::MemoryBlock, false), "bin");
}

TEST(TextFormats, EncodingsAndTheirTerminators) {
    EXPECT_EQ(TextEncodingOf(1, ""), TextEncoding::Ansi);
    EXPECT_EQ(TextEncodingOf(7, ""), TextEncoding::Oem);
    EXPECT_EQ(TextEncodingOf(13, ""), TextEncoding::Utf16);
    EXPECT_EQ(TextEncodingOf(49300, "HTML Format"), TextEncoding::Utf8);
    EXPECT_EQ(TextEncodingOf(49301, "Rich Text Format"), TextEncoding::Ansi);
    EXPECT_EQ(TextEncodingOf(49302, "My Format"), TextEncoding::None);
    EXPECT_EQ(TextEncodingOf(8, ""), TextEncoding::None);
    const Bytes utf16{'H', 0, 0, 1, 0, 0, 'x', 0};  // 0x0100 is not a terminator
    EXPECT_EQ(TextBytes(utf16, TextEncoding::Utf16).size(), 4u);
    EXPECT_EQ(TextBytes(Bytes{'a', 'b', 0, 'c'}, TextEncoding::Ansi).size(), 2u);
    EXPECT_EQ(TextBytes(Bytes{'a', 'b', 'c'}, TextEncoding::Ansi).size(), 3u);  // no terminator
    EXPECT_EQ(TextBytes(Bytes{'a', 0, 'b'}, TextEncoding::Utf16).size(), 2u);
}

class ReadingAFormat : public ::testing::Test {
  protected:
    ReadingAFormat() {
        clipboard.formats = {{1, ""}, {2, ""}, {49321, "My Format"}};
        clipboard.owner = reinterpret_cast<WindowHandle>(0x1234);
        clipboard.ownerClass = "THelperWindow";
        clipboard.ownerProgram = {4242, "clipboard_helper.exe"};
    }
    FakeClipboard clipboard;
};

TEST_F(ReadingAFormat, CopiesOnceAndClosesWithTheOwner) {
    clipboard.data[49321] = FormatData{DataKind::MemoryBlock, Counting(1024)};
    const FormatReading reading = ReadFormat(clipboard, 49321, nullptr);
    EXPECT_EQ(reading.outcome, ReadOutcome::Read);
    EXPECT_EQ(reading.data.bytes, Counting(1024));
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "CopyFormatData", "Close"));
    EXPECT_EQ(HeaderText(49321, reading),
              "Format 49321: a memory block, 1024 bytes\r\n"
              "Owner: A THelperWindow Class Window of clipboard_helper.exe, process id 4242");
    // A copy that took long says so, in its first line.
    FormatReading slow = reading;
    slow.readMs = 1249;
    EXPECT_THAT(
        HeaderText(49321, slow),
        ::testing::StartsWith("Format 49321: a memory block, 1024 bytes, read in 1.24 s\r\n"));
    slow.outcome = ReadOutcome::NotRendered;
    EXPECT_THAT(HeaderText(49321, slow),
                ::testing::StartsWith("Format 49321: its owner did not render it, read in 1.24 s"));
}

TEST_F(ReadingAFormat, EachFailureItsOwnOutcomeAndNothingLeftOpen) {
    clipboard.failOpen = true;
    EXPECT_EQ(ReadFormat(clipboard, 1, nullptr).outcome, ReadOutcome::ClipboardHeld);
    clipboard.failOpen = false;
    const FormatReading gone = ReadFormat(clipboard, 49322, nullptr);
    EXPECT_EQ(gone.outcome, ReadOutcome::FormatGone);
    const FormatReading notRendered = ReadFormat(clipboard, 2, nullptr);
    EXPECT_EQ(notRendered.outcome, ReadOutcome::NotRendered);
    EXPECT_FALSE(clipboard.isOpen);
    EXPECT_THAT(HeaderText(2, notRendered), HasSubstr("Format 2: its owner did not render it\r\n"));
    EXPECT_EQ(NotRenderedText("CF_BITMAP (Predefined) [2]"),
              "The program that owns the clipboard did not render the format "
              "\"CF_BITMAP (Predefined) [2]\".");
    EXPECT_THAT(FormatGoneText("My Format [49322]"),
                HasSubstr("\"My Format [49322]\" is no longer on the clipboard"));
    clipboard.owner = nullptr;
    EXPECT_THAT(HeaderText(49322, ReadFormat(clipboard, 49322, nullptr)),
                HasSubstr("no longer on the clipboard\r\nOwner: none"));
}

TEST_F(ReadingAFormat, AClipboardHeldWithoutAWindowSaysSo) {
    clipboard.failOpen = true;
    EXPECT_THAT(HeaderText(1, ReadFormat(clipboard, 1, nullptr)),
                ::testing::EndsWith("process id 4242\r\n"
                                    "Held open by: a program that opened it without a window"));
}

// Another program takes the clipboard over between our look at its owner
// and our open, as a clipboard manager might.
class OwnerChangingAtOpen : public FakeClipboard {
  public:
    bool Open(WindowHandle window) override {
        owner = reinterpret_cast<WindowHandle>(0x5678);
        ownerClass = "TNewOwner";
        return FakeClipboard::Open(window);
    }
};

TEST(ReadingAFormatsOwner, TheOwnerOfTheDataCopied) {
    OwnerChangingAtOpen clipboard;
    clipboard.formats = {{49321, "My Format"}};
    clipboard.owner = reinterpret_cast<WindowHandle>(0x1234);
    clipboard.ownerClass = "TOldOwner";
    clipboard.data[49321] = FormatData{DataKind::MemoryBlock, Counting(4)};
    EXPECT_EQ(ReadFormat(clipboard, 49321, nullptr).ownerClass, "TNewOwner");
}

TEST(HeaderTexts, PicturesAndTheirProblems) {
    FormatReading reading;
    reading.hasOwner = true;
    reading.ownerClass = "TFoo";
    reading.program.processId = 7;
    reading.data = {DataKind::Bitmap, Dib(100, -50, 24, 0, 0, 50 * 300)};
    EXPECT_EQ(HeaderText(2, reading),
              "Format 2: a bitmap, 15040 bytes\r\nBitmap: 100 x 50 pixels, 24 bits per pixel\r\n"
              "Owner: A TFoo Class Window, process id 7");
    reading.data = {DataKind::MemoryBlock, Dib(100, 100, 24, 0, 0, 1000)};
    EXPECT_THAT(HeaderText(8, reading),
                HasSubstr("24 bits per pixel\r\nThe block holds 1040 bytes; its bitmap header"));
    reading.data = {DataKind::EnhancedMetafile, EnhMetafile(108, 2)};
    EXPECT_THAT(HeaderText(14, reading),
                HasSubstr("\r\nBounds: (-3, 4) - (99, 49), 2 records\r\n"));
    reading.data = {DataKind::MetafilePicture, MetafilePicture(8, 5080, 2540, true)};
    EXPECT_THAT(
        HeaderText(3, reading),
        HasSubstr("\r\nMetafile picture: mapping mode 8, extents 5080 x 2540, 3 records\r\n"));
    reading.data = {DataKind::UnknownHandle, {}};
    EXPECT_THAT(HeaderText(0x300, reading),
                HasSubstr("Format 768: a handle whose kind is unknown, 0 bytes\r\n"));
    EXPECT_EQ(KindOfFormat(9), DataKind::Palette);
    EXPECT_EQ(KindOfFormat(0x80), DataKind::OwnerDisplay);
    EXPECT_EQ(KindOfFormat(0x8E), DataKind::EnhancedMetafile);
    EXPECT_EQ(KindOfFormat(49321), DataKind::MemoryBlock);
}

}  // namespace
}  // namespace norvane
