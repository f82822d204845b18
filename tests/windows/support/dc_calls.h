#pragma once

#include "win.h"

namespace memotab::test {

// Counts the window DCs that this program's own code takes (GetDC, GetDCEx, GetWindowDC,
// BeginPaint) and gives back (ReleaseDC, EndPaint), for as long as it lives, by replacing those
// imports of the program's module. DCs that the system takes for itself (inside its menus and
// controls) are not counted. One at a time, on the thread that runs the windows.
class DcCalls {
 public:
  DcCalls();
  ~DcCalls();
  DcCalls(const DcCalls&) = delete;
  DcCalls& operator=(const DcCalls&) = delete;

  int Taken() const;
  // Taken and not given back.
  int Kept() const;
};

}  // namespace memotab::test
