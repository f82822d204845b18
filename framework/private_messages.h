#pragma once

namespace memotab {

// The framework's own window messages, above the range of the system's and of the common
// controls' messages.

// Routed like WM_DRAWITEM, for items a control draws on its container's behalf.
inline constexpr unsigned kDrawItemMessage = 2056;
// Posted to a control the focus has left: its validation runs when it arrives.
inline constexpr unsigned kValidateMessage = 2057;
// Routed to a window's help for F1 help requests.
inline constexpr unsigned kHelpF1Message = 2061;
// Routed to a window while something is dragged over it.
inline constexpr unsigned kDropOverMessage = 2063;
// Routed to a window for notifications of asynchronous socket selections.
inline constexpr unsigned kAsyncSelectMessage = 2065;
// The tray icon's notification message: the shell sends it to the icon's window with the
// mouse message in lParam.
inline constexpr unsigned kTrayMessage = 2067;
// Posted to a window that never keeps the activation, once the system has activated it:
// it passes the activation on when the message arrives.
inline constexpr unsigned kPassActivationOnMessage = 2069;

}  // namespace memotab
