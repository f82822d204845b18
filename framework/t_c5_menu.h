#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gdi_resources.h"
#include "t_menu_item_c5.h"
#include "win_handles.h"

namespace memotab {

class TWindow;

// The arguments of C5MENUBEGIN, named as the members they set. Unset colours take the
// system's menu colours.
struct MenuBeginParams {
  bool lPopup = true;                 // shown with Activate at a point
  std::string cBmpLogo;               // the picture at the foot of the strip down the left edge
  std::optional<int32_t> nClrPane;    // default: the system's menu colour
  std::optional<int> nHItem;          // item height, default 18
  std::shared_ptr<TFont> oFont;       // default: the system font
  std::optional<int32_t> nClrText;    // default: the system's menu text colour
  std::optional<int> nWidth;          // a fixed item width; default: measured
  bool lNoChks = false;               // no check-mark column
  std::optional<int32_t> nClrSelect;  // highlight bar; default: the system's active caption colour
  std::optional<int32_t> nClrTxtSel;  // highlighted text; default: the system's caption text colour
  std::optional<int32_t> nClrDisa;    // disabled text; default: grey with a white shadow
  std::optional<int32_t> nLogoColor;  // the strip above the picture; default: the pane colour
};

// The arguments of C5MENUADDITEM that the framework uses. Without a prompt the item is a
// separator.
struct MenuItemParams {
  std::optional<std::string> cPrompt;
  std::string cMsg;
  bool lChecked = false;
  bool lActive = true;
  MenuAction bAction;
  std::string cBmpFile;  // a picture file (".BMP")
  std::string cResName;  // a bitmap resource, when there is no file
  bool lHelp = false;
  MenuCondition bWhen;
  bool lBreak = false;
};

// An owner-drawn popup menu: a pane of one colour with a picture strip down its left edge,
// items with pictures, a highlight bar, separators, submenus and items greyed by a
// condition. Built with C5MENUBEGIN / C5MENUADDITEM / C5MENUEND, shown with Activate,
// released with End.
class TC5Menu : public std::enable_shared_from_this<TC5Menu> {
 public:
  // A new menu with the next level number; it enters the class-wide list of menus.
  static std::shared_ptr<TC5Menu> New(const MenuBeginParams& params);
  ~TC5Menu();
  TC5Menu(const TC5Menu&) = delete;
  TC5Menu& operator=(const TC5Menu&) = delete;

  // Appends an item (loading its pictures) to the menu and to the class-wide item list.
  void Add(std::shared_ptr<TMenuItemC5> oItem);
  // Shows the menu with its top-left corner at (nRow, nCol) in the client area of `oWnd`
  // and waits until it closes; then runs the chosen item's action, if any, with the item.
  // With lEnd the menu ends afterwards, and a menu the window still shows ends first. A
  // menu that has ended shows nothing.
  void Activate(double nRow, double nCol, TWindow& oWnd, bool lEnd = true);
  // Asks every item's bWhen and enables or disables the item (the menu is opening).
  void Initiate();
  // The item with this identifier was chosen: a popup keeps it for Activate, any other
  // menu runs its action at once. Nothing happens when its bWhen now says no.
  void Command(uintptr_t nId);
  // Releases the system menu, the pictures, brushes and items; the menu leaves the
  // class-wide lists. Later calls do nothing.
  void End();
  // The item with this identifier, searched depth first through the submenus; or nothing.
  std::shared_ptr<TMenuItemC5> GetMenuItem(uintptr_t nId) const;

  // The sizes of the class-wide lists: menus, items, shown menus.
  struct ListSizes {
    size_t nMenus;
    size_t nItems;
    size_t nPopups;
    bool operator==(const ListSizes&) const = default;
  };
  static ListSizes ListSizesForTesting();

  HMENU hMenu = nullptr;  // a drop-down system menu (the framework has no menu bars)
  std::vector<std::shared_ptr<TMenuItemC5>> aItems;
  bool lPopup = true;
  int nLevel = 0;  // 1 for the first menu made in the run, larger for every later one
  int32_t nClrPane = 0;
  std::shared_ptr<TBrush> hBrush;  // of the pane colour
  int32_t nClrText = 0;
  int32_t nClrSelect = 0;
  int32_t nClrTxtSel = 0;
  std::optional<int32_t> nClrDisa;
  std::string cBmpLogo;
  std::shared_ptr<TPicture> hLogo;
  int32_t nLogoColor = 0;
  std::shared_ptr<TBrush> hLogoColor;
  int nHItem = 18;
  int nMaxWBmp = 0;  // the widest item picture
  bool lNoChks = false;
  std::optional<int> nWidth;
  std::shared_ptr<TFont> oFont;
  std::map<std::string, std::shared_ptr<TPicture>> aBmps;  // the pictures loaded, by upper-case name
  TWindow* oWnd = nullptr;                                 // the window it is shown for
  std::shared_ptr<TMenuItemC5> oMenuItemPopup;             // chosen in the current showing
  std::shared_ptr<TMenuItemC5> oLastItem;                  // the last item chosen

 private:
  TC5Menu() = default;
  // The picture of this name from the menu's cache, loaded on first use.
  std::shared_ptr<TPicture> Picture(const std::string& cName);
  void AppendToSystemMenu(const TMenuItemC5& oItem) const;
  bool ended_ = false;
};

// Begins a menu. A menu begun while another is being built becomes the submenu of the item
// added to that one just before. Returns the new menu.
std::shared_ptr<TC5Menu> C5MENUBEGIN(const MenuBeginParams& params);
// Adds an item to the menu being built; with no prompt, a separator. Returns the item.
std::shared_ptr<TMenuItemC5> C5MENUADDITEM(MenuItemParams params = {});
// Ends the menu being built: its items go into it in order. Returns the menu. Raises
// RuntimeError without a menu being built, or for a submenu without an item to open it.
std::shared_ptr<TC5Menu> C5MENUEND();

}  // namespace memotab
