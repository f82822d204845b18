#pragma once

#include "win.h"

namespace memotab::character {

// Registers a window class of the program once (later calls do nothing); raises
// std::runtime_error when the system refuses.
void RegisterWindowClassOnce(const char* name, WNDPROC procedure);

// The object a window was created for (the creation parameter), kept with the window
// from WM_NCCREATE on; null before.
template <typename Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace memotab::character
