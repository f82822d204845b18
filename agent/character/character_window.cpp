#include "character_window.h"

#include "private_messages.h"
#include "scoped_flag.h"
#include "window_class.h"
#include "window_dc.h"

#include <windowsx.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace memotab::character {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr int kDragThreshold = 3;  // pixels the pointer moves before a press becomes a drag

}  // namespace

CharacterWindow::CharacterWindow(int width, int height, Events events)
    : events_(std::move(events)), width_(width), height_(height) {
  RegisterWindowClassOnce(kCharacterWindowClass, &CharacterWindow::Procedure);
  window_.reset(CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                kCharacterWindowClass, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                GetModuleHandleA(nullptr), this));
  if (!window_) throw std::runtime_error("no se puede crear la ventana del personaje");

  const WindowDc screen(nullptr);
  memory_.reset(CreateCompatibleDC(screen.hDC()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first, as the frames are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(screen.hDC(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory_ || !bitmap_) throw std::runtime_error("no se puede preparar la imagen del personaje");
  bits_ = static_cast<uint32_t*>(bits);
  shown_ = {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), 0)};
}

CharacterWindow::~CharacterWindow() {
  if (window_) {
    CancelTimer();
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
  }
}

void CharacterWindow::Present(const Picture& frame) {
  if (frame.width != width_ || frame.height != height_) return;
  shown_.pixels = frame.pixels;
  GdiFlush();
  std::memcpy(bits_, frame.pixels.data(), frame.pixels.size() * sizeof(uint32_t));
  Update();
}

void CharacterWindow::Update() {
  const Selection selected(memory_.get(), bitmap_.get());
  POINT source{0, 0};
  SIZE size{width_, height_};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window_.get(), nullptr, &position_, &size, memory_.get(), &source, 0, &blend, ULW_ALPHA);
}

void CharacterWindow::MoveTo(POINT topLeft) {
  position_ = topLeft;
  SetWindowPos(window_.get(), HWND_TOPMOST, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  Update();
}

void CharacterWindow::Show() {
  Update();
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
  SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CharacterWindow::Hide() { ShowWindow(window_.get(), SW_HIDE); }

bool CharacterWindow::Visible() const { return IsWindowVisible(window_.get()) != FALSE; }

POINT CharacterWindow::Position() const { return position_; }

RECT CharacterWindow::Bounds() const {
  return {position_.x, position_.y, position_.x + width_, position_.y + height_};
}

void CharacterWindow::ScheduleTimer(unsigned milliseconds) {
  SetTimer(window_.get(), kTimerId, std::max(1u, milliseconds), nullptr);
  timerSet_ = true;
}

void CharacterWindow::CancelTimer() {
  if (timerSet_) KillTimer(window_.get(), kTimerId);
  timerSet_ = false;
}

unsigned CharacterWindow::TrackMenu(HMENU menu, POINT at) {
  const ActivationToGiveBack giveBack = ActivationToGiveBack::Current();
  // This thread's active window says nothing of another program the user was working in.
  const HWND foreground = GetForegroundWindow();
  const bool foregroundElsewhere =
      foreground != nullptr && GetWindowThreadProcessId(foreground, nullptr) != GetCurrentThreadId();
  unsigned chosen = 0;
  {
    const ScopedFlag tracking(trackingMenu_);
    SetForegroundWindow(window_.get());  // else the menu would not close when the user clicks elsewhere
    chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, window_.get(),
                            nullptr);
  }
  // A click that ended the menu on a window of this thread activates that window itself.
  if (ActivatingClickWaiting()) return chosen;
  if (foregroundElsewhere) {
    // Unless a click elsewhere that ended the menu chose another window: then that one keeps it.
    const HWND now = GetForegroundWindow();
    if ((now == window_.get() || now == nullptr) && IsWindow(foreground)) SetForegroundWindow(foreground);
  } else if (giveBack.Activate()) {
    giveBack.RestoreFocus();  // never to the figure itself: it refuses activation
  }
  return chosen;
}

void CharacterWindow::ScreenChanged() {
  RECT actual{};  // the system may have moved the window itself
  if (GetWindowRect(window_.get(), &actual)) position_ = {actual.left, actual.top};
  if (events_.onScreenChanged) events_.onScreenChanged();
}

void CharacterWindow::Activated(HWND lostIt) {
  passOn_ = {WindowToActivateInstead(lostIt, window_.get()), nullptr};
  if (passOn_.Active() != nullptr) PostMessageA(window_.get(), kPassActivationOnMessage, 0, 0);
}

LRESULT CharacterWindow::HitTest(POINT client) const {
  return IsOnFigure(shown_, client.x, client.y) ? HTCLIENT : HTTRANSPARENT;
}

LRESULT CALLBACK CharacterWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowOwner<CharacterWindow>(window, message, lParam);
  if (self == nullptr || !self->window_) return DefWindowProcA(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT CharacterWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.get();
  switch (message) {
    case WM_NCHITTEST: {
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(window, &point);
      return HitTest(point);
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !trackingMenu_) Activated(reinterpret_cast<HWND>(lParam));
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:  // the focus that came with the activation goes back with it
      if (passOn_.Active() != nullptr) passOn_ = {passOn_.Active(), reinterpret_cast<HWND>(wParam)};
      return 0;
    case kPassActivationOnMessage:
      if (GetActiveWindow() == window && passOn_.Activate()) passOn_.RestoreFocus();
      passOn_ = {};
      return 0;
    case WM_DISPLAYCHANGE:
      ScreenChanged();
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) ScreenChanged();
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kTimerId) {
        CancelTimer();  // one tick per schedule; the handler sets the next
        if (events_.onTimer) events_.onTimer();
      }
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      dragging_ = false;
      grip_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      GetCursorPos(&pressedAt_);
      SetCapture(window);
      return 0;
    case WM_MOUSEMOVE:
      if (pressed_) {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (std::abs(cursor.x - pressedAt_.x) > kDragThreshold || std::abs(cursor.y - pressedAt_.y) > kDragThreshold) {
          dragging_ = true;
        }
        if (dragging_) MoveTo({cursor.x - grip_.x, cursor.y - grip_.y});
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (!pressed_) return 0;
      pressed_ = false;
      if (message == WM_LBUTTONUP) ReleaseCapture();
      if (dragging_) {
        dragging_ = false;
        if (events_.onDragged) events_.onDragged();
      }
      return 0;
    }
    case WM_RBUTTONUP: {
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(window, &point);
      // A copy: the menu's loop may end the window and its slots with it.
      if (const auto onMenu = events_.onMenu) onMenu(point);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace memotab::character
