#include "note_placement.h"

#include <algorithm>
#include <limits>

namespace memotab {

namespace {

enum Edge { kTop, kLeft, kBottom, kRight };

bool Touches(const ScreenRect& a, const ScreenRect& b) {
  return a[kLeft] < b[kRight] && b[kLeft] < a[kRight] && a[kTop] < b[kBottom] && b[kTop] < a[kBottom];
}

// The square of the gap between two rectangles that do not touch.
long long GapSquared(const ScreenRect& a, const ScreenRect& b) {
  const long long dx = std::max({b[kLeft] - a[kRight], a[kLeft] - b[kRight], 0});
  const long long dy = std::max({b[kTop] - a[kBottom], a[kTop] - b[kBottom], 0});
  return dx * dx + dy * dy;
}

// The start of a span of `length` inside [low, high), as near to `start` as it can be; the
// low end when the span is longer than the room.
int Within(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

}  // namespace

std::array<int, 2> PlaceOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& workAreas) {
  const ScreenRect* nearest = nullptr;
  long long nearestGap = std::numeric_limits<long long>::max();
  for (const ScreenRect& area : workAreas) {
    if (Touches(window, area)) return {window[kTop], window[kLeft]};
    if (const long long gap = GapSquared(window, area); gap < nearestGap) {
      nearestGap = gap;
      nearest = &area;
    }
  }
  if (nearest == nullptr) return {window[kTop], window[kLeft]};
  const ScreenRect& area = *nearest;
  return {Within(window[kTop], window[kBottom] - window[kTop], area[kTop], area[kBottom]),
          Within(window[kLeft], window[kRight] - window[kLeft], area[kLeft], area[kRight])};
}

}  // namespace memotab
