#pragma once

#include <cstdint>
#include <string>

#include "win_handles.h"

namespace memotab {

// The native container of a hosted control. A container is identified by a number
// (0 for none), as the bridge identifies objects.

// Creates the control named by a ProgID or class identifier as an embedded object of the
// window: client site, new state, event connection, in-place activation, shown, active.
// A ProgID the system does not know is looked up among the program's built-in objects,
// which need not be visual. 0 on failure; nothing is reported.
intptr_t CREATEACTIVEX(HWND hWnd, const std::string& cProgId);
// The control's dispatch interface (the control keeps it alive).
intptr_t ACTXPDISP(intptr_t hActiveX);
// Places the control inside its window.
void ACTXSETLOCATION(intptr_t hActiveX, int nLeft, int nTop, int nWidth, int nHeight);
// Closes the control and frees the container.
void ACTXEND(intptr_t hActiveX);

}  // namespace memotab
