// What the hex dump and the text view share: a read-only view of lines in
// a fixed-pitch font that paints only the lines it shows, with a vertical
// scroll bar (on a scale past what a scroll bar carries), the wheel and the
// keys (arrows, Page Up/Down, Home/End with or without Ctrl). WM_GETTEXT
// answers what the view gives it.
#pragma once

#include <cstddef>
#include <string>

#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

class LinesView : public Window {
  public:
    // Scrolls so that `line` is the top one, or as near as the last page allows.
    void ScrollTo(std::size_t line);
    std::size_t TopLine() const { return top_; }

  protected:
    LinesView(MessageDialog& messages, int fontHeight);
    // Made by the derived view's constructor, so that its messages reach it.
    void Make(const char* className, HWND parent, const RECT& bounds, bool visible);

    virtual std::size_t LineCount() const = 0;
    // Paints up to `count` lines from `first`, the first at `origin`, each
    // LineHeight() below the one before; the font and colours are set.
    virtual void PaintLines(HDC dc, std::size_t first, std::size_t count, POINT origin) = 0;
    virtual std::string WindowText() const = 0;
    // The client area changed size; the scroll bar follows after.
    virtual void Resized() {}

    // The lines changed: shown again from the top.
    void ShowFromTop();
    std::size_t LinesPerPage() const;
    // Characters of the font a line holds, at least 1; and would hold were
    // the view `width` wide, its frame and scroll bar as now.
    std::size_t CharactersPerLine() const;
    std::size_t CharactersPerLineAt(int width) const;
    int CharWidth() const { return charWidth_; }
    int LineHeight() const { return lineHeight_; }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void UpdateScrollBar();
    void Paint();
    void OnScroll(WORD request);
    bool OnKey(WPARAM key);

    MessageDialog& messages_;
    std::size_t top_ = 0;
    UniqueFont font_;
    int lineHeight_ = 1;
    int charWidth_ = 1;
    int wheelRemainder_ = 0;
};

}  // namespace norvane
