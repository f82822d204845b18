#pragma once

#include <cstdint>

namespace memotab {

// Named values of the system that the application passes through the free routines.

inline constexpr uint32_t kPopupStyle = 0x80000000;   // a top-level window without caption
inline constexpr uint32_t kBorderStyle = 0x00800000;  // a thin border
inline constexpr uint32_t kMinimizeBoxStyle = 0x00020000;  // a minimize button in the caption
inline constexpr intptr_t kTopMostBand = -1;          // SETWINDOWPOS: above every other window
inline constexpr intptr_t kBottomPlace = 1;           // SETWINDOWPOS: below its siblings (last in the tab order)
inline constexpr unsigned kNoMoveNoSize = 3;          // SETWINDOWPOS: keep place and size
inline constexpr unsigned kNoActivate = 0x10;         // SETWINDOWPOS: leave the activation where it is
inline constexpr int kLeftMouseButton = 1;            // GETKEYSTATE: the left button

}  // namespace memotab
