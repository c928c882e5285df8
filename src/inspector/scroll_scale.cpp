#include "inspector/scroll_scale.h"

#include <algorithm>
#include <cstdint>

namespace norvane {
namespace {

// a * b / c rounded to the nearest, for a, b <= c's range: in 64 bits, a
// line number times kSteps cannot pass them.
std::uint64_t Scaled(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    return (a * b + c / 2) / c;
}

}  // namespace

ScrollScale::ScrollScale(std::size_t lines, std::size_t page)
    : lines_(lines),
      page_(std::max<std::size_t>(page, 1)),
      lastTop_(lines > page_ ? lines - page_ : 0),
      scaled_(lastTop_ > 0 && lines - 1 > static_cast<std::size_t>(kSteps)) {}

int ScrollScale::Max() const {
    if (lastTop_ == 0) return 0;
    return scaled_ ? kSteps : static_cast<int>(lines_ - 1);
}

unsigned ScrollScale::Page() const {
    if (lastTop_ == 0) return 1;
    return scaled_ ? 1 : static_cast<unsigned>(page_);
}

int ScrollScale::PositionOf(std::size_t top) const {
    top = std::min(top, lastTop_);
    return scaled_ ? static_cast<int>(Scaled(top, kSteps, lastTop_)) : static_cast<int>(top);
}

std::size_t ScrollScale::TopAt(int position) const {
    const std::size_t at = static_cast<std::size_t>(std::clamp(position, 0, Max()));
    return std::min(lastTop_,
                    scaled_ ? static_cast<std::size_t>(Scaled(at, lastTop_, kSteps)) : at);
}

}  // namespace norvane
