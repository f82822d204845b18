// Where a note opens when its stored rectangle is off every monitor.
#include "note_placement.h"

#include <gtest/gtest.h>

namespace memotab {
namespace {

using Place = std::array<int, 2>;

// Two monitors side by side, each with a taskbar 40 pixels high along its bottom.
const std::vector<ScreenRect> kTwoMonitors = {{0, 0, 1040, 1920}, {0, 1920, 1040, 3200}};

TEST(NotePlacement, ANoteThatTouchesAWorkAreaStaysWhereItIsStored) {
  EXPECT_EQ(PlaceOnScreen({80, 40, 321, 241}, kTwoMonitors), (Place{80, 40}));
  // Mostly off the right edge of the second monitor, but a column of it can be reached.
  EXPECT_EQ(PlaceOnScreen({100, 3199, 341, 3400}, kTwoMonitors), (Place{100, 3199}));
  // Across the border of the two monitors.
  EXPECT_EQ(PlaceOnScreen({100, 1800, 341, 2001}, kTwoMonitors), (Place{100, 1800}));
}

TEST(NotePlacement, ANoteEntirelyOffEveryWorkAreaMovesJustInsideTheNearest) {
  // Left by a removed monitor to the right of both.
  EXPECT_EQ(PlaceOnScreen({100, 3500, 341, 3701}, kTwoMonitors), (Place{100, 2999}));
  // Below the taskbar of the first monitor (a lowered resolution).
  EXPECT_EQ(PlaceOnScreen({1100, 40, 1341, 241}, kTwoMonitors), (Place{799, 40}));
  // Above and to the left of everything: the corner of the first monitor.
  EXPECT_EQ(PlaceOnScreen({-900, -700, -659, -499}, kTwoMonitors), (Place{0, 0}));
  // Only the edge pixel that the work area excludes: still unreachable.
  EXPECT_EQ(PlaceOnScreen({1040, 40, 1281, 241}, {{0, 0, 1040, 1920}}), (Place{799, 40}));
}

TEST(NotePlacement, ANoteLargerThanTheWorkAreaShowsItsTopLeftCorner) {
  EXPECT_EQ(PlaceOnScreen({900, 900, 1500, 1600}, {{0, 0, 480, 640}}), (Place{0, 0}));
}

TEST(NotePlacement, WithoutAnyWorkAreaTheStoredPlaceIsKept) {
  EXPECT_EQ(PlaceOnScreen({5000, 5000, 5241, 5201}, {}), (Place{5000, 5000}));
}

}  // namespace
}  // namespace memotab
