#include "speech_balloon.h"

#include "window_class.h"

#include <algorithm>
#include <stdexcept>

namespace memotab::character {

namespace {

constexpr int kTextWidth = 220;  // the widest a line of text grows
constexpr int kPadding = 10;
constexpr int kTail = 16;  // the room the tail (or the thought bubbles) takes
constexpr COLORREF kPaper = RGB(255, 253, 231);
constexpr COLORREF kInk = RGB(60, 48, 32);

int FontHeight(int points) {
  const WindowDc screen(nullptr);
  return -MulDiv(std::max(points, 6), GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
}

}  // namespace

RECT WorkAreaOf(RECT rect) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

POINT PlaceBeside(SIZE size, RECT figure, RECT workArea, bool& below) {
  const int centre = (figure.left + figure.right) / 2;
  below = figure.top - size.cy < workArea.top;
  const int y = below ? std::min<int>(figure.bottom, workArea.bottom - size.cy) : figure.top - size.cy;
  const int x = std::clamp<int>(centre - size.cx / 2, workArea.left,
                                std::max<int>(workArea.left, workArea.right - size.cx));
  return {x, y};
}

SpeechBalloon::SpeechBalloon(std::function<void()> onClicked) : onClicked_(std::move(onClicked)) {
  RegisterWindowClassOnce(kSpeechBalloonClass, &SpeechBalloon::Procedure);
  window_.reset(CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSpeechBalloonClass, "", WS_POPUP, 0, 0,
                                10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), this));
  if (!window_) throw std::runtime_error("the speech balloon cannot be created");
}

SpeechBalloon::~SpeechBalloon() {
  if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void SpeechBalloon::Open(Kind kind, std::wstring text, const std::wstring& fontName, int fontSize, RECT figure) {
  kind_ = kind;
  text_ = std::move(text);
  shown_ = 0;
  SetWindowTextW(window_.get(), L"");
  font_.reset(CreateFontW(FontHeight(fontSize), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                          fontName.empty() ? L"Tahoma" : fontName.c_str()));
  {
    const WindowDc dc(window_.get());
    const Selection font(dc.Get(), font_.get());
    RECT measured{0, 0, kTextWidth, 0};
    DrawTextW(dc.Get(), text_.c_str(), static_cast<int>(text_.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    textSize_ = {std::max<LONG>(measured.right, 24), std::max<LONG>(measured.bottom, 12)};
  }
  const int round = kind_ == Kind::kThought ? 2 * kPadding : 0;  // a cloud needs more room
  size_ = {textSize_.cx + 2 * kPadding + round, textSize_.cy + 2 * kPadding + round + kTail};
  Follow(figure);
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
}

void SpeechBalloon::Follow(RECT figure) {
  const POINT place = PlaceBeside(size_, figure, WorkAreaOf(figure), below_);
  tailX_ = std::clamp<int>((figure.left + figure.right) / 2 - place.x, 2 * kPadding, size_.cx - 2 * kPadding);
  SetWindowPos(window_.get(), HWND_TOPMOST, place.x, place.y, size_.cx, size_.cy, SWP_NOACTIVATE);
  Shape();
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void SpeechBalloon::Shape() {
  const int top = below_ ? kTail : 0;
  const int bottom = below_ ? size_.cy : size_.cy - kTail;
  UniqueRegion shape;
  if (kind_ == Kind::kSpeech) {
    shape.reset(CreateRoundRectRgn(0, top, size_.cx + 1, bottom + 1, 18, 18));
    const int edge = below_ ? top + 1 : bottom - 1;
    const int tip = below_ ? 0 : size_.cy;
    const POINT tail[] = {{tailX_ - 8, edge}, {tailX_ + 8, edge}, {tailX_ + (below_ ? 4 : -4), tip}};
    const UniqueRegion pointer(CreatePolygonRgn(tail, 3, WINDING));
    CombineRgn(shape.get(), shape.get(), pointer.get(), RGN_OR);
  } else {
    shape.reset(CreateEllipticRgn(0, top, size_.cx + 1, bottom + 1));
    const int step = below_ ? -1 : 1;
    const int start = below_ ? top : bottom;
    for (int bubble = 0; bubble < 2; ++bubble) {  // two bubbles rising from the figure
      const int radius = 5 - 2 * bubble;
      const int y = start + step * (4 + bubble * 7) + (below_ ? -radius : 0);
      const UniqueRegion dot(CreateEllipticRgn(tailX_ - radius, y, tailX_ + radius + 1, y + 2 * radius + 1));
      CombineRgn(shape.get(), shape.get(), dot.get(), RGN_OR);
    }
  }
  SetWindowRgn(window_.get(), shape.release(), TRUE);  // the window owns the region now
}

void SpeechBalloon::Reveal(size_t length) {
  length = std::min(length, text_.size());
  if (length == shown_) return;
  shown_ = length;
  SetWindowTextW(window_.get(), ShownText().c_str());  // what the balloon says, for those who read windows
  InvalidateRect(window_.get(), nullptr, FALSE);
}

void SpeechBalloon::Close() {
  ShowWindow(window_.get(), SW_HIDE);
  text_.clear();
  shown_ = 0;
  SetWindowTextW(window_.get(), L"");
}

bool SpeechBalloon::IsOpen() const { return IsWindowVisible(window_.get()) != FALSE; }

void SpeechBalloon::Paint() {
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window_.get(), &paint);
  RECT client{};
  GetClientRect(window_.get(), &client);
  const UniqueBrush paper(CreateSolidBrush(kPaper));
  const UniqueBrush ink(CreateSolidBrush(kInk));
  FillRect(dc, &client, paper.get());
  const UniqueRegion outline(CreateRectRgn(0, 0, 0, 0));
  if (GetWindowRgn(window_.get(), outline.get()) != ERROR) FrameRgn(dc, outline.get(), ink.get(), 1, 1);
  const int round = kind_ == Kind::kThought ? kPadding : 0;
  RECT text{kPadding + round, (below_ ? kTail : 0) + kPadding + round, 0, 0};
  text.right = text.left + textSize_.cx;
  text.bottom = text.top + textSize_.cy;
  const Selection font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kInk);
  DrawTextW(dc, text_.c_str(), static_cast<int>(shown_), &text, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  EndPaint(window_.get(), &paint);
}

LRESULT CALLBACK SpeechBalloon::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<SpeechBalloon>(window, message, lParam);
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: self->Paint(); return 0;
    case WM_LBUTTONUP:
      if (self->onClicked_) self->onClicked_();
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace memotab::character
