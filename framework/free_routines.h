#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win_handles.h"

namespace memotab {

// Bitwise OR of all the arguments; 0 without any.
template <typename... Flags>
constexpr int64_t NOR(Flags... flags) {
  return (int64_t{0} | ... | static_cast<int64_t>(flags));
}

// A colour value 0x00BBGGRR from its red, green and blue parts.
constexpr int32_t NRGB(int nRed, int nGreen, int nBlue) {
  return (nRed & 255) + (nGreen & 255) * 256 + (nBlue & 255) * 65536;
}

// True while the key or mouse button is down (at the time of the last message).
bool GETKEYSTATE(int nVKey);
// The mouse position on the screen in pixels: {y, x}, row first.
std::array<int, 2> GETCURSORPOS();
// Moves the window's top-left corner to (nLeft, nTop); with no width the outer size is
// kept. False when hWnd is not a window.
bool MOVEWINDOW(HWND hWnd, int nTop, int nLeft, int nWidth = 0, int nHeight = 0, bool lRepaint = true);
// SetWindowPos with rows before columns; hAfter -1 is the top-most band.
bool SETWINDOWPOS(HWND hWnd, intptr_t hAfter, int nTop, int nLeft, int nWidth, int nHeight, unsigned nFlags);
// The work area (the screen less the taskbar) of every monitor, each as {top, left,
// bottom, right} in screen pixels, the bottom and right edges excluded.
std::vector<std::array<int, 4>> WORKAREAS();
// A window's outer rectangle on the screen as {top, left, bottom, right}, the bottom and
// right edges excluded; all 0 for no window.
std::array<int, 4> GETWINDOWRECT(HWND hWnd);
// The client area as {top, left, bottom, right}; all 0 for no window.
std::array<int, 4> GETCLIENTRECT(HWND hWnd);
// Asks the platform's help viewer to open a help file for the active window.
bool WINHELP(const std::string& cFile, unsigned nCommand = 3, uintptr_t nData = 0);
// Opens a file with the program the user's system associates with it (a page in the
// browser); false when that could not be started.
bool SHELLOPEN(const std::string& cFile);
// Shows the wait cursor, or the arrow again.
void CURSORWAIT();
void CURSORARROW();

}  // namespace memotab
