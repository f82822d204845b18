#pragma once

#include <array>
#include <vector>

namespace memotab {

// A rectangle of the screen in pixels: {top, left, bottom, right}, the bottom and right
// edges excluded (as the system's work areas are given).
using ScreenRect = std::array<int, 4>;

// Where a window of rectangle `window` opens: where it is when it touches one of the
// monitors' work areas, else moved just inside the nearest one. Returns {top, left}.
std::array<int, 2> PlaceOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& workAreas);

}  // namespace memotab
