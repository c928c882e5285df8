#include "about/about_texts.h"

#include <gtest/gtest.h>

#include <vector>

#include "util/placeable_metafile.h"

namespace norvane {
namespace {

TEST(FreeMemoryText, ReportedLoadGivesTheFreeShare) {
    EXPECT_EQ(FreeMemoryText({.memoryLoad = 37}), "63%");
    EXPECT_EQ(FreeMemoryText({.memoryLoad = 100}), "0%");
    EXPECT_EQ(FreeMemoryText({.memoryLoad = 1, .totalPhys = 1024, .availPhys = 0}), "99%");
}

TEST(FreeMemoryText, NoReportedLoadComputesTheFigureFromTheAmounts) {
    // Free: 3 KB physical (whole kilobytes: 3.999 counts as 3) + 1.5 KB page file;
    // total: 8 KB + 2 KB. 4.5 / 10 = 45%.
    EXPECT_EQ(FreeMemoryText({.totalPhys = 8 * 1024,
                              .availPhys = 4 * 1024 - 1,
                              .totalPageFile = 2 * 1024,
                              .availPageFile = 1536}),
              "45%");
    // 1 / 8 = 12.5%: halves round away from zero.
    EXPECT_EQ(FreeMemoryText({.totalPhys = 8 * 1024, .availPhys = 1024}), "13%");
}

TEST(FreeMemoryText, NothingReportedReadsZeroInsteadOfDividingByZero) {
    EXPECT_EQ(FreeMemoryText({}), "0%");
    EXPECT_EQ(FreeMemoryText({.totalPhys = 1023, .availPhys = 1023}), "0%");
}

TEST(EmailLinkText, NamesTheExecutableInTheSubject) {
    EXPECT_EQ(EmailLinkText("mail@varnok.test", "norvanel.exe"),
              "mailto:mail@varnok.test?subject=Shareware: norvanel.exe");
    EXPECT_EQ(EmailLinkText("a@b", "other name.exe"),
              "mailto:a@b?subject=Shareware: other name.exe");
}

TEST(EmailLinkText, EncodesWhatWouldEndOrChangeTheLink) {
    EXPECT_EQ(EmailLinkText("a@b", "x&body=y#z+%.exe"),
              "mailto:a@b?subject=Shareware: x%26body=y%23z%2B%25.exe");
    EXPECT_EQ(EmailLinkText("a@b", std::string("\x01\x7F.exe")),
              "mailto:a@b?subject=Shareware: %01%7F.exe");
    // A name beyond ASCII comes in UTF-8: each of its bytes is encoded.
    EXPECT_EQ(EmailLinkText("a@b", "norvan\xC3\xA9l.exe"),
              "mailto:a@b?subject=Shareware: norvan%C3%A9l.exe");
}

TEST(FileNameOf, DropsTheFolder) {
    EXPECT_EQ(FileNameOf("C:\\Program Files\\Norvane\\norvanel.exe"), "norvanel.exe");
    EXPECT_EQ(FileNameOf("norvanel.exe"), "norvanel.exe");
}

std::vector<std::uint8_t> Placeable(int right, int bottom, int inch, int checksumDelta = 0) {
    std::vector<std::uint8_t> bytes(22 + 18, 0);
    auto word = [&](std::size_t at, int value) {
        bytes[at] = static_cast<std::uint8_t>(value);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    word(0, 0xCDD7);
    word(2, 0x9AC6);
    word(10, right);
    word(12, bottom);
    word(14, inch);
    int checksum = 0;
    for (std::size_t at = 0; at < 20; at += 2) checksum ^= bytes[at] | bytes[at + 1] << 8;
    word(20, checksum + checksumDelta);
    return bytes;
}

TEST(PlaceableHeader, ReadsTheBoundingBoxAndResolution) {
    const auto header = ReadPlaceableHeader(Placeable(2300, 225, 300));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->width, 2300);
    EXPECT_EQ(header->height, 225);
    EXPECT_EQ(header->unitsPerInch, 300);
}

TEST(PlaceableHeader, RefusesWhatIsNotOne) {
    EXPECT_FALSE(ReadPlaceableHeader(Placeable(2300, 225, 300, 1)));  // checksum
    EXPECT_FALSE(ReadPlaceableHeader(Placeable(0, 225, 300)));        // empty box
    EXPECT_FALSE(ReadPlaceableHeader(Placeable(2300, 225, 0)));       // no resolution
    auto cut = Placeable(2300, 225, 300);
    cut.resize(39);
    EXPECT_FALSE(ReadPlaceableHeader(cut));
    auto wrongKey = Placeable(2300, 225, 300);
    wrongKey[0] ^= 1;
    EXPECT_FALSE(ReadPlaceableHeader(wrongKey));
}

}  // namespace
}  // namespace norvane
