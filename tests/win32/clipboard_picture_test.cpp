// The viewer's picture made from the clipboard's DIB, and asked of the
// system's bitmap only when no DIB is offered.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "clipboard/win32_clipboard_picture.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "util/little_endian.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using testing::RecordingMessages;
using Bytes = std::vector<std::uint8_t>;

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255);

// A packed DIB: its header (40 bytes, or `headerSize` with the masks in
// it), the masks after the first 40 bytes, the colours used, the rows.
Bytes PackedDib(std::int32_t width, std::int32_t height, std::uint16_t bits, const Bytes& rows,
                const std::vector<std::uint32_t>& table = {}, std::uint32_t compression = 0,
                std::uint32_t headerSize = 40, const std::vector<std::uint32_t>& masks = {}) {
    Bytes dib;
    for (std::uint32_t field :
         {headerSize, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        PutU32(dib, field);
    PutU16(dib, 1);
    PutU16(dib, bits);
    for (std::uint32_t field : {compression, static_cast<std::uint32_t>(rows.size()), 0u, 0u,
                                static_cast<std::uint32_t>(table.size()), 0u})
        PutU32(dib, field);
    for (std::uint32_t mask : masks) PutU32(dib, mask);
    if (dib.size() < headerSize) dib.resize(headerSize);
    for (std::uint32_t colour : table) PutU32(dib, colour);
    dib.insert(dib.end(), rows.begin(), rows.end());
    return dib;
}

// 2 x 2 at 24 bits, bottom row first: blue, green; then red, white.
const Bytes kTwoByTwo =
    PackedDib(2, 2, 24, {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0});
// 1 x 2, a V5 header, 32 bits with masks, top down: red over blue.
const Bytes kTopDownV5 =
    PackedDib(1, -2, 32, {0, 0, 255, 0, 255, 0, 0, 0}, {}, 3, 124, {0xFF0000, 0xFF00, 0xFF, 0});
const Bytes kNoRows = PackedDib(16, 0, 24, Bytes(48));

struct PictureCase {
    const char* name;
    Bytes dib;
    std::vector<COLORREF> pixels;  // from the top left, a row at a time; none: no picture
    int width = 0;
};

const PictureCase kPictureCases[] = {
    {"24 bits, bottom up", kTwoByTwo, {kRed, kWhite, kBlue, kGreen}, 2},
    {"8 bits, two colours used",
     PackedDib(2, 1, 8, {1, 0, 0, 0}, {0xFF0000, 0x0000FF}),
     {kBlue, kRed},
     2},
    {"V5 header, 32 bits with masks, top down", kTopDownV5, {kRed, kBlue}, 1},
    {"colours beyond the block", PackedDib(2, 2, 8, Bytes(8)), {}},
    {"compressed rows the system cannot draw", PackedDib(1, 1, 24, Bytes(4), {}, 4), {}},
    // A kilobyte of run lengths claiming a picture one row past the limit.
    {"more pixels than the preview draws",
     PackedDib(
         8192, 8193, 8,
         [] {
             Bytes rows(1024);
             rows[1] = 1;  // an end of bitmap at once
             return rows;
         }(),
         {}, 1),
     {}},
};

std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int width, int height) {
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(width * height));
    BITMAPINFOHEADER info = TopDown32Header(width, height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), bits.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (std::uint32_t p : bits) pixels.push_back(RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF));
    return pixels;
}

TEST(PictureFromDib, DrawnAsTheDibSaysOrNotAtAll) {
    for (const PictureCase& c : kPictureCases) {
        const UniqueBitmap bitmap = BitmapFromPackedDib(c.dib);
        EXPECT_EQ(static_cast<bool>(bitmap), !c.pixels.empty()) << c.name;
        if (!bitmap || c.pixels.empty()) continue;
        const int height = static_cast<int>(c.pixels.size()) / c.width;
        BITMAP info{};
        GetObjectA(bitmap.get(), sizeof info, &info);
        EXPECT_EQ(info.bmWidth, c.width) << c.name;
        EXPECT_EQ(info.bmHeight, height) << c.name;
        EXPECT_EQ(PixelsOf(bitmap.get(), c.width, height), c.pixels) << c.name;
    }
}

struct SourceCase {
    const char* name;
    std::vector<unsigned> formats;  // in the clipboard's order
    std::map<unsigned, std::optional<FormatData>> data;
    int width;  // of the picture shown; 0: none, and the load fails
    bool bitmapAsked;
};

FormatData Block(const Bytes& dib) {
    return {DataKind::MemoryBlock, dib};
}

const SourceCase kSourceCases[] = {
    {"a DIB beside the bitmap",
     {kDibFormat, kBitmapFormat},
     {{kDibFormat, Block(kTwoByTwo)}},
     2,
     false},
    {"the DIBV5 its owner placed",
     {kDibV5Format, kBitmapFormat, kDibFormat},
     {{kDibV5Format, Block(kTopDownV5)}},
     1,
     false},
    {"a bitmap alone", {kBitmapFormat}, {}, 8, true},
    {"a DIB of no rows", {kDibFormat, kBitmapFormat}, {{kDibFormat, Block(kNoRows)}}, 0, false},
    {"a DIB not rendered", {kDibFormat, kBitmapFormat}, {{kDibFormat, std::nullopt}}, 0, false},
};

TEST(ViewerPicture, MadeFromTheDibAndTheBitmapAskedForOnlyWithoutOne) {
    for (const SourceCase& c : kSourceCases) {
        RecordingMessages messages;
        FakeClipboard clipboard;
        for (unsigned format : c.formats) clipboard.formats.push_back({format, ""});
        clipboard.data = c.data;
        clipboard.bitmap = CreateBitmap(8, 8, 1, 32, nullptr);  // the system's, were it asked for
        TClipboard_Viewer_Form viewer{messages, clipboard, nullptr};
        viewer.Show();
        const auto& image = viewer.Get(ViewerFormPart::Image1);
        EXPECT_EQ(viewer.IsVisible(image), c.width != 0) << c.name;
        if (c.width != 0) {
            BITMAP info{};
            GetObjectA(image.picture.get(), sizeof info, &info);
            EXPECT_EQ(info.bmWidth, c.width) << c.name;
            EXPECT_TRUE(messages.errors.empty()) << c.name;
        } else {
            EXPECT_THAT(messages.errors, ElementsAre("Error getting clipboard data")) << c.name;
        }
        EXPECT_EQ(std::count(clipboard.calls.begin(), clipboard.calls.end(), "CopyBitmap"),
                  c.bitmapAsked ? 1 : 0)
            << c.name;
        EXPECT_FALSE(clipboard.isOpen) << c.name;
        ShowWindow(viewer.Handle(), SW_HIDE);
        if (clipboard.bitmap) DeleteObject(clipboard.bitmap);  // not handed out
    }
}

}  // namespace
}  // namespace norvane
