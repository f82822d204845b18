#include "speech_balloon.h"

#include "balloon_parts.h"
#include "window_class.h"
#include "window_dc.h"

#include <algorithm>
#include <stdexcept>

namespace memotab::character {

namespace {

constexpr int kTextWidth = 220;  // the widest a line of text grows
constexpr int kPadding = 10;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

}  // namespace

SpeechBalloon::SpeechBalloon(std::function<void()> onClicked) : onClicked_(std::move(onClicked)) {
  RegisterWindowClassOnce(kSpeechBalloonClass, &SpeechBalloon::Procedure);
  window_.reset(CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSpeechBalloonClass, "", WS_POPUP, 0, 0,
                                10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), this));
  if (!window_) throw std::runtime_error("no se puede crear el globo de diálogo");
}

SpeechBalloon::~SpeechBalloon() {
  if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void SpeechBalloon::Open(Kind kind, std::wstring text, const std::wstring& fontName, int fontSize, RECT figure) {
  kind_ = kind;
  text_ = std::move(text);
  shown_ = 0;
  SetWindowTextW(window_.get(), L"");
  font_ = BalloonFont(fontName, fontSize);
  const int round = kind_ == Kind::kThought ? 2 * kPadding : 0;  // a cloud needs more room
  const int frame = 2 * kPadding + round + kBalloonTail;
  {
    const WindowDc dc(window_.get());
    const Selection font(dc.hDC(), font_.get());
    const SIZE whole = TextSize(dc.hDC(), text_.size(), kTextWidth);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.hDC(), &metrics);
    const int line = std::max<int>(metrics.tmHeight, 1);
    // A text taller than the screen allows shows as many whole lines as fit: the latest.
    const int lines = std::max(1, (TallestBalloon(figure, WorkAreaOf(figure)) - frame) / line);
    textSize_ = {std::max<LONG>(whole.cx, 24), std::min<LONG>(std::max<LONG>(whole.cy, 12), lines * line)};
  }
  size_ = {textSize_.cx + 2 * kPadding + round, textSize_.cy + frame};
  Follow(figure);
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
}

void SpeechBalloon::Follow(RECT figure) {
  place_ = PlaceBeside(size_, figure, WorkAreaOf(figure));
  SetWindowPos(window_.get(), HWND_TOPMOST, place_.topLeft.x, place_.topLeft.y, size_.cx, size_.cy, SWP_NOACTIVATE);
  Shape();
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void SpeechBalloon::Shape() {
  UniqueRegion shape;
  if (kind_ == Kind::kSpeech) {
    shape = RoundedBoxWithTail(size_, place_);
  } else {
    const int top = place_.below ? kBalloonTail : 0;
    const int bottom = place_.below ? size_.cy : size_.cy - kBalloonTail;
    shape.reset(CreateEllipticRgn(0, top, size_.cx + 1, bottom + 1));
    const int step = place_.below ? -1 : 1;
    const int start = place_.below ? top : bottom;
    const int tailX = place_.tailX;
    for (int bubble = 0; bubble < 2; ++bubble) {  // two bubbles rising from the figure
      const int radius = 5 - 2 * bubble;
      const int y = start + step * (4 + bubble * 7) + (place_.below ? -radius : 0);
      const UniqueRegion dot(CreateEllipticRgn(tailX - radius, y, tailX + radius + 1, y + 2 * radius + 1));
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

SIZE SpeechBalloon::TextSize(HDC dc, size_t length, int width) const {
  RECT measured{0, 0, width, 0};
  DrawTextW(dc, text_.c_str(), static_cast<int>(length), &measured, kTextFormat | DT_CALCRECT);
  return {measured.right, measured.bottom};
}

bool SpeechBalloon::IsOpen() const { return IsWindowVisible(window_.get()) != FALSE; }

void SpeechBalloon::Paint() {
  const PaintScope painting(window_.get());
  const HDC dc = painting.hDC();
  const UniqueBrush paper(CreateSolidBrush(kBalloonPaper));
  PaintBalloonPaper(window_.get(), dc, paper.get());
  const int round = kind_ == Kind::kThought ? kPadding : 0;
  RECT text{kPadding + round, (place_.below ? kBalloonTail : 0) + kPadding + round, 0, 0};
  text.right = text.left + textSize_.cx;
  text.bottom = text.top + textSize_.cy;
  const Selection font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kBalloonInk);
  // When the words said so far run past the bottom, their first lines leave by the top.
  IntersectClipRect(dc, text.left, text.top, text.right, text.bottom);
  text.top -= std::max<LONG>(0, TextSize(dc, shown_, textSize_.cx).cy - textSize_.cy);
  DrawTextW(dc, text_.c_str(), static_cast<int>(shown_), &text, kTextFormat | DT_NOCLIP);
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
