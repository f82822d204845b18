#pragma once

#include <array>

#include "win.h"

namespace memotab {

// The drawing of one WM_PAINT: BeginPaint, and a memory DC holding a bitmap of the client
// size in which everything is drawn first. Copy() puts the buffer on the window. The
// destructor frees the buffer and calls EndPaint, also when a handler throws.
class PaintBuffer {
 public:
  explicit PaintBuffer(HWND hWnd);
  ~PaintBuffer();
  PaintBuffer(const PaintBuffer&) = delete;
  PaintBuffer& operator=(const PaintBuffer&) = delete;

  HDC hDC() const { return memory_; }
  const PAINTSTRUCT& Paint() const { return paint_; }
  // The area BeginPaint asked to paint: left, top, right, bottom.
  std::array<int, 4> Area() const;
  void Copy() const;

 private:
  HWND hWnd_;
  PAINTSTRUCT paint_{};
  HDC window_;
  RECT client_{};
  HDC memory_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

}  // namespace memotab
