#include "t_c5_menu.h"

#include "win.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "event_loop.h"
#include "framework_error.h"
#include "menu_lists.h"
#include "t_window.h"

namespace memotab {

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// A name with a "." is a file only when it ends in ".BMP"; any other name is a bitmap
// resource of the program.
std::shared_ptr<TPicture> LoadMenuPicture(const std::string& cName) {
  return Upper(cName).ends_with(".BMP") ? TPicture::FromFile(cName) : TPicture::FromResource(cName);
}

// Enables a disabled window for the life of the object. The system lets no disabled
// window become the foreground window, and only a menu tracked for the foreground window
// takes the keyboard and closes on a click elsewhere; the tray's message window is disabled
// but hidden, so it takes no input while enabled.
class EnabledWhileTracking {
 public:
  explicit EnabledWhileTracking(HWND hWnd) : hWnd_(hWnd), wasDisabled_(!IsWindowEnabled(hWnd)) {
    if (wasDisabled_) EnableWindow(hWnd_, TRUE);
  }
  ~EnabledWhileTracking() {
    if (wasDisabled_ && IsWindow(hWnd_)) EnableWindow(hWnd_, FALSE);
  }
  EnabledWhileTracking(const EnabledWhileTracking&) = delete;
  EnabledWhileTracking& operator=(const EnabledWhileTracking&) = delete;

 private:
  const HWND hWnd_;
  const bool wasDisabled_;
};

}  // namespace

std::shared_ptr<TC5Menu> TC5Menu::New(const MenuBeginParams& params) {
  static int menusMade = 0;
  std::shared_ptr<TC5Menu> menu(new TC5Menu());
  menu->hMenu = CreatePopupMenu();
  if (menu->hMenu == nullptr) ThrowFrameworkError("Cannot create a menu");
  menu->nLevel = ++menusMade;
  menu->lPopup = params.lPopup;
  menu->nClrPane = params.nClrPane.value_or(static_cast<int32_t>(GetSysColor(COLOR_MENU)));
  menu->hBrush = TBrush::New(menu->nClrPane);
  menu->nClrText = params.nClrText.value_or(static_cast<int32_t>(GetSysColor(COLOR_MENUTEXT)));
  menu->nClrSelect = params.nClrSelect.value_or(static_cast<int32_t>(GetSysColor(COLOR_ACTIVECAPTION)));
  menu->nClrTxtSel = params.nClrTxtSel.value_or(static_cast<int32_t>(GetSysColor(COLOR_CAPTIONTEXT)));
  menu->nClrDisa = params.nClrDisa;
  menu->nLogoColor = params.nLogoColor.value_or(menu->nClrPane);
  menu->hLogoColor = TBrush::New(menu->nLogoColor);
  menu->nHItem = params.nHItem.value_or(18);
  menu->lNoChks = params.lNoChks;
  menu->nWidth = params.nWidth;
  menu->oFont = params.oFont;
  menu->cBmpLogo = params.cBmpLogo;
  if (!menu->cBmpLogo.empty()) menu->hLogo = menu->Picture(menu->cBmpLogo);
  // What the items leave uncovered (the menu's margins) shows the pane colour too.
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = menu->hBrush->hBrush();
  SetMenuInfo(menu->hMenu, &info);
  LiveMenus().push_back(menu.get());
  return menu;
}

TC5Menu::~TC5Menu() { End(); }

std::shared_ptr<TPicture> TC5Menu::Picture(const std::string& cName) {
  const std::string key = Upper(cName);
  const auto cached = aBmps.find(key);
  if (cached != aBmps.end()) return cached->second;
  return aBmps[key] = LoadMenuPicture(cName);
}

void TC5Menu::Add(std::shared_ptr<TMenuItemC5> oItem) {
  TMenuItemC5& item = *oItem;
  if (!item.cBitmap.empty()) {
    item.hBitmap = Picture(item.cBitmap);
    if (item.hBitmap) nMaxWBmp = std::max(nMaxWBmp, item.hBitmap->nWidth);
  }
  if (!item.cDisaBmp.empty()) item.hDisable = Picture(item.cDisaBmp);
  item.lPadre = item.oSubMenu != nullptr;
  item.lSeparator = !item.cPrompt && !item.lPadre;
  if (!item.oFont) item.oFont = oFont;
  if (!item.nClrText) item.nClrText = nClrText;
  AppendToSystemMenu(item);
  aItems.push_back(oItem);
  LiveItems().push_back(&item);
  item.nItem = static_cast<int>(aItems.size());
  item.nLevel = nLevel;
  item.oMenu = this;
}

void TC5Menu::AppendToSystemMenu(const TMenuItemC5& item) const {
  UINT flags = 0;
  if (item.lChecked) flags |= MF_CHECKED;
  if (item.lBreak) flags |= MF_MENUBREAK;
  if (item.lHelp) flags |= MF_HELP;
  BOOL appended = FALSE;
  if (item.lPadre) {
    if (!item.lActive) flags |= MF_GRAYED;
    appended = AppendMenuA(hMenu, MF_POPUP | MF_OWNERDRAW | flags, reinterpret_cast<UINT_PTR>(item.oSubMenu->hMenu), nullptr);
  } else if (item.cPrompt) {
    // Enabled for the system whatever lActive says: the framework greys it and ignores its choice.
    appended = AppendMenuA(hMenu, MF_OWNERDRAW | flags, static_cast<UINT_PTR>(item.nId), nullptr);
  } else {
    appended = AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);  // drawn by the system
  }
  if (!appended) ThrowFrameworkError("Cannot add an item to a menu");
}

void TC5Menu::Activate(double nRow, double nCol, TWindow& oWindow, bool lEnd) {
  if (ended_ || hMenu == nullptr) return;  // nothing left to show
  const std::shared_ptr<TC5Menu> self = shared_from_this();
  const WindowPtr window = oWindow.shared_from_this();  // the chosen action may end the window
  POINT point{static_cast<LONG>(nCol), static_cast<LONG>(nRow)};
  ClientToScreen(window->hWnd, &point);
  if (lEnd && window->oPopup && window->oPopup != self) window->oPopup->End();
  window->oPopup = self;
  oWnd = window.get();
  OpenPopups().push_back(this);

  {
    // Only a menu of the foreground window takes the keyboard and closes on a click
    // elsewhere; a message after tracking lets the next menu of the window close as well.
    const EnabledWhileTracking enabled(window->hWnd);
    SetForegroundWindow(window->hWnd);
    TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, window->hWnd, nullptr);
    PostMessageA(window->hWnd, WM_NULL, 0, 0);
  }
  SYSREFRESH();  // the command the choice posted reaches Command now

  const auto finish = [&] {
    if (!lEnd) return;
    End();
    if (window->oPopup == self) window->oPopup.reset();
  };
  const std::shared_ptr<TMenuItemC5> chosen = std::exchange(oMenuItemPopup, nullptr);
  try {
    if (chosen && chosen->bAction) {
      const MenuAction action = chosen->bAction;
      action(*chosen);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TC5Menu::Initiate() {
  for (const std::shared_ptr<TMenuItemC5>& item : std::vector(aItems)) {
    if (item->bWhen) item->SetActive(item->bWhen(*item));
  }
}

std::shared_ptr<TMenuItemC5> TC5Menu::GetMenuItem(uintptr_t nId) const {
  for (const std::shared_ptr<TMenuItemC5>& item : aItems) {
    if (item->Matches(nId)) return item;
    if (item->oSubMenu) {
      if (std::shared_ptr<TMenuItemC5> found = item->oSubMenu->GetMenuItem(nId)) return found;
    }
  }
  return nullptr;
}

void TC5Menu::Command(uintptr_t nId) {
  const std::shared_ptr<TMenuItemC5> item = GetMenuItem(nId);
  if (!item) return;
  if (item->bAction && item->bWhen && !item->bWhen(*item)) return;
  oLastItem = item;
  if (lPopup) {
    oMenuItemPopup = item;
  } else if (item->bAction) {
    const MenuAction action = item->bAction;
    action(*item);
  }
}

void TC5Menu::End() {
  if (ended_) return;
  ended_ = true;
  std::erase(LiveMenus(), this);
  std::erase(OpenPopups(), this);
  // The system menu takes the system menus of its submenus with it.
  if (hMenu != nullptr) DestroyMenu(std::exchange(hMenu, nullptr));
  for (const std::shared_ptr<TMenuItemC5>& item : aItems) {
    std::erase(LiveItems(), item.get());
    item->hBitmap.reset();
    item->hDisable.reset();
    if (item->oSubMenu) {
      item->oSubMenu->hMenu = nullptr;
      item->oSubMenu->End();
    }
  }
  oMenuItemPopup.reset();
  oWnd = nullptr;
  aBmps.clear();
  hLogo.reset();
  hBrush.reset();
  hLogoColor.reset();
}

TC5Menu::ListSizes TC5Menu::ListSizesForTesting() {
  return {LiveMenus().size(), LiveItems().size(), OpenPopups().size()};
}

}  // namespace memotab
