#pragma once

#include "win.h"

namespace memotab {

// A window's device context (the screen's for no window), given back when this goes.
class WindowDc {
 public:
  explicit WindowDc(HWND hWnd) : hWnd_(hWnd), hDC_(GetDC(hWnd)) {}
  ~WindowDc() {
    if (hDC_ != nullptr) ReleaseDC(hWnd_, hDC_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC hDC() const { return hDC_; }

 private:
  HWND hWnd_;
  HDC hDC_;
};

// The painting of a window, from BeginPaint to EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND hWnd) : hWnd_(hWnd), hDC_(BeginPaint(hWnd, &paint_)) {}
  ~PaintScope() { EndPaint(hWnd_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC hDC() const { return hDC_; }

 private:
  HWND hWnd_;
  PAINTSTRUCT paint_{};
  HDC hDC_;
};

}  // namespace memotab
