#pragma once

#include <vector>

#include "activation.h"

namespace memotab {

// While it lives, a modal window of the program's own keeps the rest of the program
// waiting, as a task-modal message box does: the thread's other top-level windows take no
// input. When it goes they are enabled again, the window that was active is activated
// again, the modal window is hidden and the focus returns to the window that had it.
// A window that refuses activation is never given it back: its owner, or the topmost
// window of the thread that takes it, is activated instead.
// Make it once the modal window exists, and let it go before that window is destroyed.
class TaskModal {
 public:
  explicit TaskModal(HWND modal);
  ~TaskModal();
  TaskModal(const TaskModal&) = delete;
  TaskModal& operator=(const TaskModal&) = delete;

 private:
  HWND modal_;
  ActivationToGiveBack giveBack_;  // never to a window that refuses activation
  std::vector<HWND> disabled_;
};

}  // namespace memotab
