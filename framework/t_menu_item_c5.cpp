#include "t_menu_item_c5.h"

#include "menu_lists.h"
#include "t_c5_menu.h"

namespace memotab {

std::shared_ptr<TMenuItemC5> TMenuItemC5::New() {
  std::shared_ptr<TMenuItemC5> item(new TMenuItemC5());
  item->nId = NextMenuCommandId();
  return item;
}

void TMenuItemC5::SetActive(bool active) {
  lActive = active;
  bAction = active ? bAuxAction : nullptr;
}

bool TMenuItemC5::Matches(uintptr_t id) const {
  return static_cast<uintptr_t>(nId) == id || (oSubMenu && reinterpret_cast<uintptr_t>(oSubMenu->hMenu) == id);
}

}  // namespace memotab
