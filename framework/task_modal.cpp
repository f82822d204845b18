#include "task_modal.h"

#include "win.h"

namespace memotab {

namespace {

struct Disabling {
  HWND modal;
  std::vector<HWND>& disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM state) {
  auto& disabling = *reinterpret_cast<Disabling*>(state);
  if (window != disabling.modal && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabling.disabled.push_back(window);
  }
  return TRUE;
}

// Whether the activation can be handed to a window: a shown one that does not refuse it
// (a figure or a note that only shows never takes it).
bool TakesActivation(HWND window) {
  return window != nullptr && IsWindow(window) && IsWindowVisible(window) &&
         (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) == 0;
}

// The window of this thread that the activation goes back to: the active one, else its
// nearest owner that takes it, else the topmost window of the thread that does.
HWND ActivationToGiveBack(HWND modal) {
  for (HWND window = GetActiveWindow(); window != nullptr; window = GetWindow(window, GW_OWNER)) {
    if (window != modal && TakesActivation(window)) return window;
  }
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (window != modal && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
        TakesActivation(window)) {
      return window;
    }
  }
  return nullptr;
}

}  // namespace

TaskModal::TaskModal(HWND modal) : modal_(modal), active_(ActivationToGiveBack(modal)) {
  // The focus is given back only inside the window that is activated again.
  const HWND focus = GetFocus();
  if (active_ != nullptr && focus != nullptr && GetAncestor(focus, GA_ROOT) == active_) focus_ = focus;
  Disabling disabling{modal, disabled_};
  EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&disabling));
}

TaskModal::~TaskModal() {
  for (const HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  // The window that was active takes the activation back while the modal window still
  // shows: hiding an active window would let the system hand the activation to whatever
  // comes next, perhaps another program's window.
  const bool activate = TakesActivation(active_);
  if (activate) SetActiveWindow(active_);
  if (IsWindow(modal_)) {
    SetWindowPos(modal_, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  }
  if (activate && IsWindow(focus_)) SetFocus(focus_);
}

}  // namespace memotab
