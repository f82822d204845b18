#pragma once

#include "win_handles.h"

namespace memotab {

// Sends every mouse message to one window for the life of the object, wherever the pointer
// is, so that a drag sees the button's release even outside the window. The capture is
// given back when the object ends, also when a handler throws.
class MouseCapture {
 public:
  explicit MouseCapture(HWND hWnd);
  ~MouseCapture();
  MouseCapture(const MouseCapture&) = delete;
  MouseCapture& operator=(const MouseCapture&) = delete;

  // Whether the window still has the capture: false once the system gave it to another
  // window (a menu, another program, the window's end).
  bool Held() const;

 private:
  HWND hWnd_;
};

}  // namespace memotab
