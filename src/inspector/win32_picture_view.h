// A scrollable preview of a DIB at its natural size, exact colours, drawing
// only the part it shows: a large picture opens as quickly as a small one.
// A 32-bit DIB with an alpha mask is drawn over a checkerboard. A DIB whose
// header does not fit its block is not drawn. A metafile is played fitted
// to the view, keeping its aspect, once into a bitmap of the view's size
// that later paints copy from: one of millions of records would otherwise
// be played again on each scroll or window dragged over it. The wheel (with
// Shift, or tilted, sideways), the arrows, Page Up/Down, Home and End
// scroll it once it has the focus, which a click or Tab gives it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "inspector/data_headers.h"
#include "inspector/picture_pixels.h"
#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

class PictureView final : public Window {
  public:
    static constexpr const char* kClassName = "TPictureView";

    PictureView(MessageDialog& messages, HWND parent, const RECT& bounds);

    // The view shows the packed DIB `bytes`, which must stay alive while it
    // does, from its top left; false when the DIB cannot be drawn.
    bool SetPicture(std::span<const std::uint8_t> bytes);
    // The same for a DIB the view keeps (a decoded picture).
    bool SetDecoded(std::vector<std::uint8_t> dib);
    void SetMetafile(UniqueEnhMetafile metafile);
    void Clear();
    void ScrollTo(int x, int y);
    // Draws the part of the view within `area` (client coordinates) into `dc`.
    void Draw(HDC dc, const RECT& area);
    // How many times a metafile has been played since the view was made.
    int MetafilePlays() const { return metafilePlays_; }

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
    // Where the metafile plays: the client area's largest part of its aspect, centred.
    RECT MetafilePlace() const;
    // The metafile played into a bitmap of the client area's `size`, kept
    // until the size changes or the view shows something else; false when
    // no bitmap of that size could be made.
    bool EnsureMetafilePlayed(SIZE size);
    // Plays the metafile into its place, on the window colour.
    void PlayMetafile(HDC dc);

    MessageDialog& messages_;
    std::span<const std::uint8_t> bytes_;
    std::optional<DibHeader> header_;
    std::optional<ChannelMasks> alpha_;
    std::vector<std::uint8_t> decoded_;
    UniqueEnhMetafile metafile_;
    UniqueBitmap played_;  // the client area with the metafile played
    SIZE playedSize_{};
    int metafilePlays_ = 0;
    int wheelRest_ = 0;  // of a wheel turned by less than a notch
    int x_ = 0, y_ = 0;
};

}  // namespace norvane
