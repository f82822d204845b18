#pragma once

#include <functional>

#include "win_handles.h"

namespace memotab {

// Runs the event loop until a quit request is taken. Each message is offered to the
// registered modeless dialogs first, then translated and dispatched.
void WINRUN(HWND hWnd);
// The loop of a modal window that is not a dialog of the system: dispatches messages as
// WINRUN does, `hDlg` taking its keyboard messages (Tab, Enter, Escape, access keys)
// first, until `done` holds. Returns false when a quit request came first; the request
// is posted again for the loop that runs the program.
bool RunModalLoop(HWND hDlg, const std::function<bool()>& done);
// Dispatches every message already waiting, in the order they came, without waiting for
// more; inside a popup menu's loop the keyboard and pointer input is left for the menu.
// Returns false when it met a quit request while the loop runs (the request is posted
// again for the loop, and a menu it was met in ends).
bool SYSREFRESH();
// Whether this thread is inside a popup menu's own loop (in a handler the menu's loop called).
bool InMenuLoop();
// Asks the loop that runs the program to end with `nCode`. Inside a popup menu's loop the menu
// ends first: its loop would take the request for itself and stay open.
void PostQuit(int nCode);
// Keeps dispatching messages, as SYSREFRESH does, until `nSeconds` have passed.
void SYSWAIT(double nSeconds = 0.1);
// Sleeps until a message is waiting for this thread or `nMaxSeconds` have passed, without
// dispatching anything. For loops that poll a state between messages without spinning.
void WAITEVENT(double nMaxSeconds);
// Whether WINRUN (or a modal dialog's loop) is running.
bool LWRUNNING();
void SETLWRUNNING(bool running);
// The application window: its destruction ends the event loop.
HWND GETWNDAPP();
void SETWNDAPP(HWND hWnd);

// The modeless dialogs the loop offers messages to; at most kMaxModelessDialogs.
inline constexpr int kMaxModelessDialogs = 200;
// Returns false (and registers nothing) when the list is full.
bool RegisterModelessDialog(HWND hDlg);
void UnregisterModelessDialog(HWND hDlg);

}  // namespace memotab
