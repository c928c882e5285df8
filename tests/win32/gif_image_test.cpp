// The animated picture control under Wine: its composition, painted into a
// memory device context at every frame step, against a compositor written
// pixel by pixel; its placements in a form; loading, assignment and events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fakes/recording_messages.h"
#include "gif/gif_builder.h"
#include "gif/gif_decoder.h"
#include "gif/reference_compositor.h"
#include "gif_control/data_property.h"
#include "gif_control/win32_gif_image.h"
#include "ui/form.h"
#include "win32/gif_samples.h"
#include "win32/pixels.h"
#include "win32/test_forms.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;
using gif::testing::GifBuilder;
using gif::testing::ReferenceCompositor;
using testing::Canvas;
using testing::RecordingMessages;

constexpr COLORREF kBehind = RGB(12, 200, 34);  // what lies behind the control

std::vector<std::uint8_t> Load(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every pixel of the control painted over kBehind, and of its composition
// mask, against the reference after the same step.
void ExpectSameComposition(const TGIFImage& image, const ReferenceCompositor& reference,
                           const std::string& where) {
    const int w = reference.Width(), h = reference.Height();
    Canvas painted(w, h, kBehind);
    const_cast<TGIFImage&>(image).PaintTo(painted.dc());
    Canvas mask(w, h, RGB(1, 1, 1));
    if (HDC maskDC = image.Composition()->MaskDC()) {
        SetTextColor(mask.dc(), RGB(0, 0, 0));
        SetBkColor(mask.dc(), RGB(255, 255, 255));
        BitBlt(mask.dc(), 0, 0, w, h, maskDC, 0, 0, SRCCOPY);
    }
    int wrong = 0;
    for (int y = 0; y < h && wrong < 5; ++y)
        for (int x = 0; x < w && wrong < 5; ++x) {
            const gif::testing::ComposedPixel shown = reference.Shown(x, y);
            const COLORREF expected =
                shown.transparent ? kBehind : RGB(shown.red, shown.green, shown.blue);
            if (painted.At(x, y) != expected) {
                ADD_FAILURE() << where << ": pixel " << x << "," << y << " is " << std::hex
                              << painted.At(x, y) << ", expected " << expected;
                ++wrong;
            }
            if (image.HasTransparency() &&
                (mask.At(x, y) == RGB(255, 255, 255)) != reference.At(x, y).transparent) {
                ADD_FAILURE() << where << ": mask at " << x << "," << y;
                ++wrong;
            }
        }
}

// Two passes through the frames, as the animation steps, compared after each.
void ExpectComposedLikeTheReference(const std::vector<std::uint8_t>& bytes,
                                    const std::string& name) {
    RecordingMessages messages;
    TGIFImage image(messages);
    ASSERT_TRUE(image.LoadFromGifStream(bytes)) << name;
    const auto picture = gif::DecodeGif(bytes);
    ASSERT_TRUE(picture);
    image.SetBounds({0, 0, image.LogicalWidth(), image.LogicalHeight()});
    ReferenceCompositor reference(*picture);
    reference.Step(1);
    ExpectSameComposition(image, reference, name + " frame 1");
    const int frames = image.FrameCount();
    for (int pass = 0; pass < 2; ++pass)
        for (int n = pass == 0 ? 2 : 1; n <= frames; ++n) {
            image.SetCurrentFrame(n);
            reference.Step(n);
            ExpectSameComposition(
                image, reference,
                name + " pass " + std::to_string(pass + 1) + " frame " + std::to_string(n));
        }
}

class CorpusAnimation : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusAnimation, ComposesLikeTheReferenceAtEveryStep) {
    const fs::path path = fs::path(NORVANE_GIF_CORPUS) / GetParam();
    ASSERT_TRUE(fs::exists(path)) << "no corpus at " << path;
    ExpectComposedLikeTheReference(Load(path), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, CorpusAnimation,
    ::testing::Values("peterdn/gifs/animated_loop.gif", "peterdn/gifs/animated_loop_interlaced.gif",
                      "peterdn/gifs/animated_loop_variable_delay.gif",
                      "peterdn/gifs/animated_noloop.gif",
                      "peterdn/gifs/animated_transparent_firstframerestoreprev_loop.gif",
                      "peterdn/gifs/animated_transparent_frame_norestore_loop.gif",
                      "peterdn/gifs/animated_transparent_frame_restorebackground_loop.gif",
                      "peterdn/gifs/animated_transparent_frame_restoreprev_loop.gif",
                      "peterdn/gifs/animated_transparent_loop.gif",
                      "peterdn/gifs/animated_transparent_loop_frames_out_of_bounds.gif",
                      "peterdn/gifs/animated_transparent_restoreprev_loop.gif",
                      "peterdn/gifs/static_nontransparent.gif",
                      "peterdn/gifs/static_transparent.gif",
                      "wuffs/test/data/animated-red-blue.gif", "wuffs/test/data/muybridge.gif"));

TEST(GifComposition, TheAboutLogoComposesLikeTheReference) {
    const auto bytes = Load(fs::path(NORVANE_SOURCE_DIR) / "src/about/res/logo.gif");
    ASSERT_FALSE(bytes.empty());
    ExpectComposedLikeTheReference(bytes, "About logo");
}

TEST(GifComposition, TransparentPartsOfLaterFramesShowBlackUnderAnOpaqueFirstFrame) {
    const auto bytes = gif::testing::OpaqueThenHoles();
    ExpectComposedLikeTheReference(bytes, "opaque first frame");
    RecordingMessages messages;
    TGIFImage image(messages);
    ASSERT_TRUE(image.LoadFromGifStream(bytes));
    image.SetBounds({0, 0, 4, 4});
    image.SetCurrentFrame(2);  // frame 1 disposed to the background: black, even there
    Canvas painted(4, 4, kBehind);
    image.PaintTo(painted.dc());
    EXPECT_EQ(painted.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(painted.At(1, 1), RGB(0, 0, 255));
}

TEST(GifComposition, RestoreToPreviousBringsBackWhatLayUnder) {
    ExpectComposedLikeTheReference(gif::testing::RestoreToPrevious(), "restore to previous");
}

// Loading, assignment and events ---------------------------------------------

struct GifImageTest : ::testing::Test {
    RecordingMessages messages;
    TGIFImage image{messages};
};

TEST_F(GifImageTest, StartsEmptyAndLoadsFromAStreamOrTheDataProperty) {
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.CurrentFrame(), 0);
    EXPECT_EQ(image.Width(), 105);
    std::vector<std::string> events;
    image.onChanging = [&](TGIFImage& sender) {
        EXPECT_EQ(&sender, &image);
        events.push_back("changing");
    };
    image.onChange = [&](TGIFImage&) { events.push_back("change"); };
    const auto bytes = gif::testing::ThreeFrames(2);
    const auto payload = gif::WriteDataProperty(bytes);
    image.ReadDataProperty(payload);
    EXPECT_TRUE(image.Empty());  // decoded when its form has loaded
    image.Loaded();
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.FrameCount(), 3);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.LoopCount(), 2);
    EXPECT_EQ(image.WriteDataProperty(), payload);
    EXPECT_THAT(events, ::testing::ElementsAre("changing", "change"));

    EXPECT_FALSE(image.LoadFromGifStream(std::vector<std::uint8_t>{'G', 'I', 'F'}));
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Composition(), nullptr);
    EXPECT_TRUE(image.DataStream().empty());  // no "Data" written for it
}

TEST_F(GifImageTest, CurrentFrameOutsideTheFramesChangesNothing) {
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));
    int changes = 0;
    image.onChange = [&](TGIFImage&) { ++changes; };
    image.SetCurrentFrame(0);
    image.SetCurrentFrame(4);
    image.SetCurrentFrame(1);
    EXPECT_EQ(changes, 0);
    image.SetCurrentFrame(3);
    EXPECT_EQ(image.CurrentFrame(), 3);
    EXPECT_EQ(changes, 1);
}

TEST_F(GifImageTest, AutoSizeTakesThePicturesSize) {
    image.SetBounds({7, 9, 50, 50});
    image.SetAutoSize(true);
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));
    EXPECT_EQ(image.BoundsRect(), (Bounds{7, 9, 4, 4}));
    image.SetAutoSize(false);
    image.SetBounds({7, 9, 50, 50});
    image.SetAutoSize(true);
    EXPECT_EQ(image.BoundsRect(), (Bounds{7, 9, 4, 4}));
}

TEST_F(GifImageTest, AssignmentCopiesThePictureAndGivesFrameOnesBitmap) {
    TGIFImage other(messages);
    ASSERT_TRUE(other.LoadFromGifStream(gif::testing::ThreeFrames(3)));
    image.Assign(&other);
    EXPECT_EQ(image.FrameCount(), 3);
    EXPECT_EQ(image.DataStream(), other.DataStream());
    other.ClearPicture();  // an independent copy
    EXPECT_EQ(image.FrameCount(), 3);

    // Frame 1 of a picture whose rows all differ and whose columns all
    // differ, 5 wide (rows padded to 8 bytes): any flip, shift or stride
    // slip shows.
    const int indices[3][5] = {{0, 1, 2, 3, 0}, {1, 1, 3, 2, 2}, {3, 0, 0, 1, 2}};
    std::vector<int> pixels;
    for (const auto& row : indices) pixels.insert(pixels.end(), std::begin(row), std::end(row));
    GifBuilder builder("GIF89a", 5, 3, 2);
    builder.ImageFromPixels({.width = 5, .height = 3}, pixels);
    TGIFImage rows(messages);
    ASSERT_TRUE(rows.LoadFromGifStream(gif::testing::InFourColours(builder)));
    UniqueBitmap bitmap = rows.AssignToBitmap();
    ASSERT_TRUE(bitmap);
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 8);
    const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                 RGB(255, 255, 255)};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(GetPixel(dc, x, y), colours[indices[y][x]]) << x << "," << y;
    SelectObject(dc, old);
    DeleteDC(dc);

    image.Assign(&other);  // from an empty one
    EXPECT_TRUE(image.Empty());
    EXPECT_FALSE(image.AssignToBitmap());
    image.Assign(nullptr);
    EXPECT_TRUE(image.Empty());
}

TEST_F(GifImageTest, ProgressCanAbortTheLoad) {
    int calls = 0;
    image.onProgress = [&](TGIFImage&, std::size_t done, std::size_t total, int percent,
                           bool& keep) {
        ++calls;
        EXPECT_LE(done, total);
        EXPECT_LE(percent, 100);
        keep = false;
    };
    EXPECT_FALSE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(image.Empty());
}

TEST_F(GifImageTest, PaletteOfTheFrameOnTheScreen) {
    EXPECT_FALSE(image.Palette());
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));
    UniquePalette palette = image.Palette();
    ASSERT_TRUE(palette);
    PALETTEENTRY first{};
    GetPaletteEntries(palette.get(), 0, 1, &first);
    EXPECT_EQ(RGB(first.peRed, first.peGreen, first.peBlue), RGB(255, 0, 0));
    image.SetVisible(false);
    EXPECT_FALSE(image.Palette());
}

// Placement in a form ---------------------------------------------------------

enum class PicturePart { Box_GroupBox, Picture_GIFImage, Count };

class PictureForm : public FormOf<PicturePart> {
  public:
    PictureForm(MessageDialog& messages, std::span<const ComponentSpec> layout);
    void PictureClick() { ++clicks; }
    int clicks = 0;
};

PictureForm::PictureForm(MessageDialog& messages, std::span<const ComponentSpec> layout)
    : FormOf(testing::TestFormSpec("TPictureForm", layout, 200, 150), messages, nullptr) {}

// The form's own painting into a canvas: background, then windowless controls.
void PaintForm(Form& form, Canvas& canvas) {
    SendMessageA(form.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
    SendMessageA(form.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(canvas.dc()), 0);
}

struct PlacementTest : ::testing::Test {
    RecordingMessages messages;
    std::vector<std::uint8_t> payload = gif::WriteDataProperty(gif::testing::Quadrants());
    GifImageOptions options;
    GifImageMaker maker;

    std::array<ComponentSpec, 2> Layout() {
        maker = GifImageMaker(options);
        return LayoutOf<PictureForm>({{.part = PicturePart::Box_GroupBox,
                                       .name = "Box_GroupBox",
                                       .kind = ComponentKind::GroupBox,
                                       .left = 10,
                                       .top = 10,
                                       .width = 150,
                                       .height = 120},
                                      {.part = PicturePart::Picture_GIFImage,
                                       .name = "Picture_GIFImage",
                                       .kind = ComponentKind::Graphic,
                                       .parent = PicturePart::Box_GroupBox,
                                       .left = 10,
                                       .top = 10,
                                       .width = 40,
                                       .height = 20,
                                       .onClick = Bind<&PictureForm::PictureClick>,
                                       .data = payload,
                                       .graphic = &maker}});
    }
};

TEST_F(PlacementTest, TopLeftAtItsPlaceInTheForm) {
    const auto layout = Layout();
    PictureForm form(messages, layout);
    TGIFImage& image = form.ControlOf<TGIFImage>(form.Get(PicturePart::Picture_GIFImage));
    EXPECT_EQ(image.BoundsRect(), (Bounds{20, 20, 40, 20}));
    EXPECT_EQ(image.FrameCount(), 1);
    Canvas canvas(form.ClientWidth(), form.ClientHeight(), kBehind);
    PaintForm(form, canvas);
    // The 8x8 picture's quadrants: red, green / blue, transparent.
    EXPECT_EQ(canvas.At(20, 20), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(27, 20), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(20, 27), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(27, 27), GetSysColor(COLOR_BTNFACE));  // the form shows through
    EXPECT_EQ(canvas.At(30, 20), GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(image.OpaqueStyle());
    EXPECT_THROW(form.ControlOf<TGIFImage>(form.Get(PicturePart::Box_GroupBox)), std::logic_error);

    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 25));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(25, 25));
    EXPECT_EQ(form.clicks, 1);
}

TEST_F(PlacementTest, StretchedCentredTiledOpaqueAndHidden) {
    options.stretch = true;
    const auto layout = Layout();
    PictureForm form(messages, layout);
    TGIFImage& image = form.ControlOf<TGIFImage>(form.Get(PicturePart::Picture_GIFImage));
    Canvas canvas(form.ClientWidth(), form.ClientHeight(), kBehind);
    PaintForm(form, canvas);
    EXPECT_EQ(canvas.At(20 + 19, 20 + 9), RGB(255, 0, 0));  // quadrants stretched to 20x10
    EXPECT_EQ(canvas.At(20 + 20, 20 + 9), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(20 + 19, 20 + 10), RGB(0, 0, 255));

    image.SetStretch(false);
    image.SetCenter(true);  // (40 - 8) / 2 = 16, (20 - 8) / 2 = 6
    PaintForm(form, canvas);
    EXPECT_EQ(canvas.At(20 + 16, 20 + 6), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(20 + 15, 20 + 6), GetSysColor(COLOR_BTNFACE));

    image.SetTile(true);
    PaintForm(form, canvas);
    EXPECT_EQ(canvas.At(20 + 32, 20 + 16), RGB(255, 0, 0));  // column 4, row 2
    EXPECT_EQ(canvas.At(20 + 36, 20 + 19), RGB(0, 255, 0));  // cut at the edge
    EXPECT_EQ(canvas.At(20 + 40, 20 + 19), GetSysColor(COLOR_BTNFACE));

    image.SetTile(false);
    image.SetOpaque(true);
    image.SetColor(RGB(9, 8, 7));
    PaintForm(form, canvas);
    EXPECT_EQ(canvas.At(20 + 1, 20 + 1), RGB(9, 8, 7));  // the control's colour around it
    EXPECT_EQ(canvas.At(20 + 16, 20 + 6), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(20 + 23, 20 + 13), RGB(9, 8, 7));  // the transparent quadrant

    image.SetVisible(false);
    canvas.Fill(kBehind);
    PaintForm(form, canvas);
    EXPECT_EQ(canvas.At(20 + 16, 20 + 6), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PlacementTest, AnOpaquePictureOverTheWholeControlHasTheOpaqueStyle) {
    options.stretch = true;
    const auto layout = Layout();
    PictureForm form(messages, layout);
    TGIFImage& image = form.ControlOf<TGIFImage>(form.Get(PicturePart::Picture_GIFImage));
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));  // opaque frames
    Canvas canvas(form.ClientWidth(), form.ClientHeight(), kBehind);
    PaintForm(form, canvas);  // the style changes: painted at the next paint
    EXPECT_TRUE(image.OpaqueStyle());
    EXPECT_TRUE(image.CoversClient());
    canvas.Fill(kBehind);
    PaintForm(form, canvas);
    EXPECT_EQ(canvas.At(20, 20), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(59, 39), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(61, 41), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PlacementTest, ImmediateRepaintDrawsTheNewFrameOnTheScreen) {
    const auto layout = Layout();
    PictureForm form(messages, layout);
    TGIFImage& image = form.ControlOf<TGIFImage>(form.Get(PicturePart::Picture_GIFImage));
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));
    ShowWindow(form.Handle(), SW_SHOWNA);
    UpdateWindow(form.Handle());
    image.SetCurrentFrame(2);  // repaints at once, without a WM_PAINT
    HDC screen = GetDC(form.Handle());
    EXPECT_EQ(GetPixel(screen, 21, 21), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(screen, 30, 21), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(form.Handle(), screen);
}

TEST_F(PlacementTest, ImmediateRepaintWithoutAMemoryBitmapDrawsOnTheScreen) {
    // Stretched over a control too large for any memory bitmap; frame 1 is
    // partly transparent, so the repaint goes through one.
    options.stretch = true;
    std::array layout = Layout();
    layout[1].parent = {};
    layout[1].left = layout[1].top = 0;
    layout[1].width = layout[1].height = 40000;
    PictureForm form(messages, layout);
    TGIFImage& image = form.ControlOf<TGIFImage>(form.Get(PicturePart::Picture_GIFImage));
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::RestoreToPrevious()));
    ShowWindow(form.Handle(), SW_SHOWNA);
    UpdateWindow(form.Handle());
    HDC screen = GetDC(form.Handle());
    // Both steps touch the picture's top-left pixel, all that the window shows of it.
    for (int frame : {2, 1}) {
        const RECT client{0, 0, 200, 150};
        FillRect(screen, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        image.SetCurrentFrame(frame);  // repaints at once: the picture's red top-left
        EXPECT_EQ(GetPixel(screen, 5, 5), RGB(255, 0, 0)) << "frame " << frame;
    }
    ReleaseDC(form.Handle(), screen);
}

}  // namespace
}  // namespace norvane
