#pragma once

#include "free_routines.h"
#include "t_window.h"

namespace memotab::test {

// A window as the program makes a note: a popup with a thin border, yellow, rows 5 to 20 and
// columns 5 to 30 (x 40, y 80, 201 by 241 pixels); not shown.
inline WindowPtr NoteWindow() {
  return TWindow::New({.nTop = 5, .nLeft = 5, .nBottom = 20, .nRight = 30, .cTitle = "Nota 1",
                       .nStyle = static_cast<uint32_t>(NOR(0x80000000, 0x800000)), .nClrFore = 0,
                       .nClrBack = 65535});
}

}  // namespace memotab::test
