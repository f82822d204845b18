#include "paint_buffer.h"

#include <algorithm>

namespace memotab {

PaintBuffer::PaintBuffer(HWND hWnd) : hWnd_(hWnd), window_(::BeginPaint(hWnd, &paint_)) {
  GetClientRect(hWnd, &client_);
  memory_ = CreateCompatibleDC(window_);
  bitmap_ = CreateCompatibleBitmap(window_, std::max<LONG>(client_.right, 1), std::max<LONG>(client_.bottom, 1));
  previous_ = SelectObject(memory_, bitmap_);
}

PaintBuffer::~PaintBuffer() {
  SelectObject(memory_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(memory_);
  ::EndPaint(hWnd_, &paint_);
}

std::array<int, 4> PaintBuffer::Area() const {
  return {paint_.rcPaint.left, paint_.rcPaint.top, paint_.rcPaint.right, paint_.rcPaint.bottom};
}

void PaintBuffer::Copy() const { BitBlt(window_, 0, 0, client_.right, client_.bottom, memory_, 0, 0, SRCCOPY); }

}  // namespace memotab
