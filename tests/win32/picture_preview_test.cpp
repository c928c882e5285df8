// The inspector's picture preview of pictures in their own codings and of
// metafiles, placed on the real clipboard by clipboard_helper: decoded and
// played on the view's worker, their exact colours, a metafile fitted to
// the view and played once for each size of it, and scrolling by wheel and
// keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "clipboard/win32_clipboard_service.h"
#include "e2e/picture_samples.h"
#include "fakes/recording_messages.h"
#include "inspector/picture_pixels.h"
#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_wic_picture.h"
#include "win32/inspector_settles.h"
#include "win32/pixels.h"
#include "win32/second_process.h"

namespace norvane {
namespace {

using testing::ClipboardHelper;
using ::testing::HasSubstr;
using testing::InspectorSettles;
using ::testing::Not;
using testing::RecordingMessages;

struct PreviewTest : ::testing::Test {
    RecordingMessages messages;
    Win32ClipboardService clipboard;
    TFormat_Inspector_Form inspector{messages, clipboard, nullptr};

    // Shown once the worker's result is.
    void Show(unsigned format) {
        inspector.SetFormat(format, "format " + std::to_string(format));
        inspector.Show();
        ASSERT_TRUE(InspectorSettles(inspector));
    }
    void Show(const char* registered) { Show(RegisterClipboardFormatA(registered)); }
    std::string Header() {
        return inspector.TextOf(inspector.Get(InspectorFormPart::Header_Label));
    }
    HWND View() { return inspector.Picture().Handle(); }
    // The preview's pixel, drawn as the view draws its client area.
    COLORREF Pixel(int x, int y) {
        testing::Canvas canvas(32, 32, RGB(1, 2, 3));
        const RECT area{0, 0, 32, 32};
        inspector.Picture().Draw(canvas.dc(), area);
        return canvas.At(x, y);
    }
};

struct PicturesTest : PreviewTest {
    static void SetUpTestSuite() { helper = new ClipboardHelper("pictures", "pictures"); }
    static void TearDownTestSuite() { delete helper; }
    static inline ClipboardHelper* helper = nullptr;
};

// What a light or dark square shows of a colour at an alpha.
COLORREF OverSquare(COLORREF colour, int alpha, std::uint32_t square) {
    const auto blend = [&](int over, int under) {
        return static_cast<BYTE>((over * alpha + under * (255 - alpha) + 127) / 255);
    };
    return RGB(blend(GetRValue(colour), static_cast<int>(square >> 16 & 0xFF)),
               blend(GetGValue(colour), static_cast<int>(square >> 8 & 0xFF)),
               blend(GetBValue(colour), static_cast<int>(square & 0xFF)));
}

// Read on the reader's worker, then decoded on the preview's: until each
// result comes (which only the message loop takes) the header says so,
// then shows the picture.
TEST_F(PicturesTest, ReadThenDecodedOnTheWorkersThenShown) {
    for (const auto& [name, line] : {std::pair{"PNG", "\r\nPicture (PNG): 1200 x 400 pixels, "},
                                     std::pair{"GIF", "\r\nPicture (GIF): 10 x 6 pixels, "}}) {
        inspector.SetFormat(RegisterClipboardFormatA(name), name);
        inspector.Show();
        EXPECT_THAT(Header(), HasSubstr(TFormat_Inspector_Form::kReadingText)) << name;
        EXPECT_FALSE(IsWindowVisible(View())) << name;
        // Only the reading is taken: the decoding's result waits.
        const HWND reader = FindWindowExA(HWND_MESSAGE, nullptr, "TFormatReader", nullptr);
        ASSERT_TRUE(reader);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (inspector.ReadingUnderWay() && std::chrono::steady_clock::now() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG message;
            while (PeekMessageA(&message, reader, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        }
        ASSERT_FALSE(inspector.ReadingUnderWay()) << name;
        EXPECT_THAT(Header(), HasSubstr("\r\nDecoding the picture...\r\n")) << name;
        EXPECT_EQ(Pixel(2, 2), GetSysColor(COLOR_APPWORKSPACE)) << name;
        ASSERT_TRUE(InspectorSettles(inspector)) << name;
        EXPECT_THAT(Header(), HasSubstr(line)) << name;
        EXPECT_THAT(Header(), Not(HasSubstr("Decoding"))) << name;
        EXPECT_TRUE(IsWindowVisible(View())) << name;
        EXPECT_NE(Pixel(2, 2), GetSysColor(COLOR_APPWORKSPACE)) << name;
    }
}

TEST_F(PicturesTest, PngInItsExactColoursOverTheCheckerboard) {
    Show("PNG");
    EXPECT_THAT(Header(), HasSubstr("\r\nPicture (PNG): 1200 x 400 pixels, 32 bits per pixel\r\n"));
    ASSERT_TRUE(IsWindowVisible(View()));
    EXPECT_EQ(Pixel(2, 2), RGB(255, 0, 0));
    // Its right half: blue at alpha 0x80, the 76th square (dark) on the first row.
    inspector.Picture().ScrollTo(600, 0);
    EXPECT_EQ(Pixel(1, 1), OverSquare(RGB(0, 0, 255), 0x80, kCheckerDark));
    EXPECT_EQ(Pixel(4, 9), OverSquare(RGB(0, 0, 255), 0x80, kCheckerLight));
}

TEST_F(PicturesTest, JpegDecodedByTheSystem) {
    Show("JFIF");
    EXPECT_THAT(Header(), HasSubstr("\r\nPicture (JPEG): 16 x 16 pixels, 24 bits per pixel\r\n"));
    ASSERT_TRUE(IsWindowVisible(View()));
    // A lossy coding: its colour within a step or two of the one coded.
    const COLORREF pixel = Pixel(8, 8);
    const COLORREF coded = RGB(testing::kJpegColour >> 16, testing::kJpegColour >> 8 & 0xFF,
                               testing::kJpegColour & 0xFF);
    EXPECT_LE(std::abs(GetRValue(pixel) - GetRValue(coded)), 2) << std::hex << pixel;
    EXPECT_LE(std::abs(GetGValue(pixel) - GetGValue(coded)), 2) << std::hex << pixel;
    EXPECT_LE(std::abs(GetBValue(pixel) - GetBValue(coded)), 2) << std::hex << pixel;
}

TEST_F(PicturesTest, GifsFirstFrameWithItsTransparency) {
    Show("GIF");
    EXPECT_THAT(Header(), HasSubstr("\r\nPicture (GIF): 10 x 6 pixels, 2 bits per pixel\r\n"));
    ASSERT_TRUE(IsWindowVisible(View()));
    EXPECT_EQ(Pixel(0, 0), RGB(255, 255, 255));  // the screen's border: a light square
    EXPECT_EQ(Pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(6, 2), RGB(255, 255, 255));  // transparent
    EXPECT_EQ(Pixel(10, 0), GetSysColor(COLOR_APPWORKSPACE));
}

TEST_F(PicturesTest, WheelAndKeysScrollOnceItHasTheFocus) {
    Show("PNG");
    const HWND view = View();
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(GetFocus(), view);
    const auto position = [&] {
        return std::pair{GetScrollPos(view, SB_HORZ), GetScrollPos(view, SB_VERT)};
    };
    RECT client{};
    GetClientRect(view, &client);
    // A notch: three lines of 16 pixels.
    SendMessageA(view, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(position(), std::pair(0, 48));
    SendMessageA(view, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA), 0);
    EXPECT_EQ(position(), std::pair(48, 48));
    SendMessageA(view, WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(position(), std::pair(96, 48));
    SendMessageA(view, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(view, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(position(), std::pair(112, 32));
    SendMessageA(view, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(position(), std::pair(112, 32 + static_cast<int>(client.bottom)));
    SendMessageA(view, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(position(), std::pair(112, static_cast<int>(testing::kPngHeight - client.bottom)));
    SendMessageA(view, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(position(), std::pair(0, 0));
    EXPECT_EQ(SendMessageA(view, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

struct MetafilesTest : PreviewTest {
    static void SetUpTestSuite() { helper = new ClipboardHelper("inspect", "metafiles"); }
    static void TearDownTestSuite() { delete helper; }
    static inline ClipboardHelper* helper = nullptr;

    // The part of the view's client area the picture covers: the first and
    // last columns of its middle row, and rows of its middle column, that
    // are not the view's background.
    RECT Drawn() {
        EXPECT_TRUE(InspectorSettles(inspector));
        RECT client{};
        GetClientRect(View(), &client);
        testing::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
        inspector.Picture().Draw(canvas.dc(), client);
        const COLORREF background = GetSysColor(COLOR_APPWORKSPACE);
        RECT drawn{client.right, client.bottom, -1, -1};
        for (int x = 0; x < client.right; ++x)
            if (canvas.At(x, client.bottom / 2) != background) {
                drawn.left = std::min<LONG>(drawn.left, x);
                drawn.right = x + 1;
            }
        for (int y = 0; y < client.bottom; ++y)
            if (canvas.At(client.right / 2, y) != background) {
                drawn.top = std::min<LONG>(drawn.top, y);
                drawn.bottom = y + 1;
            }
        return drawn;
    }
};

// The rectangle from (10, 20) to (110, 70) the helper's metafile holds,
// played into the largest part of the view of its aspect, centred; and so
// again once the view changes its size.
TEST_F(MetafilesTest, PlayedFittedToTheViewKeepingTheirAspect) {
    for (unsigned format : {14u, 3u}) {
        Show(format);
        ASSERT_TRUE(IsWindowVisible(View())) << format;
        for (const SIZE size : {SIZE{500, 150}, SIZE{200, 300}}) {
            SetWindowPos(View(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
            RECT client{};
            GetClientRect(View(), &client);
            const RECT drawn = Drawn();
            const LONG width = drawn.right - drawn.left, height = drawn.bottom - drawn.top;
            EXPECT_TRUE(width == client.right || height == client.bottom) << format;
            EXPECT_NEAR(static_cast<double>(width) / height, 101.0 / 51.0, 0.05) << format;
            EXPECT_NEAR(drawn.left, client.right - drawn.right, 1) << format;
            EXPECT_NEAR(drawn.top, client.bottom - drawn.bottom, 1) << format;
        }
    }
}

// Played once into a bitmap that repaints, whole or in part, copy from;
// played again only once the view's new size refits it, or for a metafile
// read again.
TEST_F(MetafilesTest, PlayedOnceAcrossPaintsUntilRefitted) {
    Show(14u);
    ASSERT_TRUE(IsWindowVisible(View()));
    SetWindowPos(View(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    const RECT first = Drawn();
    const int plays = inspector.Picture().MetafilePlays();
    const RECT corner{0, 0, 40, 40};
    InvalidateRect(View(), &corner, FALSE);
    UpdateWindow(View());
    InvalidateRect(View(), nullptr, FALSE);
    UpdateWindow(View());
    const RECT again = Drawn();
    EXPECT_TRUE(EqualRect(&first, &again));
    EXPECT_EQ(inspector.Picture().MetafilePlays(), plays);

    SetWindowPos(View(), nullptr, 0, 0, 200, 300, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(View());
    Drawn();
    EXPECT_EQ(inspector.Picture().MetafilePlays(), plays + 1);

    Show(14u);
    Drawn();
    EXPECT_EQ(inspector.Picture().MetafilePlays(), plays + 2);
}

// A decode no longer wanted stops at its next band of rows, with no
// picture; one let run has every band in its place.
TEST(WicDecoding, StopsAtTheNextBandOnceCancelled) {
    constexpr std::uint32_t kWidth = 1024, kHeight = 3000;  // 1,024 rows a band
    const std::string png = testing::Png(kWidth, kHeight, [](std::uint32_t, std::uint32_t y) {
        return (y % 256) << 16 | 0xFF;  // green by row
    });
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(png.data()), png.size());
    int asked = 0;
    const DecodedPicture stopped = DecodeWithWic(bytes, [&] { return ++asked == 2; });
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(stopped.dib.empty());
    EXPECT_FALSE(stopped.failure.empty());

    asked = 0;
    const DecodedPicture whole = DecodeWithWic(bytes, [&] { return ++asked < 0; });
    EXPECT_EQ(asked, 3);
    ASSERT_EQ(whole.dib.size(), kAlphaDibHeaderBytes + std::size_t{kWidth} * kHeight * 4);
    for (std::uint32_t y : {0u, 1023u, 1024u, 2500u, kHeight - 1}) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, whole.dib.data() + kAlphaDibHeaderBytes + (y * kWidth + 7) * 4, 4);
        EXPECT_EQ(pixel, 0xFF000000 | (y % 256) << 8) << "row " << y;
    }
}
}  // namespace
}  // namespace norvane
