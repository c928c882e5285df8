#include "gif_control/win32_gif_image.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "gif/gif_decoder.h"
#include "gif_control/data_property.h"
#include "timer/timer_ex.h"
#include "util/flag_scope.h"

namespace norvane {
namespace {

bool PaletteDisplay() {
    HDC screen = GetDC(nullptr);
    const bool palette = GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE;
    ReleaseDC(nullptr, screen);
    return palette;
}

RECT ToRect(const gif::Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TGIFImage::TGIFImage(MessageDialog& errors) : errors_(errors) {
    GraphicControl::SetBounds({0, 0, kDefaultSize, kDefaultSize});
    SetOpaqueStyle(false);
}

TGIFImage::~TGIFImage() {
    timer_.reset();
}

void TGIFImage::ApplyOptions(const GifImageOptions& o) {
    SetAutoSize(o.autoSize);
    SetCenter(o.center);
    SetFirstImageOnly(o.firstImageOnly);
    SetOpaque(o.opaque);
    SetStretch(o.stretch);
    SetStretchRatio(o.stretchRatio);
    SetStretchBigOnly(o.stretchBigOnly);
    SetTile(o.tile);
    SetThreaded(o.threaded);
    SetThreadPriority(o.threadPriority);
    SetSpeed(o.speed);
    SetVisible(o.visible);
    SetLoop(o.loop);
    SetAnimate(o.animate);
}

// Loading ------------------------------------------------------------------

bool TGIFImage::LoadFromGifStream(std::span<const std::uint8_t> stream) {
    workStream_.assign(stream.begin(), stream.end());
    bool loaded = false;
    try {
        loaded = ParseGifData();
    } catch (...) {
        loaded = false;
    }
    workStream_.clear();
    if (!loaded) ClearPicture();
    return loaded;
}

bool TGIFImage::ReadDataProperty(std::span<const std::uint8_t> payload) {
    return gif::ReadDataProperty(payload, dataStream_);
}

std::vector<std::uint8_t> TGIFImage::WriteDataProperty() const {
    return gif::WriteDataProperty(dataStream_);
}

void TGIFImage::Loaded() {
    if (dataStream_.empty()) return;
    const std::vector<std::uint8_t> data = dataStream_;
    LoadFromGifStream(data);
}

bool TGIFImage::ParseGifData() {
    ClearFrames();
    dataStream_ = workStream_;
    if (workStream_.empty()) return false;
    gif::DecodeOptions options;
    options.firstImageOnly = firstImageOnly_;
    if (onProgress)
        options.onProgress = [this](const gif::Progress& p, bool& keep) { Progress(p, keep); };
    std::optional<gif::Picture> picture = gif::DecodeGif(workStream_, options);
    if (!picture) return false;
    picture_ = std::move(*picture);
    CompleteLoad();
    return true;
}

void TGIFImage::CompleteLoad() {
    composition_.reset();
    composition_ = std::make_unique<GifComposition>(picture_);  // black, all transparent
    if (autoSize_) SetBounds({Left(), Top(), LogicalWidth(), LogicalHeight()});
    empty_ = false;
    UpdateOpaqueStyle();
    Changing();
    DrawFrame();
    Change();
    PostPaletteQuery(false);
    Invalidate();
}

void TGIFImage::ClearFrames() {
    empty_ = true;
    everLoaded_ = true;
    UpdateAnimationTimer(false, 0);
    picture_ = gif::Picture{};
    dataStream_.clear();
    counters_ = gif::AnimationCounters{};
}

void TGIFImage::ClearPicture() {
    ClearFrames();
    composition_.reset();
    UpdateOpaqueStyle();
    Invalidate();
}

void TGIFImage::Progress(const gif::Progress& p, bool& keepOnProcessing) {
    if (onProgress)
        onProgress(*this, p.bytesProcessed, p.bytesToProcess, p.percentageProcessed,
                   keepOnProcessing);
}

void TGIFImage::Changing() {
    if (onChanging) onChanging(*this);
}

void TGIFImage::Change() {
    if (onChange) onChange(*this);
}

// Assignment -----------------------------------------------------------------

void TGIFImage::Assign(const TGIFImage* source) {
    if (!source || source->Empty()) {
        ClearPicture();
        return;
    }
    const std::vector<std::uint8_t> copy = source->dataStream_;
    LoadFromGifStream(copy);
}

UniqueBitmap TGIFImage::AssignToBitmap() const {
    if (empty_ || picture_.frames.empty()) return {};
    const gif::Frame& f = picture_.frames.front();
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } dib{};
    dib.header = {sizeof dib.header,
                  f.width,
                  f.height,
                  1,
                  8,
                  BI_RGB,
                  0,
                  0,
                  0,
                  static_cast<DWORD>(f.colorCount),
                  0};
    for (int i = 0; i < f.colorCount; ++i)
        dib.colors[i] = {f.colorTable[3 * i + 2], f.colorTable[3 * i + 1], f.colorTable[3 * i], 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&dib),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) std::copy(f.pixels.begin(), f.pixels.end(), static_cast<std::uint8_t*>(bits));
    return bitmap;
}

UniquePalette TGIFImage::Palette() const {
    // Between passes the current frame stands one past the last: no palette.
    const int n = counters_.currentFrame;
    if (empty_ || !visible_ || n < 1 || n > FrameCount()) return {};
    const gif::Frame& f = Frame(n);
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } palette{0x300, static_cast<WORD>(f.colorCount), {}};
    for (int i = 0; i < f.colorCount; ++i)
        palette.entries[i] = {f.colorTable[3 * i], f.colorTable[3 * i + 1], f.colorTable[3 * i + 2],
                              0};
    return UniquePalette(CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette)));
}

void TGIFImage::PostPaletteQuery(bool onlyWithFocus) const {
    // Only a display with a hardware palette realises one; at more than 8
    // bits per pixel every bitmap shows its own colours.
    if (!Parent() || !PaletteDisplay()) return;
    if (onlyWithFocus && GetFocus() != Parent()) return;
    PostMessageA(Parent(), WM_QUERYNEWPALETTE, 0, 0);
}

// Composition ---------------------------------------------------------------

void TGIFImage::DrawFrame() {
    if (composition_) composition_->DrawFrame(counters_.currentFrame);
}

void TGIFImage::DisposeFrame(int n) {
    if (composition_) composition_->DisposeFrame(n);
}

// Properties ---------------------------------------------------------------

void TGIFImage::SetPlacementFlag(bool& flag, bool value) {
    if (flag == value) return;
    flag = value;
    Invalidate();
}

void TGIFImage::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    if (autoSize_ && !empty_) SetBounds({Left(), Top(), LogicalWidth(), LogicalHeight()});
    Invalidate();
}

void TGIFImage::SetVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        Invalidate();
    }
    PostPaletteQuery(true);
}

COLORREF TGIFImage::Color() const {
    return color_ ? *color_ : GetSysColor(COLOR_BTNFACE);
}

void TGIFImage::SetColor(COLORREF color) {
    color_ = color;
    Invalidate();
}

void TGIFImage::SetThreaded(bool threaded) {
    threaded_ = threaded;
    if (timer_) timer_->SetThreaded(threaded);
}

void TGIFImage::SetThreadPriority(TThreadPriority priority) {
    threadPriority_ = priority;
    if (timer_) timer_->SetThreadPriority(priority);
}

void TGIFImage::SetCurrentFrame(int n) {
    if (n == counters_.currentFrame || FrameCount() <= 0 || n < 1 || n > FrameCount()) return;
    Changing();
    const int old = counters_.currentFrame;
    DisposeFrame(old);
    counters_.currentFrame = n;
    DrawFrame();
    RepaintArea(FramesArea(old, n));
    Change();
}

// Placement and painting ---------------------------------------------------

gif::Sizes TGIFImage::SizesNow() const {
    return {Width(), Height(), LogicalWidth(), LogicalHeight()};
}

gif::Rect TGIFImage::ImageRect() const {
    return gif::ImageRect(placement_, stretchActive_, SizesNow());
}

void TGIFImage::UpdateOpaqueStyle() {
    stretchActive_ = gif::StretchActive(placement_, SizesNow());
    const bool firstTransparent = !picture_.frames.empty() && picture_.frames.front().transparent;
    coversClient_ =
        gif::CoversClient(visible_, empty_, firstTransparent, ImageRect(), Width(), Height());
    SetOpaqueStyle(coversClient_);
}

void TGIFImage::DrawComposite(HDC dc, const gif::Rect& target) const {
    composition_->DrawComposite(dc, ToRect(target));
}

void TGIFImage::PaintTo(HDC dc) {
    if (!visible_) return;
    if (opaque_ && !coversClient_) {
        UniqueBrush brush(CreateSolidBrush(Color()));
        SelectedObject selected(dc, brush.get());
        PatBlt(dc, 0, 0, Width(), Height(), PATCOPY);
    }
    if (empty_ || FrameCount() == 0 || !composition_) return;
    const int lw = LogicalWidth(), lh = LogicalHeight();
    if (stretchActive_) {
        DrawComposite(dc, ImageRect());
    } else if (placement_.tile) {
        const gif::TileGrid grid = gif::Tiles(SizesNow());
        for (int y = 0; y < grid.rows; ++y)
            for (int x = 0; x < grid.columns; ++x)
                DrawComposite(dc, {x * lw, y * lh, x * lw + lw, y * lh + lh});
    } else {
        DrawComposite(dc, ImageRect());
    }
}

void TGIFImage::Paint(HDC dc) {
    if (empty_ && !opaque_) return;
    PaintTo(dc);
}

void TGIFImage::PaintMessage(HDC dc) {
    const bool wasOpaque = OpaqueStyle();
    UpdateOpaqueStyle();
    // A control that turns opaque or transparent needs its parent's
    // background painted anew first.
    if (OpaqueStyle() != wasOpaque)
        Invalidate();
    else
        PaintTo(dc);
    // Keep the animation running.
    const int n = counters_.currentFrame;
    const int interval = animate_ && FrameCount() > 1 && n <= FrameCount() ? FrameTimeOf(n) : 1;
    UpdateAnimationTimer(
        gif::ShouldAnimate(counters_, FrameCount(), animate_, empty_, LoopCount(), loop_),
        interval);
}

void TGIFImage::Repaint() {
    RepaintArea({0, 0, LogicalWidth(), LogicalHeight()});
}

gif::Rect TGIFImage::FramesArea(int a, int b) const {
    gif::Rect area{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int n : {a, b}) {
        if (n < 1 || n > FrameCount()) continue;
        const gif::Frame& f = Frame(n);
        area = {std::min(area.left, f.left), std::min(area.top, f.top),
                std::max(area.right, f.left + f.width), std::max(area.bottom, f.top + f.height)};
    }
    return area.left < area.right ? area : gif::Rect{};
}

RECT TGIFImage::ChangedParentRect(const gif::Rect& pictureArea) const {
    // Only where the picture changed: within its rectangle on the control.
    gif::Rect image = ImageRect();
    const gif::Rect changed =
        gif::AreaOnControl(image, pictureArea, SizesNow(), placement_.tile && !stretchActive_);
    image = {std::max(image.left, changed.left), std::max(image.top, changed.top),
             std::min(image.right, changed.right), std::min(image.bottom, changed.bottom)};
    RECT r{image.left + Left(), image.top + Top(), image.right + Left(), image.bottom + Top()};
    const RECT bounds = ParentRect();
    IntersectRect(&r, &r, &bounds);
    return r;
}

void TGIFImage::RepaintArea(const gif::Rect& pictureArea) {
    if (!Parent() || repainting_ || !visible_) return;
    FlagScope repainting(repainting_);
    HWND parent = Parent();
    // Child windows of the parent keep their pixels.
    HDC parentDC = GetDCEx(parent, nullptr, DCX_CACHE | DCX_CLIPCHILDREN);
    if (!parentDC) return;
    const RECT r = ChangedParentRect(pictureArea);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w > 0 && h > 0) {
        HDC dc = parentDC;
        if (doubleBuffered_ && !coversClient_) {
            // A bitmap of the repainted rectangle alone, at its place in the
            // parent's coordinates; kept for the next step. Without one
            // (Windows could not give it) the step draws on the screen and
            // the next one asks again.
            if (!buffer_.HasBitmap() || bufferSize_.cx < w || bufferSize_.cy < h) {
                buffer_ = MemoryCanvas(UniqueBitmap(CreateCompatibleBitmap(parentDC, w, h)));
                bufferSize_ = {w, h};
            }
            if (buffer_.HasBitmap()) {
                dc = buffer_.dc();
                SetWindowOrgEx(dc, r.left, r.top, nullptr);
            }
        }
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        if (OpaqueStyle()) {
            OffsetViewportOrgEx(dc, Left(), Top(), nullptr);
            PaintTo(dc);
        } else {
            // The parent paints its background and its windowless
            // controls, this one among them.
            SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(dc));
            SendMessageA(parent, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        }
        RestoreDC(dc, saved);
        if (dc != parentDC) BitBlt(parentDC, r.left, r.top, w, h, dc, r.left, r.top, SRCCOPY);
    }
    ReleaseDC(parent, parentDC);
}

// Animation ----------------------------------------------------------------

int TGIFImage::FrameTimeOf(int n) const {
    // Once the passes are used up the current frame stands one past the
    // last; the next tick starts again at frame 1.
    if (n < 1 || n > FrameCount()) n = 1;
    return gif::FrameTime(Frame(n).delay, speed_);
}

void TGIFImage::UpdateAnimationTimer(bool run, int interval) {
    if (!run) {
        timer_.reset();
        return;
    }
    if (!timer_) {
        auto timer = std::make_unique<TTimerEx>(errors_);
        timer->SetThreaded(threaded_);
        timer->SetThreadPriority(threadPriority_);
        timer->SetOnTimer([this](TTimerEx&) { AnimationTick(); });
        timer_ = std::move(timer);
    }
    // The same interval again would only restart the countdown: a repaint
    // between two steps must not hold the frame on the screen longer.
    if (timer_->Interval() != static_cast<std::uint32_t>(interval))
        timer_->SetInterval(static_cast<std::uint32_t>(interval));
}

void TGIFImage::AnimationTick() {
    if (empty_ || !animate_ || !timer_ || FrameCount() == 0) return;
    const DWORD started = GetTickCount();
    const int frameCount = FrameCount();
    const gif::TickStart start = gif::StartTick(counters_, frameCount);
    Changing();
    if (start.draws) {
        DisposeFrame(start.disposedFrame);
        DrawFrame();
        RepaintArea(FramesArea(start.disposedFrame, counters_.currentFrame));
    }
    // An event handler may have stopped the animation or emptied the control.
    if (!timer_ || empty_) return;
    const int elapsed = static_cast<int>(GetTickCount() - started);
    timer_->SetInterval(static_cast<std::uint32_t>(
        gif::NextInterval(Frame(counters_.currentFrame).delay, speed_, elapsed)));
    const gif::TickEnd end = gif::EndTick(counters_, frameCount, LoopCount(), loop_);
    if (end.passEnded) UpdateAnimationTimer(end.passesLeft, static_cast<int>(timer_->Interval()));
    Change();
    if (end.wrapped && onWrapAnimation) onWrapAnimation(*this);
}

void TGIFImage::SetAnimate(bool animate) {
    if (animate == animate_) return;
    animate_ = animate;
    counters_.loopsDone = 1;
    const int interval = animate && FrameCount() > 1 ? FrameTimeOf(counters_.currentFrame) : 0;
    UpdateAnimationTimer(animate && FrameCount() > 1 && !empty_, interval);
    if (!animate && counters_.currentFrame > 1) {
        DisposeFrame(counters_.currentFrame - 1);
        counters_.currentFrame = 1;
        DrawFrame();
        Invalidate();
    }
}

void TGIFImage::SetLoop(bool loop) {
    if (loop == loop_) return;
    loop_ = loop;
    if (loop && gif::RestartOnLoop(counters_, FrameCount(), LoopCount()))
        UpdateAnimationTimer(animate_ && FrameCount() > 1 && !empty_, FrameTimeOf(1));
}

void TGIFImage::SetSpeed(int speed) {
    if (speed == speed_) return;
    speed_ = speed < 1 ? 1 : speed;
    // The next step comes at once, at the new speed.
    if (FrameCount() > 1 && animate_ && timer_) timer_->SetInterval(1);
}

std::unique_ptr<GraphicControl> GifImageMaker::Make(MessageDialog& messages,
                                                    std::span<const std::uint8_t> data) const {
    auto image = std::make_unique<TGIFImage>(messages);
    image->ApplyOptions(options_);
    if (!data.empty()) image->ReadDataProperty(data);
    return image;
}

}  // namespace norvane
