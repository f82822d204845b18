// C5MENUBEGIN, C5MENUADDITEM and C5MENUEND: the building stack of the owner-drawn menus.
#include "c5_menu_building.h"

#include <exception>
#include <vector>

#include "framework_error.h"
#include "t_c5_menu.h"

namespace memotab {

namespace {

// A menu being built, with the items added to it so far.
struct Building {
  std::shared_ptr<TC5Menu> menu;
  std::vector<std::shared_ptr<TMenuItemC5>> items;
};

std::vector<Building>& Stack() {
  static auto* stack = new std::vector<Building>();
  return *stack;
}

}  // namespace

MenuBuildingScope::MenuBuildingScope() : depth_(Stack().size()), exceptions_(std::uncaught_exceptions()) {}

MenuBuildingScope::~MenuBuildingScope() {
  if (std::uncaught_exceptions() == exceptions_) return;
  while (Stack().size() > depth_) {
    const std::shared_ptr<TC5Menu> menu = std::move(Stack().back().menu);
    Stack().pop_back();
    menu->End();
  }
}

std::shared_ptr<TC5Menu> C5MENUBEGIN(const MenuBeginParams& params) {
  std::shared_ptr<TC5Menu> menu = TC5Menu::New(params);
  Stack().push_back({menu, {}});
  return menu;
}

std::shared_ptr<TMenuItemC5> C5MENUADDITEM(MenuItemParams params) {
  if (Stack().empty()) ThrowFrameworkError("C5MENUADDITEM: no menu is being built", EG_ARG);
  std::shared_ptr<TMenuItemC5> item = TMenuItemC5::New();
  const bool singleLine = params.cPrompt && params.cPrompt->find("\r\n") == std::string::npos;
  item->cPrompt = std::move(params.cPrompt);
  item->cMsg = std::move(params.cMsg);
  item->lChecked = params.lChecked;
  item->bAuxAction = std::move(params.bAction);
  item->SetActive(params.lActive);
  item->cBitmap = !params.cBmpFile.empty() ? std::move(params.cBmpFile) : std::move(params.cResName);
  item->lHelp = params.lHelp;
  item->bWhen = std::move(params.bWhen);
  item->lBreak = params.lBreak;
  item->nTextAlign = singleLine ? 36 : 0;  // DT_SINGLELINE + DT_VCENTER
  Stack().back().items.push_back(item);
  return item;
}

std::shared_ptr<TC5Menu> C5MENUEND() {
  if (Stack().empty()) ThrowFrameworkError("C5MENUEND: no menu is being built", EG_ARG);
  Building built = std::move(Stack().back());
  Stack().pop_back();
  for (const std::shared_ptr<TMenuItemC5>& item : built.items) built.menu->Add(item);
  if (!Stack().empty()) {
    std::vector<std::shared_ptr<TMenuItemC5>>& outer = Stack().back().items;
    if (outer.empty()) ThrowFrameworkError("C5MENUEND: a submenu needs an item before it to open it", EG_ARG);
    outer.back()->oSubMenu = built.menu;
  }
  return built.menu;
}

}  // namespace memotab
