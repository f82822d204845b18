#pragma once

#include <string>
#include <vector>

#include "win.h"

namespace memotab::test {

// The program's menus from the top, an entry per item: 'i' an item, '-' a separator.
inline constexpr const char* kTrayMenuLayout = "i-ii-i-iii-ii-i-i";
inline constexpr const char* kNoteMenuLayout = "ii-i-i";
inline constexpr const char* kColourMenuLayout = "iiiiiiii-iiiiiiii";

// Driving the menus of a running memotab.exe from outside, with the X pointer (these tests
// run alone: the pointer and Wine's one tray window are the display's).

// The shown popup menus of a process, the newest first.
std::vector<HWND> MenusOf(DWORD processId);
// The program's icon in Wine's tray window; nothing while there is none.
HWND TrayIcon();
POINT CentreOf(HWND window);
// Waits until a window that has just appeared is in its place: its rectangle stays the same
// from one look to the next.
bool WaitUntilPlaced(HWND window);
// The centre of an item of a shown menu: items are 18 pixels high, and the separators share
// what is left of the window's client area.
POINT MenuItemCentre(HWND menu, const std::string& layout, int position);
// Opens a menu of the process with a right click at a point; its window, or nothing.
HWND RightClickForMenu(DWORD processId, POINT at);
// Moves the pointer onto an item of a shown menu until the menu highlights it, clicks it and
// waits until every menu of the process has closed.
bool ChooseMenuItem(DWORD processId, HWND menu, const std::string& layout, int position);
// Chooses an item of the tray menu, opened by a right click on the tray icon.
bool ChooseTrayItem(DWORD processId, int position);

}  // namespace memotab::test
