#pragma once

#include <cstdint>
#include <vector>

#include "win_handles.h"

namespace memotab {

class TC5Menu;
class TMenuItemC5;

// The class-wide lists of the owner-drawn menus. A menu is in the first list from
// C5MENUBEGIN until it ends, its items are in the second from the moment they are added to
// it until it ends, and it is in the third while it is shown. The lists are never
// destroyed, so that a menu ended while the program exits can still leave them.
std::vector<TC5Menu*>& LiveMenus();
std::vector<TMenuItemC5*>& LiveItems();
std::vector<TC5Menu*>& OpenPopups();

// The live menu whose system menu has this handle, or nothing.
TC5Menu* LiveMenuOf(HMENU hMenu);
// The live item that a command or draw request with this identifier means, or nothing.
TMenuItemC5* LiveItemOf(uintptr_t id);
// The next free command identifier.
int NextMenuCommandId();
void SetNextMenuCommandIdForTesting(int id);

}  // namespace memotab
