// Where a scroll bar's thumb stands for a view's top line. A scroll bar's
// positions are ints, and past 32767 neither every message carries them
// whole nor does every system draw them exactly: a view of more lines than
// that maps its top line onto 0..kSteps instead, line by line below it.
#pragma once

#include <cstddef>

namespace norvane {

class ScrollScale {
  public:
    static constexpr int kSteps = 32767;

    // `lines` in all, `page` of them shown at once (at least 1).
    ScrollScale(std::size_t lines, std::size_t page);

    // The highest top line: the last line then shows at the bottom.
    std::size_t LastTop() const { return lastTop_; }
    // The scroll bar's range, 0..Max(), and its page.
    int Max() const;
    unsigned Page() const;
    int PositionOf(std::size_t top) const;
    // The top line at a position; 0..LastTop() whatever the position.
    std::size_t TopAt(int position) const;

  private:
    std::size_t lines_, page_, lastTop_;
    bool scaled_;
};

}  // namespace norvane
