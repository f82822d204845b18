#include "balloon_parts.h"

#include <algorithm>

#include "window_dc.h"

namespace memotab::character {

namespace {

constexpr int kTailMargin = 20;  // the closest the tail comes to a side of the balloon
constexpr int kTailHalfWidth = 8;
constexpr int kCorner = 18;
constexpr int kScreenMargin = 8;
constexpr int kShortestCap = 120;  // beside a figure that fills the screen a balloon still says something

}  // namespace

UniqueFont BalloonFont(const std::wstring& name, int points, int weight) {
  const WindowDc screen(nullptr);
  const int height = -MulDiv(std::max(points, 6), GetDeviceCaps(screen.hDC(), LOGPIXELSY), 72);
  return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                                name.empty() ? L"Tahoma" : name.c_str()));
}

RECT WorkAreaOf(RECT rect) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

int TallestBalloon(RECT figure, RECT workArea) {
  const int screen = workArea.bottom - workArea.top;
  const int room = std::max(figure.top - workArea.top, workArea.bottom - figure.bottom) - kScreenMargin;
  return std::clamp<int>(room, std::min(kShortestCap, screen), screen);
}

BalloonPlace PlaceBeside(SIZE size, RECT figure, RECT workArea) {
  BalloonPlace place;
  const int centre = figure.left + (figure.right - figure.left) / 2;  // the sum of far places would overflow
  place.below = figure.top - size.cy < workArea.top;
  place.topLeft.y = place.below ? std::min<int>(figure.bottom, workArea.bottom - size.cy) : figure.top - size.cy;
  place.topLeft.x = std::clamp<int>(centre - size.cx / 2, workArea.left,
                                    std::max<int>(workArea.left, workArea.right - size.cx));
  place.tailX = std::clamp<int>(centre - place.topLeft.x, kTailMargin, std::max<int>(kTailMargin, size.cx - kTailMargin));
  return place;
}

UniqueRegion RoundedBoxWithTail(SIZE size, const BalloonPlace& place) {
  const int top = place.below ? kBalloonTail : 0;
  const int bottom = place.below ? size.cy : size.cy - kBalloonTail;
  UniqueRegion shape(CreateRoundRectRgn(0, top, size.cx + 1, bottom + 1, kCorner, kCorner));
  const int edge = place.below ? top + 1 : bottom - 1;
  const int tip = place.below ? 0 : size.cy;
  const POINT tail[] = {{place.tailX - kTailHalfWidth, edge},
                        {place.tailX + kTailHalfWidth, edge},
                        {place.tailX + (place.below ? 4 : -4), tip}};
  const UniqueRegion pointer(CreatePolygonRgn(tail, 3, WINDING));
  CombineRgn(shape.get(), shape.get(), pointer.get(), RGN_OR);
  return shape;
}

void PaintBalloonPaper(HWND window, HDC dc, HBRUSH paper) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, paper);
  const UniqueBrush ink(CreateSolidBrush(kBalloonInk));
  const UniqueRegion outline(CreateRectRgn(0, 0, 0, 0));
  if (GetWindowRgn(window, outline.get()) != ERROR) FrameRgn(dc, outline.get(), ink.get(), 1, 1);
}

}  // namespace memotab::character
