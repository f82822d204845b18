#pragma once

#include <string>

#include "win_handles.h"

namespace memotab {

// The one tooltip of the program: a balloon that belongs to one window at a time.
// `MouseMoved` is called on every mouse move over a window: a window without text ends
// the tooltip; a window with text that is not the current one gets a new tooltip.
void TooltipMouseMoved(HWND hWnd, const std::string* text);
// Ends the tooltip (when the window loses the focus or is destroyed).
void TooltipEnd(HWND owner);
// The current tooltip control, or nothing.
HWND CurrentTooltip();

}  // namespace memotab
