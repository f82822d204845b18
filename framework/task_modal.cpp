#include "task_modal.h"

#include "activation.h"
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

}  // namespace

TaskModal::TaskModal(HWND modal) : modal_(modal), giveBack_(WindowToActivateInstead(GetActiveWindow(), modal), GetFocus()) {
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
  const bool activated = giveBack_.Activate();
  if (IsWindow(modal_)) {
    SetWindowPos(modal_, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  }
  if (activated) giveBack_.RestoreFocus();
}

}  // namespace memotab
