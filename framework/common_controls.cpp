#include "common_controls.h"

#include "win.h"

namespace memotab {

void UseCommonControls() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES;
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)registered;
}

}  // namespace memotab
