#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "win.h"

namespace memotab::test {

// Finds a visible top-level window by caption among the windows of one process (by
// default this one: tests run side by side and must not answer each other's boxes).
HWND FindVisibleWindow(const std::string& caption, DWORD processId = GetCurrentProcessId());
// Finds a window of a process by class and caption, visible or not; nothing when none.
HWND FindProcessWindow(const char* windowClass, const char* caption, DWORD processId = GetCurrentProcessId());

// Waits, on another thread, for a visible top-level window with this caption and runs
// `action` on it there; the future gives the action's result. Used to answer modal
// dialogs the way a user would while the test's own thread is inside them. When no such
// window appears in time the action is called with nullptr.
template <typename Result>
std::future<Result> WhenWindowAppears(const std::string& caption, std::function<Result(HWND)> action,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                      DWORD processId = GetCurrentProcessId()) {
  return std::async(std::launch::async, [=] {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    HWND window = nullptr;
    while ((window = FindVisibleWindow(caption, processId)) == nullptr && std::chrono::steady_clock::now() < deadline) {
      Sleep(20);
    }
    return action(window);
  });
}

// Presses a dialog's button as a click would.
void ClickButton(HWND dialog, int buttonId);
// The title of a window or the text of a static control, read without sending a message.
std::string WindowText(HWND window);
// The text of any control, asked of its thread (which must be running a message loop).
std::string ControlText(HWND control);

}  // namespace memotab::test
