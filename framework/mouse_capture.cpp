#include "mouse_capture.h"

#include "win.h"

namespace memotab {

MouseCapture::MouseCapture(HWND hWnd) : hWnd_(hWnd) { SetCapture(hWnd); }

MouseCapture::~MouseCapture() {
  if (Held()) ReleaseCapture();
}

bool MouseCapture::Held() const { return hWnd_ != nullptr && GetCapture() == hWnd_; }

}  // namespace memotab
