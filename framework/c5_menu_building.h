#pragma once

#include <cstddef>

namespace memotab {

// Keeps a handler that throws halfway through building a menu (between C5MENUBEGIN and
// C5MENUEND) from leaving its half-built menus on the building stack, where every later
// menu would become their submenu. Made where a handler starts; when the handler leaves by
// an exception, the menus it began and did not end are ended and taken off the stack.
class MenuBuildingScope {
 public:
  MenuBuildingScope();
  ~MenuBuildingScope();
  MenuBuildingScope(const MenuBuildingScope&) = delete;
  MenuBuildingScope& operator=(const MenuBuildingScope&) = delete;

 private:
  const size_t depth_;
  const int exceptions_;
};

}  // namespace memotab
