// The timing and pass counting of the animated picture, run tick by tick.
#include "gif_control/gif_animation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace norvane::gif {
namespace {

using ::testing::ElementsAre;

TEST(FrameTime, ShortDelaysCountAsFiftyAndSpeedScales) {
    EXPECT_EQ(FrameTime(100, 100), 100);
    EXPECT_EQ(FrameTime(0, 100), 50);
    EXPECT_EQ(FrameTime(30, 100), 50);
    EXPECT_EQ(FrameTime(100, 200), 50);  // twice as fast
    EXPECT_EQ(FrameTime(30, 200), 25);
    EXPECT_EQ(FrameTime(100, 50), 200);
    EXPECT_EQ(FrameTime(50, 10000), 1);  // never under 1 ms
    EXPECT_EQ(FrameTime(655350, 1), 65535000);
}

TEST(FrameTime, DrawingTimeIsTakenOffTheNextInterval) {
    EXPECT_EQ(NextInterval(100, 100, 0), 100);
    EXPECT_EQ(NextInterval(100, 100, 7), 93);
    EXPECT_EQ(NextInterval(100, 100, 150), 1);
    EXPECT_EQ(NextInterval(20, 200, 5), 20);
}

// One tick as the control runs it: what is drawn and whether the timer stays.
struct Animation {
    AnimationCounters counters{};
    int frameCount = 0, loopCount = 0;
    bool loop = false;
    bool running = true;
    std::vector<int> shown{};  // the frame on the screen after each tick
    int wraps = 0;

    void Tick() {
        if (!running) return;
        const TickStart start = StartTick(counters, frameCount);
        if (start.draws || shown.empty())
            shown.push_back(counters.currentFrame);
        else
            shown.push_back(shown.back());
        const TickEnd end = EndTick(counters, frameCount, loopCount, loop);
        if (end.passEnded && !end.passesLeft) running = false;
        wraps += end.wrapped;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) Tick();
    }
};

TEST(AnimationTick, FirstFrameStaysTwoFrameTimesOnTheFirstPassOnly) {
    Animation run{.frameCount = 3, .loopCount = 0};
    run.Ticks(8);
    // The first tick draws nothing new: frame 1 was drawn by the load.
    EXPECT_THAT(run.shown, ElementsAre(1, 2, 3, 1, 2, 3, 1, 2));
    EXPECT_EQ(run.wraps, 2);
    EXPECT_TRUE(run.running);  // LoopCount 0: for ever
}

TEST(AnimationTick, DisposesThePreviousFrameTheLastBeforeTheFirst) {
    AnimationCounters c;
    EXPECT_FALSE(StartTick(c, 3).draws);
    EndTick(c, 3, 0, false);
    const TickStart second = StartTick(c, 3);
    EXPECT_TRUE(second.draws);
    EXPECT_EQ(second.disposedFrame, 1);
    c.currentFrame = 1;
    EXPECT_EQ(StartTick(c, 3).disposedFrame, 3);
    c.currentFrame = 7;  // out of range: back to 1
    StartTick(c, 3);
    EXPECT_EQ(c.currentFrame, 1);
}

TEST(AnimationTick, CountedPassesStopOnTheLastFrame) {
    // LoopCount 2: two passes of 3 frames, then the timer goes.
    Animation run{.frameCount = 3, .loopCount = 2};
    run.Ticks(10);
    EXPECT_THAT(run.shown, ElementsAre(1, 2, 3, 1, 2, 3));
    EXPECT_FALSE(run.running);
    EXPECT_EQ(run.counters.currentFrame, 4);  // frameCount + 1: finished
    EXPECT_EQ(run.counters.loopsDone, 3);
    EXPECT_FALSE(PassesLeft(run.counters, 2, false));
    EXPECT_FALSE(ShouldAnimate(run.counters, 3, true, false, 2, false));
    EXPECT_TRUE(ShouldAnimate(run.counters, 3, true, false, 2, true));  // Loop set
}

TEST(AnimationTick, APictureWithoutLoopCountPlaysOnce) {
    Animation run{.frameCount = 8, .loopCount = 1};
    run.Ticks(20);
    EXPECT_THAT(run.shown, ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
    EXPECT_FALSE(run.running);
}

TEST(AnimationTick, TheAboutLogoPlays999PassesAndStopsOnFrame8) {
    Animation run{.frameCount = 8, .loopCount = 999};
    run.Ticks(8 * 1000);
    EXPECT_EQ(run.shown.size(), 8u * 999);
    EXPECT_EQ(run.shown.back(), 8);
    EXPECT_EQ(run.wraps, 999);
    EXPECT_FALSE(run.running);
}

TEST(AnimationTick, LoopKeepsACountedPictureGoing) {
    Animation run{.frameCount = 2, .loopCount = 1, .loop = true};
    run.Ticks(9);
    EXPECT_TRUE(run.running);
    EXPECT_EQ(run.wraps, 4);
}

TEST(AnimationTick, LoopAfterThePassesRestartsFromFrameOne) {
    Animation run{.frameCount = 3, .loopCount = 1};
    run.Ticks(5);
    ASSERT_FALSE(run.running);
    EXPECT_TRUE(RestartOnLoop(run.counters, 3, 1));
    EXPECT_EQ(run.counters.currentFrame, 1);
    EXPECT_EQ(run.counters.loopsDone, 1);
    EXPECT_TRUE(ShouldAnimate(run.counters, 3, true, false, 1, false));
    // With passes left, or for ever, or without frames: nothing to restart.
    AnimationCounters fresh;
    EXPECT_FALSE(RestartOnLoop(fresh, 3, 1));
    EXPECT_FALSE(RestartOnLoop(run.counters, 3, 0));
    run.counters.loopsDone = 5;
    EXPECT_FALSE(RestartOnLoop(run.counters, 0, 1));
}

TEST(ShouldAnimate, NeedsFramesAnimateAndAPicture) {
    const AnimationCounters c;
    EXPECT_TRUE(ShouldAnimate(c, 2, true, false, 1, false));
    EXPECT_FALSE(ShouldAnimate(c, 1, true, false, 1, false));  // one frame never animates
    EXPECT_FALSE(ShouldAnimate(c, 2, false, false, 1, false));
    EXPECT_FALSE(ShouldAnimate(c, 2, true, true, 1, false));
}

}  // namespace
}  // namespace norvane::gif
