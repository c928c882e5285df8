// The control's animation on its timer, in both timer modes, with Speed
// raised: frame order, frame 1 kept for two frame times on the first pass,
// passes counted, stopping on the last frame, Loop restarting, Animate false
// returning to frame 1. Timing is checked with generous bounds only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/recording_messages.h"
#include "gif_control/win32_gif_image.h"
#include "win32/gif_samples.h"
#include "win32/message_pump.h"
#include "win32/pixels.h"

namespace norvane {
namespace {

using std::chrono::milliseconds;
using ::testing::ElementsAre;
using testing::PumpFor;
using testing::PumpUntil;
using testing::RecordingMessages;

constexpr int kDelay = 20;        // centiseconds: 200 ms
constexpr int kSpeed = 400;       // 50 ms a frame
constexpr DWORD kFrameTime = 50;  // milliseconds

struct Shown {
    int frame;
    DWORD at;
};

class Animation : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        image.SetThreaded(GetParam());
        image.SetSpeed(kSpeed);
        // Before each tick's drawing the current frame is the one it shows.
        image.onChanging = [this](TGIFImage& sender) {
            shown.push_back({sender.CurrentFrame(), GetTickCount()});
        };
        image.onWrapAnimation = [this](TGIFImage&) { ++wraps; };
    }
    std::vector<int> Frames() const {
        std::vector<int> frames;
        for (const Shown& s : shown) frames.push_back(s.frame);
        return frames;
    }

    RecordingMessages messages;
    TGIFImage image{messages};
    std::vector<Shown> shown;
    int wraps = 0;
};

TEST_P(Animation, PlaysItsPassesAndStopsOnTheLastFrame) {
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(2, kDelay)));
    shown.clear();
    const DWORD start = GetTickCount();
    image.SetAnimate(true);
    EXPECT_TRUE(image.Animating());
    ASSERT_TRUE(PumpUntil([&] { return !image.Animating(); }));
    EXPECT_THAT(Frames(), ElementsAre(1, 2, 3, 1, 2, 3));
    EXPECT_EQ(wraps, 2);
    EXPECT_EQ(image.CurrentFrame(), 4);  // finished: one past the last
    EXPECT_EQ(image.LoopsDone(), 3);
    // Frame 1 stays two frame times on the first pass: frame 2 comes at
    // the second tick.
    EXPECT_GE(shown[1].at - start, 2 * kFrameTime - 10);
    EXPECT_GE(shown[2].at - shown[1].at, kFrameTime - 10);
    // The last frame stays on the screen.
    testing::Canvas canvas(4, 4, RGB(1, 1, 1));
    image.SetBounds({0, 0, 4, 4});
    image.PaintTo(canvas.dc());
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 255));
    EXPECT_TRUE(messages.errors.empty());
}

TEST_P(Animation, LoopRestartsAndAnimateFalseReturnsToFrameOne) {
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1, kDelay)));
    image.SetAnimate(true);
    ASSERT_TRUE(PumpUntil([&] { return !image.Animating(); }));
    EXPECT_EQ(wraps, 1);
    image.SetLoop(true);  // the passes were used up: from frame 1 again
    EXPECT_TRUE(image.Animating());
    EXPECT_EQ(image.CurrentFrame(), 1);
    ASSERT_TRUE(PumpUntil([&] { return wraps == 3; }));
    EXPECT_TRUE(image.Animating());  // Loop: for ever
    ASSERT_TRUE(PumpUntil([&] { return image.CurrentFrame() == 3; }));
    image.SetAnimate(false);
    EXPECT_FALSE(image.Animating());
    EXPECT_EQ(image.CurrentFrame(), 1);
    testing::Canvas canvas(4, 4, RGB(1, 1, 1));
    image.SetBounds({0, 0, 4, 4});
    image.PaintTo(canvas.dc());
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
    const std::size_t ticks = shown.size();
    PumpFor(milliseconds(3 * kFrameTime));
    EXPECT_EQ(shown.size(), ticks);  // no tick after the timer went
}

INSTANTIATE_TEST_SUITE_P(TimerModes, Animation, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Threaded" : "Window"; });

// A worker already asleep keeps its interval until it wakes; a window
// timer starts the new one at once.
TEST(AnimationSpeed, ChangesTakeEffectAtOnceOnAWindowTimer) {
    RecordingMessages messages;
    TGIFImage image(messages);
    int wraps = 0;
    image.onWrapAnimation = [&](TGIFImage&) { ++wraps; };
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(0, 1000)));  // 10 s a frame
    image.SetAnimate(true);
    image.SetSpeed(20000);  // 10 s * 100 / 20000: 50 ms a frame
    ASSERT_TRUE(PumpUntil([&] { return wraps >= 2; }, milliseconds(3000)));
    image.SetSpeed(0);
    EXPECT_EQ(image.Speed(), 1);
}

TEST(AnimationStart, OneFrameNeverAnimatesAndAnEmptyControlNeither) {
    RecordingMessages messages;
    TGIFImage image(messages);
    image.SetAnimate(true);
    EXPECT_FALSE(image.Animating());
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::Quadrants()));
    testing::Canvas canvas(8, 8, RGB(1, 1, 1));
    image.PaintMessage(canvas.dc());
    EXPECT_FALSE(image.Animating());
}

TEST(AnimationStart, TheFirstPaintAfterALoadStartsIt) {
    RecordingMessages messages;
    TGIFImage image(messages);
    image.SetAnimate(true);
    ASSERT_TRUE(image.LoadFromGifStream(gif::testing::ThreeFrames(1)));
    EXPECT_FALSE(image.Animating());  // a load stops it
    testing::Canvas canvas(4, 4, RGB(1, 1, 1));
    image.PaintMessage(canvas.dc());
    EXPECT_TRUE(image.Animating());
    image.ClearPicture();
    EXPECT_FALSE(image.Animating());
}

}  // namespace
}  // namespace norvane
