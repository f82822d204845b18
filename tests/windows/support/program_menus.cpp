#include "program_menus.h"

#include <algorithm>

#include "screen_shot.h"
#include "ui_driver.h"

namespace memotab::test {

namespace {

constexpr COLORREF kMenuHighlight = RGB(222, 205, 99);
constexpr int kMenuItemHeight = 18;

}  // namespace

std::vector<HWND> MenusOf(DWORD processId) {
  std::vector<HWND> menus;
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) menus.push_back(window);
  }
  return menus;
}

HWND TrayIcon() {
  const HWND tray = FindWindowA(nullptr, "Wine System Tray");
  return tray != nullptr ? FindWindowExA(tray, nullptr, nullptr, nullptr) : nullptr;
}

POINT CentreOf(HWND window) { return Centre(WindowArea(window)); }

bool WaitUntilPlaced(HWND window) {
  RECT last{};
  return WaitUntil([&] {
    const RECT now = WindowArea(window);
    const bool still = EqualRect(&now, &last) != FALSE;
    last = now;
    return still;
  });
}

POINT MenuItemCentre(HWND menu, const std::string& layout, int position) {
  const RECT outer = WindowArea(menu);
  RECT client{};
  GetClientRect(menu, &client);
  const int border = ((outer.bottom - outer.top) - (client.bottom - client.top)) / 2;
  const auto separatorCount = static_cast<int>(std::count(layout.begin(), layout.end(), '-'));
  const int items = static_cast<int>(layout.size()) - separatorCount;
  const int separator = (client.bottom - client.top - kMenuItemHeight * items) / std::max(1, separatorCount);
  int top = outer.top + border;
  for (int i = 0; i < position; ++i) top += layout[static_cast<size_t>(i)] == '-' ? separator : kMenuItemHeight;
  return {outer.left + (outer.right - outer.left) / 2 + 10, top + kMenuItemHeight / 2};
}

HWND RightClickForMenu(DWORD processId, POINT at) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    ClickMouse(at.x, at.y, 3);
    HWND menu = nullptr;
    if (WaitUntil([&] { return !MenusOf(processId).empty() && (menu = MenusOf(processId).front()); },
                  std::chrono::seconds(3))) {
      WaitUntilPlaced(menu);
      return menu;
    }
  }
  return nullptr;
}

bool ChooseMenuItem(DWORD processId, HWND menu, const std::string& layout, int position) {
  POINT centre{};
  // Around the middle of the item, clear of the picture strip down the menu's side; asked
  // again on every move, so that a menu still being placed is followed.
  const bool highlighted = HoverUntil(MenuItemCentre(menu, layout, position), [&] {
    centre = MenuItemCentre(menu, layout, position);
    const RECT item{centre.x - 20, centre.y - kMenuItemHeight / 2 + 2, centre.x + 20, centre.y + kMenuItemHeight / 2 - 2};
    return ScreenShot(item).Holds(item, kMenuHighlight);
  });
  return highlighted && ClickMouse(centre.x, centre.y) && WaitUntil([&] { return MenusOf(processId).empty(); });
}

bool ChooseTrayItem(DWORD processId, int position) {
  const HWND icon = TrayIcon();
  if (icon == nullptr) return false;
  const RECT area = WindowArea(icon);
  const HWND menu = RightClickForMenu(processId, {area.left + 10, (area.top + area.bottom) / 2});
  return menu != nullptr && ChooseMenuItem(processId, menu, kTrayMenuLayout, position);
}

}  // namespace memotab::test
