#pragma once

#include <string>

#include "gdi_handles.h"
#include "win.h"

namespace memotab::character {

// What the character's balloons share: paper and ink, their font, the rounded box with a
// pointed tail, and their place beside the figure.
inline constexpr COLORREF kBalloonPaper = RGB(255, 253, 231);
inline constexpr COLORREF kBalloonInk = RGB(60, 48, 32);
// The room the tail takes above or below the box.
inline constexpr int kBalloonTail = 16;

// `points` is at least 6; an empty name is the balloons' own font.
UniqueFont BalloonFont(const std::wstring& name, int points, int weight = FW_NORMAL);

// Where a balloon of some size goes beside a figure: its top-left corner on the screen,
// whether it hangs below the figure, and where its tail meets the figure (from the
// balloon's left edge).
struct BalloonPlace {
  POINT topLeft{0, 0};
  bool below = false;
  int tailX = 0;
};
// Above the figure when it fits there, below it otherwise, centred on it as far as the
// work area allows.
BalloonPlace PlaceBeside(SIZE size, RECT figure, RECT workArea);
// The work area of the monitor that holds most of `rect`.
RECT WorkAreaOf(RECT rect);
// The tallest a balloon beside `figure` may be: the room above or below the figure, which
// ever is larger, less a margin; a balloon of any text then stays on the screen.
int TallestBalloon(RECT figure, RECT workArea);

// A rounded box of `size` less the tail's room, with the tail pointing down to the figure
// from `place.tailX` (up, when the balloon hangs below the figure).
UniqueRegion RoundedBoxWithTail(SIZE size, const BalloonPlace& place);
// Fills a balloon window with paper and outlines its shape (its window region) in ink.
void PaintBalloonPaper(HWND window, HDC dc, HBRUSH paper);

}  // namespace memotab::character
