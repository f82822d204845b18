#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gdi_resources.h"

namespace memotab {

class TC5Menu;
class TMenuItemC5;

// What a chosen item runs, given the item. It runs after the menu has closed.
using MenuAction = std::function<void(TMenuItemC5& oItem)>;
// Whether an item is enabled: asked with the item each time its menu opens, and again when
// the item is chosen.
using MenuCondition = std::function<bool(TMenuItemC5& oItem)>;

// One item of an owner-drawn menu: a text with an optional picture that runs an action or
// opens a submenu, or a separator (no text). Every item has a command identifier that no
// other live item shares.
class TMenuItemC5 {
 public:
  // A new item with the next free command identifier.
  static std::shared_ptr<TMenuItemC5> New();
  TMenuItemC5(const TMenuItemC5&) = delete;
  TMenuItemC5& operator=(const TMenuItemC5&) = delete;

  // Enables the item (its action back from bAuxAction) or disables it (no action).
  void SetActive(bool active);
  // Whether a command or draw request with this identifier means this item: its own
  // identifier, or the handle of the submenu it opens (the system names such items so).
  bool Matches(uintptr_t id) const;

  std::optional<std::string> cPrompt;  // none for a separator; "&" underlines the next letter
  std::string cMsg;                    // status text
  bool lChecked = false;
  bool lActive = true;
  MenuAction bAction;     // empty while the item is disabled
  MenuAction bAuxAction;  // the action as given, kept while the item is disabled
  MenuCondition bWhen;
  std::shared_ptr<TC5Menu> oSubMenu;  // the submenu the item opens (lPadre)
  int nId = 0;
  std::string cBitmap;                 // a bitmap resource, or a .BMP file
  std::shared_ptr<TPicture> hBitmap;   // nothing when there is no picture or it could not be loaded
  std::string cDisaBmp;                // the picture shown while the item is disabled
  std::shared_ptr<TPicture> hDisable;
  int nTextAlign = 0;  // DrawText flags: left 0, centre 1, right 2, + 36 for single-line text
  std::shared_ptr<TFont> oFont;        // nothing: the menu's
  std::optional<int32_t> nClrText;     // nothing: the menu's
  std::optional<int> nHeight;          // nothing: measured
  bool lSeparator = false;
  bool lPadre = false;
  bool lHelp = false;   // placed at the right of a menu bar
  bool lBreak = false;  // starts a new column
  int nItem = 0;        // position in its menu, from 1
  int nLevel = 0;       // its menu's level
  TC5Menu* oMenu = nullptr;

 private:
  TMenuItemC5() = default;
};

}  // namespace memotab
