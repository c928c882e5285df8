#include "gif_control/gif_animation.h"

#include <algorithm>

namespace norvane::gif {

int FrameTime(int delay, int speed) {
    return NextInterval(delay, speed, 0);
}

int NextInterval(int delay, int speed, int elapsed) {
    const long long time =
        static_cast<long long>(std::max(delay, kMinimumDelay)) * 100 / std::max(speed, 1);
    return static_cast<int>(std::clamp<long long>(time - elapsed, 1, 0x7FFFFFFF));
}

bool PassesLeft(const AnimationCounters& c, int loopCount, bool loop) {
    return loopCount >= c.loopsDone || loop || loopCount == 0;
}

bool ShouldAnimate(const AnimationCounters& c, int frameCount, bool animate, bool empty,
                   int loopCount, bool loop) {
    return frameCount > 1 && animate && !empty && PassesLeft(c, loopCount, loop);
}

TickStart StartTick(AnimationCounters& c, int frameCount) {
    if (c.currentFrame > frameCount || c.currentFrame <= 0) c.currentFrame = 1;
    if (c.firstTick) {
        c.firstTick = false;
        return {false, 0};
    }
    return {true, c.currentFrame == 1 ? frameCount : c.currentFrame - 1};
}

TickEnd EndTick(AnimationCounters& c, int frameCount, int loopCount, bool loop) {
    ++c.currentFrame;
    const bool wrapped = c.currentFrame > frameCount;
    if (!loop && loopCount > 0 && wrapped) {
        ++c.loopsDone;
        return {true, true, c.loopsDone <= loopCount};
    }
    if (wrapped || c.currentFrame <= 0) c.currentFrame = 1;
    return {wrapped, false, true};
}

bool RestartOnLoop(AnimationCounters& c, int frameCount, int loopCount) {
    if (frameCount <= 0 || loopCount <= 0 || c.loopsDone <= loopCount) return false;
    c.currentFrame = 1;
    c.loopsDone = 1;
    return true;
}

}  // namespace norvane::gif
