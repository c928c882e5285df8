// The timing and the pass counting of an animated picture, apart from any
// drawing: how long a frame stays, which frame an animation tick disposes and
// draws, and when the passes are used up.
#pragma once

namespace norvane::gif {

inline constexpr int kMinimumDelay = 50;  // milliseconds at Speed 100

// How long frame of `delay` milliseconds stays at `speed` percent: a delay
// under 50 ms counts as 50 ms; at least 1 ms.
int FrameTime(int delay, int speed);
// The interval until the next tick when drawing took `elapsed` milliseconds
// of the frame's time: at least 1 ms.
int NextInterval(int delay, int speed, int elapsed);

// The counters of a running animation.
struct AnimationCounters {
    int currentFrame = 1;   // 1..frameCount, or frameCount + 1 between counted passes
    int loopsDone = 1;      // passes started
    bool firstTick = true;  // the frame on the screen is already the current one
};

// The passes left allow animating: a counted picture with passes to go, a
// picture that loops for ever (LoopCount 0) or Loop set.
bool PassesLeft(const AnimationCounters& counters, int loopCount, bool loop);

// Should a timer be running: more than one frame, Animate set, a picture
// loaded, and passes left.
bool ShouldAnimate(const AnimationCounters& counters, int frameCount, bool animate, bool empty,
                   int loopCount, bool loop);

// The start of a tick: brings the current frame back into 1..frameCount and
// says whether a new frame is drawn (not on the first tick after a load)
// and which frame is disposed of before it.
struct TickStart {
    bool draws;
    int disposedFrame;  // the frame before the current one, the last before frame 1
};
TickStart StartTick(AnimationCounters& counters, int frameCount);

// The end of a tick: on to the next frame. A counted pass that ends leaves
// the current frame at frameCount + 1 and says whether passes are left.
struct TickEnd {
    bool wrapped;     // the last frame was shown: the next is frame 1
    bool passEnded;   // a counted pass ended: the timer keeps running only with passes left
    bool passesLeft;  // when passEnded
};
TickEnd EndTick(AnimationCounters& counters, int frameCount, int loopCount, bool loop);

// Loop set after the passes were used up starts the animation again from
// frame 1; returns whether it did.
bool RestartOnLoop(AnimationCounters& counters, int frameCount, int loopCount);

}  // namespace norvane::gif
