#include "menu_lists.h"

#include "menu_command_ids.h"
#include "t_c5_menu.h"

namespace memotab {

std::vector<TC5Menu*>& LiveMenus() {
  static auto* menus = new std::vector<TC5Menu*>();
  return *menus;
}

std::vector<TMenuItemC5*>& LiveItems() {
  static auto* items = new std::vector<TMenuItemC5*>();
  return *items;
}

std::vector<TC5Menu*>& OpenPopups() {
  static auto* popups = new std::vector<TC5Menu*>();
  return *popups;
}

TC5Menu* LiveMenuOf(HMENU hMenu) {
  for (TC5Menu* menu : LiveMenus()) {
    if (menu->hMenu == hMenu) return menu;
  }
  return nullptr;
}

TMenuItemC5* LiveItemOf(uintptr_t id) {
  for (TMenuItemC5* item : LiveItems()) {
    if (item->Matches(id)) return item;
  }
  return nullptr;
}

namespace {

MenuCommandIds& CommandIds() {
  static MenuCommandIds ids;
  return ids;
}

}  // namespace

int NextMenuCommandId() {
  return CommandIds().Next([](int id) {
    const auto value = static_cast<uintptr_t>(id);
    return LiveItemOf(value) != nullptr || LiveMenuOf(reinterpret_cast<HMENU>(value)) != nullptr;
  });
}

void SetNextMenuCommandIdForTesting(int id) { CommandIds().SetNextForTesting(id); }

}  // namespace memotab
