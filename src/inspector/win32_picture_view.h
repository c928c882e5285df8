// A scrollable preview of a DIB at its natural size, exact colours, drawing
// only the part it shows: a large picture opens as quickly as a small one.
// A 32-bit DIB with an alpha mask is drawn over a checkerboard. A DIB whose
// header does not fit its block is not drawn. A picture in its own coding
// is decoded, and a metafile played, on the view's worker thread while the
// view says so; a metafile is played fitted to the view, keeping its
// aspect, once into a bitmap of the view's size that later paints copy
// from (one of millions of records would otherwise be played again on each
// scroll or window dragged over it), again on the worker when the size
// changes, and no further than a bound of records and time. The wheel (with
// Shift, or tilted, sideways), the arrows, Page Up/Down, Home and End
// scroll it once it has the focus, which a click or Tab gives it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "inspector/data_headers.h"
#include "inspector/encoded_picture.h"
#include "inspector/picture_pixels.h"
#include "inspector/win32_worker.h"
#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

// How far a metafile is played: a metafile of millions of records, or of
// records slow to play, shows what its first ones drew.
struct MetafilePlayBound {
    std::uint32_t records;
    std::chrono::milliseconds time;
};
inline constexpr MetafilePlayBound kMetafilePlayBound{100000, std::chrono::seconds(3)};
// The worker looks whether its play is still wanted after this many records.
inline constexpr std::uint32_t kRecordsBetweenCancelChecks = 256;

// What the view says of its picture once the work on it has ended.
struct PictureReport {
    bool shown = false;
    std::string headerLines;  // each after "\r\n"
};

// A picture decoded from its own coding, as the preview shows it.
struct DecodedForView {
    std::vector<std::uint8_t> dib;  // a packed DIB, empty when not decoded
    std::string headerLines;        // the picture's size, or why it was not decoded
};

// A metafile as the view's plays share it (win32_picture_view.cpp).
struct MetafileSource;

class PictureView final : public Window {
  public:
    static constexpr const char* kClassName = "TPictureView";
    static constexpr const char* kDecodingText = "Decoding the picture...";
    static constexpr const char* kPlayingText = "Playing the metafile...";

    PictureView(MessageDialog& messages, HWND parent, const RECT& bounds);

    // Called whenever work on the worker for the picture set last has
    // ended and what the view shows of it is known.
    void OnReport(std::function<void(const PictureReport&)> report) { report_ = std::move(report); }

    // The view shows the packed DIB `bytes`, which must stay alive while it
    // does, from its top left; false when the DIB cannot be drawn.
    bool SetPicture(std::span<const std::uint8_t> bytes);
    // A picture `decode` gives on the worker thread (it must own what it
    // reads, and stop once its argument says it is cancelled); reported
    // when it comes.
    void SetDecoding(std::function<DecodedForView(const DecodeCancelled&)> decode);
    // A metafile that `make` makes on the worker thread (from bytes of its
    // own), played there; reported when played.
    void SetMetafile(std::function<UniqueEnhMetafile()> make);
    // Shows nothing; cancels the work under way.
    void Clear();
    void SetPlayBound(MetafilePlayBound bound) { bound_ = bound; }
    void ScrollTo(int x, int y);
    // Draws the part of the view within `area` (client coordinates) into `dc`.
    void Draw(HDC dc, const RECT& area);
    // How many times a metafile has been set to play since the view was made.
    int MetafilePlays() const { return metafilePlays_; }
    // Whether work on the worker is queued, under way or not yet shown.
    bool Working() const { return worker_->Busy(); }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int Width() const;
    int Height() const;
    void UpdateScrollBars();
    void OnScroll(int bar, WORD request);
    void OnWheel(int delta, bool sideways);
    void OnKey(WPARAM key);
    bool ShowDib(std::span<const std::uint8_t> bytes);
    SIZE ClientSize() const;
    // Plays the metafile for the client area's size on the worker, unless
    // it is played, or playing, for that size.
    void PlayForSize();
    void TakeWork(LPARAM posted);
    void Report(PictureReport report);
    void DrawPending(HDC dc, const RECT& area, const char* text);

    MessageDialog& messages_;
    std::span<const std::uint8_t> bytes_;
    std::optional<DibHeader> header_;
    std::optional<ChannelMasks> alpha_;
    std::vector<std::uint8_t> decoded_;
    const char* pending_ = nullptr;             // what the view says while the worker works
    std::shared_ptr<MetafileSource> metafile_;  // shared with the plays under way
    UniqueBitmap played_;                       // the client area with the metafile played
    SIZE playedSize_{};
    bool playing_ = false;
    SIZE playingSize_{};  // of the play under way
    MetafilePlayBound bound_ = kMetafilePlayBound;
    int metafilePlays_ = 0;
    int wheelRest_ = 0;  // of a wheel turned by less than a notch
    int x_ = 0, y_ = 0;
    std::function<void(const PictureReport&)> report_;
    // Last: it ends first, before the view's window and what it shows go.
    std::optional<Worker> worker_;  // posts to the view's window, once made
};

}  // namespace norvane
