// A modal window of the program's own: the other windows wait, and the activation goes back
// only to a window that takes it.
#include "task_modal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "win.h"

namespace memotab {
namespace {

// The windows this thread asks to activate, and to focus, while the hook is set.
struct Requests {
  std::vector<HWND> activated;
  std::vector<HWND> focused;
};
Requests* recording = nullptr;

LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
  if (recording != nullptr && code == HCBT_ACTIVATE) recording->activated.push_back(reinterpret_cast<HWND>(wParam));
  if (recording != nullptr && code == HCBT_SETFOCUS) recording->focused.push_back(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND Popup(DWORD extendedStyle) {
  return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | extendedStyle, "STATIC", "", WS_POPUP, 300, 300, 60, 60,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool Has(const std::vector<HWND>& windows, HWND window) {
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// The figure took the activation before the question came (as the system may give it when
// the active window goes); the window the user was in gets it back, never the figure.
TEST(TaskModal, GivesTheActivationBackToAWindowThatTakesIt) {
  const HWND user = CreateWindowExA(0, "EDIT", "Nota", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 80, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
  const HWND figure = Popup(WS_EX_NOACTIVATE);
  const HWND modal = Popup(0);
  ASSERT_TRUE(user != nullptr && figure != nullptr && modal != nullptr);
  ShowWindow(figure, SW_SHOWNOACTIVATE);
  SetActiveWindow(figure);
  const HHOOK hook = SetWindowsHookExA(WH_CBT, &Record, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Requests requests;
  {
    const TaskModal waiting(modal);
    EXPECT_FALSE(IsWindowEnabled(user));
    EXPECT_FALSE(IsWindowEnabled(figure));
    EXPECT_TRUE(IsWindowEnabled(modal));
    ShowWindow(modal, SW_SHOW);
    recording = &requests;  // what the modal window's end asks
  }
  recording = nullptr;
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(IsWindowEnabled(user));
  EXPECT_TRUE(IsWindowEnabled(figure));
  EXPECT_FALSE(IsWindowVisible(modal));
  EXPECT_TRUE(Has(requests.activated, user));
  EXPECT_FALSE(Has(requests.activated, figure));
  EXPECT_FALSE(Has(requests.focused, figure));
  for (const HWND window : {modal, figure, user}) DestroyWindow(window);
}

}  // namespace
}  // namespace memotab
