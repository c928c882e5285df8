// TGIFImage: a windowless control that shows a GIF picture. It keeps the
// decoded frames, composes them off-screen by the disposal rules, paints the
// composition at one of several placements with its transparent parts
// showing what lies behind, and animates it on a TTimerEx, each frame shown
// for its own delay scaled by Speed, for the picture's passes or for ever.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "gif/gif_picture.h"
#include "gif_control/gif_animation.h"
#include "gif_control/gif_placement.h"
#include "gif_control/win32_gif_composition.h"
#include "timer/thread_priority.h"
#include "ui/graphic_control.h"
#include "ui/handles.h"
#include "ui/message_dialog.h"

namespace norvane {

class TTimerEx;

// The initial options of a control in a form's layout.
struct GifImageOptions {
    bool animate = false;
    bool autoSize = false;
    bool center = false;
    bool firstImageOnly = false;
    bool loop = false;
    bool opaque = false;
    bool stretch = false;
    bool stretchRatio = false;
    bool stretchBigOnly = false;
    bool tile = false;
    bool threaded = false;
    bool visible = true;
    int speed = 100;
    TThreadPriority threadPriority = TThreadPriority::tpNormal;
};

using UniquePalette = Unique<HPALETTE, GdiTraits<HPALETTE>>;

class TGIFImage : public GraphicControl {
  public:
    using NotifyEvent = std::function<void(TGIFImage& sender)>;
    using ProgressEvent = std::function<void(TGIFImage& sender, std::size_t bytesProcessed,
                                             std::size_t bytesToProcess, int percentageProcessed,
                                             bool& keepOnProcessing)>;

    static constexpr int kDefaultSize = 105;

    // Errors raised while animating go to `errors`' general error box.
    explicit TGIFImage(MessageDialog& errors);
    ~TGIFImage() override;

    void ApplyOptions(const GifImageOptions& options);

    // Loading. A failed load leaves the control empty and returns false.
    bool LoadFromGifStream(std::span<const std::uint8_t> stream);
    // The form property "Data": appended to DataStream, decoded by Loaded.
    bool ReadDataProperty(std::span<const std::uint8_t> payload);
    std::vector<std::uint8_t> WriteDataProperty() const;
    void Loaded() override;
    const std::vector<std::uint8_t>& DataStream() const { return dataStream_; }

    // Assignment: from none (cleared) or another control (a copy of its
    // picture); to a bitmap: frame 1's decoded bitmap, none when empty.
    void Assign(const TGIFImage* source);
    UniqueBitmap AssignToBitmap() const;
    // The palette of the frame on the screen; none when empty or hidden.
    UniquePalette Palette() const;

    void ClearPicture();

    // The picture.
    bool Empty() const { return empty_; }
    int FrameCount() const { return static_cast<int>(picture_.frames.size()); }
    const gif::Frame& Frame(int n) const {
        return picture_.frames.at(static_cast<std::size_t>(n - 1));
    }
    int LogicalWidth() const { return picture_.logicalWidth; }
    int LogicalHeight() const { return picture_.logicalHeight; }
    int LoopCount() const { return picture_.loopCount; }
    int LoopsDone() const { return counters_.loopsDone; }
    bool HasTransparency() const { return picture_.hasTransparency; }
    gif::Version Version() const { return picture_.version; }
    // The composition; none when empty.
    const GifComposition* Composition() const { return composition_.get(); }

    // Properties.
    bool Animate() const { return animate_; }
    void SetAnimate(bool animate);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Center() const { return placement_.center; }
    void SetCenter(bool center) { SetPlacementFlag(placement_.center, center); }
    // 0 until the first load.
    int CurrentFrame() const { return everLoaded_ ? counters_.currentFrame : 0; }
    void SetCurrentFrame(int n);
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool doubleBuffered) { doubleBuffered_ = doubleBuffered; }
    bool FirstImageOnly() const { return firstImageOnly_; }
    void SetFirstImageOnly(bool firstImageOnly) { firstImageOnly_ = firstImageOnly; }
    bool Loop() const { return loop_; }
    void SetLoop(bool loop);
    bool Opaque() const { return opaque_; }
    void SetOpaque(bool opaque) { SetPlacementFlag(opaque_, opaque); }
    int Speed() const { return speed_; }
    void SetSpeed(int speed);
    bool Stretch() const { return placement_.stretch; }
    void SetStretch(bool stretch) { SetPlacementFlag(placement_.stretch, stretch); }
    bool StretchRatio() const { return placement_.stretchRatio; }
    void SetStretchRatio(bool ratio) { SetPlacementFlag(placement_.stretchRatio, ratio); }
    bool StretchBigOnly() const { return placement_.stretchBigOnly; }
    void SetStretchBigOnly(bool bigOnly) { SetPlacementFlag(placement_.stretchBigOnly, bigOnly); }
    bool Tile() const { return placement_.tile; }
    void SetTile(bool tile) { SetPlacementFlag(placement_.tile, tile); }
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool threaded);
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority priority);
    // The control's own visibility: hidden, nothing is painted.
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override;
    COLORREF Color() const;  // the parent's face colour unless set
    void SetColor(COLORREF color);
    bool Animating() const { return timer_ != nullptr; }

    NotifyEvent onChanging, onChange, onWrapAnimation;
    ProgressEvent onProgress;

    // The picture's rectangle in the control's coordinates.
    gif::Rect ImageRect() const;
    // Brings StretchActive, CoversClient and the opaque style up to date.
    void UpdateOpaqueStyle();
    bool CoversClient() const { return coversClient_; }
    void PaintTo(HDC dc);
    void Paint(HDC dc) override;
    // The parent's paint: may start the animation.
    void PaintMessage(HDC dc) override;
    // Repaints now, through a memory bitmap unless the picture hides the
    // control's whole area.
    void Repaint() override;

  protected:
    virtual bool ParseGifData();
    virtual void Changing();
    virtual void Change();
    virtual void Progress(const gif::Progress& progress, bool& keepOnProcessing);
    void AnimationTick();

  private:
    void ClearFrames();
    void CompleteLoad();
    void DrawFrame();
    void DisposeFrame(int n);
    void UpdateAnimationTimer(bool run, int interval);
    // The immediate repaint of where a rectangle of the picture shows.
    void RepaintArea(const gif::Rect& pictureArea);
    // The part of the parent's client area where pictureArea shows.
    RECT ChangedParentRect(const gif::Rect& pictureArea) const;
    // The rectangle covering frames a and b (either may be out of range).
    gif::Rect FramesArea(int a, int b) const;
    int FrameTimeOf(int n) const;
    void SetPlacementFlag(bool& flag, bool value);
    void DrawComposite(HDC dc, const gif::Rect& target) const;
    void PostPaletteQuery(bool onlyWithFocus) const;
    gif::Sizes SizesNow() const;

    MessageDialog& errors_;
    std::vector<std::uint8_t> dataStream_, workStream_;
    gif::Picture picture_;
    std::unique_ptr<GifComposition> composition_;
    std::unique_ptr<TTimerEx> timer_;
    gif::AnimationCounters counters_;
    gif::Placement placement_;
    bool empty_ = true;
    bool everLoaded_ = false;
    bool animate_ = false, autoSize_ = false, doubleBuffered_ = true, firstImageOnly_ = false;
    bool loop_ = false, opaque_ = false, threaded_ = false, visible_ = true;
    int speed_ = 100;
    TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
    std::optional<COLORREF> color_;
    bool stretchActive_ = false, coversClient_ = false;
    bool repainting_ = false;
    MemoryCanvas buffer_;  // the immediate repaint's memory bitmap
    SIZE bufferSize_{0, 0};
};

// Makes the TGIFImage of a form's layout entry (kind Graphic): the options
// given here, then the entry's bytes as the "Data" property, decoded once
// every component of the form exists (Loaded).
class GifImageMaker final : public GraphicMaker {
  public:
    constexpr explicit GifImageMaker(const GifImageOptions& options = {}) : options_(options) {}
    std::unique_ptr<GraphicControl> Make(MessageDialog& messages,
                                         std::span<const std::uint8_t> data) const override;

  private:
    GifImageOptions options_;
};

}  // namespace norvane
