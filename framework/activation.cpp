#include "activation.h"

#include "win.h"

namespace memotab {

bool TakesActivation(HWND window) {
  return window != nullptr && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window) &&
         (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) == 0;
}

namespace {

bool OfClass(HWND window, const char* name) {
  char found[32] = {};
  return window != nullptr && GetClassNameA(window, found, sizeof found) > 0 && lstrcmpiA(found, name) == 0;
}

}  // namespace

bool KeyboardInUse() {
  const HWND focus = GetFocus();
  return OfClass(focus, "Edit") || OfClass(GetAncestor(focus, GA_ROOT), "#32770");  // the system's dialog class
}

HWND WindowToActivateInstead(HWND wanted, HWND excluded) {
  for (HWND window = wanted; window != nullptr; window = GetWindow(window, GW_OWNER)) {
    if (window != excluded && TakesActivation(window)) return window;
  }
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (window != excluded && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
        TakesActivation(window)) {
      return window;
    }
  }
  return nullptr;
}

bool ActivatingClickWaiting() {
  constexpr UINT kPresses[] = {WM_LBUTTONDOWN,   WM_LBUTTONDBLCLK,   WM_RBUTTONDOWN,   WM_RBUTTONDBLCLK,
                               WM_MBUTTONDOWN,   WM_MBUTTONDBLCLK,   WM_XBUTTONDOWN,   WM_XBUTTONDBLCLK,
                               WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_NCRBUTTONDOWN, WM_NCRBUTTONDBLCLK,
                               WM_NCMBUTTONDOWN, WM_NCMBUTTONDBLCLK, WM_NCXBUTTONDOWN, WM_NCXBUTTONDBLCLK};
  for (const UINT press : kPresses) {
    MSG waiting{};
    if (PeekMessageA(&waiting, nullptr, press, press, PM_NOREMOVE | PM_NOYIELD) &&
        TakesActivation(GetAncestor(waiting.hwnd, GA_ROOT))) {
      return true;
    }
  }
  return false;
}

ActivationToGiveBack::ActivationToGiveBack(HWND active, HWND focus) : active_(active) {
  if (active != nullptr && focus != nullptr && GetAncestor(focus, GA_ROOT) == active) focus_ = focus;
}

ActivationToGiveBack ActivationToGiveBack::Current() { return {GetActiveWindow(), GetFocus()}; }

bool ActivationToGiveBack::Activate() const {
  if (!TakesActivation(active_)) return false;
  SetActiveWindow(active_);
  return true;
}

void ActivationToGiveBack::RestoreFocus() const {
  if (IsWindow(focus_) && GetActiveWindow() == active_) SetFocus(focus_);
}

}  // namespace memotab
