#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "win.h"

namespace memotab::test {

// Finds a visible top-level window by caption among the windows of one process (by
// default this one: tests run side by side and must not answer each other's boxes).
HWND FindVisibleWindow(const std::string& caption, DWORD processId = GetCurrentProcessId());
// The same for a caption that begins with `captionStart`.
HWND FindVisibleWindowStartingWith(const std::string& captionStart, DWORD processId = GetCurrentProcessId());
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

// Whether the notification area shows an icon of a process. The shell accepts a change only
// for an icon it shows, so an empty change of icon 1 is asked for each of the process's
// top-level windows.
bool HasTrayIcon(DWORD processId);

// Waits for a message box with this caption among a process's windows and presses its OK
// button; returns the box's text, or "(no message box)" when none appeared in time. With a
// `picture` path, what the box shows is saved there first.
std::string AnswerMessageBox(const std::string& caption, DWORD processId, std::chrono::milliseconds timeout,
                             const std::string& picture = {});
// Presses a dialog's button as a click would.
void ClickButton(HWND dialog, int buttonId);
// Presses and releases the left mouse button over a control, as a user's click does: the
// control takes the focus first.
void ClickLikeUser(HWND control, int x = 4, int y = 4);
// Puts the pointer at a point of the screen and clicks the left button there as input: the
// system hit-tests it and routes it as a user's click.
void ClickByInput(POINT at);
// Posts a key press and release to a window.
void PressKey(HWND window, int virtualKey);
// The window that has the keyboard focus, and the active window, in the thread that owns `window`.
HWND FocusOfThread(HWND window);
HWND ActiveOfThread(HWND window);
// Saves what the screen shows of a window as a 24-bit .bmp file (a test artifact to look
// at); returns how many different colours it holds, 0 when nothing could be captured.
int SaveWindowPicture(HWND window, const std::string& path);
// The same for a rectangle of the screen.
int SaveScreenPicture(RECT rect, const std::string& path);
// Checks `condition` every 20 ms until it holds or the time is up; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));
// The same on the thread that runs the windows: messages are dispatched while it waits.
bool DispatchUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Whether this process runs under Wine (its ntdll tells its version).
bool UnderWine();
// Why the tests cannot move the X display's pointer in this run (not under Wine, or no
// xdotool was found when they were built); empty when they can. Tests that need the pointer
// skip with this reason.
std::string PointerUnavailable();
// The X display's own pointer, moved as a user moves it (a popup menu takes no other
// input on a display without a window manager): to a point of the screen, or there and a
// click (button 1 left, 3 right). Both return once the move has started; the caller waits
// for its effect.
bool MoveMouse(int x, int y);
bool ClickMouse(int x, int y, int button = 1);
// The left button pressed at a point of the screen and held; released where the pointer is.
bool PressMouse(int x, int y);
bool ReleaseMouse();
// Moves the pointer to the point, again and again (a window that has only just appeared
// may not hear the first move), until `condition` holds; false when it never does.
bool HoverUntil(POINT point, const std::function<bool()>& condition);
// Whether an item (0-based) of a shown popup menu is highlighted.
bool MenuItemHighlighted(HMENU menu, int position);
POINT Centre(const RECT& rect);
// A window's rectangle on the screen.
RECT WindowArea(HWND window);
// The screen rectangle of an item (0-based) of a popup menu that is shown; nothing while
// the menu is not shown. WaitForMenuItem waits up to 5 seconds for it.
std::optional<RECT> ShownMenuItem(HMENU menu, int position);
std::optional<RECT> WaitForMenuItem(HMENU menu, int position);
// The popup menu windows of this process that are visible; the one with a point of the
// screen, or nothing.
std::vector<HWND> ShownMenuWindows();
HWND ShownMenuWindowAt(POINT point);
// Starts a program of the system (xdotool, which acts on the X display) from under Wine.
// Wine gives no handle to wait on for it: callers wait for its effect.
bool StartUnixProgram(const std::string& commandLine);
// Starts xdotool, as found when the tests were built, with these arguments ("key Down
// Return"); false when it cannot start. Callers wait for its effect.
bool Xdotool(const std::string& arguments);
// The title of a window or the text of a static control, read without sending a message.
std::string WindowText(HWND window);
// The text of any control, asked of its thread (which must be running a message loop).
std::string ControlText(HWND control);

}  // namespace memotab::test
