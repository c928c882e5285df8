// A scrollable preview of a DIB at its natural size, exact colours, drawing
// only the part it shows: a large picture opens as quickly as a small one.
// A 32-bit DIB with an alpha mask is drawn over a checkerboard. A DIB whose
// header does not fit its block is not drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "inspector/data_headers.h"
#include "inspector/picture_pixels.h"
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
    void ScrollTo(int x, int y);
    // Draws the part of the view within `area` (client coordinates) into `dc`.
    void Draw(HDC dc, const RECT& area) const;

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    int Width() const;
    int Height() const;
    void UpdateScrollBars();
    void OnScroll(int bar, WORD request);

    MessageDialog& messages_;
    std::span<const std::uint8_t> bytes_;
    std::optional<DibHeader> header_;
    std::optional<ChannelMasks> alpha_;
    int x_ = 0, y_ = 0;
};

}  // namespace norvane
