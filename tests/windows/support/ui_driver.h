#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "win.h"

namespace memotab::test {

// Finds a visible top-level window by caption, optionally only one of a given process.
HWND FindVisibleWindow(const std::string& caption, DWORD processId = 0);

// Waits, on another thread, for a visible top-level window with this caption and runs
// `action` on it there; the future gives the action's result. Used to answer modal
// dialogs the way a user would while the test's own thread is inside them. When no such
// window appears in time the action is called with nullptr.
template <typename Result>
std::future<Result> WhenWindowAppears(const std::string& caption, std::function<Result(HWND)> action,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                      DWORD processId = 0) {
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
