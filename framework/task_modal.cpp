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

}  // namespace

TaskModal::TaskModal(HWND modal) : modal_(modal), focus_(GetFocus()) {
  Disabling disabling{modal, disabled_};
  EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&disabling));
}

TaskModal::~TaskModal() {
  for (const HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  if (IsWindow(modal_)) ShowWindow(modal_, SW_HIDE);  // the modal window is done: it gives up the activation
  if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
}

}  // namespace memotab
