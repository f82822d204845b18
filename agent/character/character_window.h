#pragma once

#include <functional>

#include "activation.h"
#include "figure.h"
#include "gdi_handles.h"
#include "win.h"

namespace memotab::character {

// The window that shows the figure: top-most, drawn with per-pixel alpha from a
// premultiplied 32-bit bitmap. The pointer reaches it only over the figure (elsewhere
// clicks fall through to what lies below); the figure can be dragged. It never keeps the
// activation: a click does not activate it, and when the system activates it anyway it
// passes the activation on to the window that lost it.
// The window class of the figure's window, for those who look for it.
inline constexpr const char* kCharacterWindowClass = "MemotabCharacter";

class CharacterWindow {
 public:
  // Each slot says when it runs.
  struct Events {
    std::function<void()> onTimer;        // the timer set by ScheduleTimer is due
    std::function<void()> onDragged;      // the user has dragged the figure to a new place
    std::function<void(POINT)> onMenu;    // the user right-clicked the figure (screen point)
    std::function<void()> onScreenChanged;  // the displays or the work area changed; Position() is where the window is now
  };

  // Creates the window hidden, of the figure's size. Raises std::runtime_error when the
  // system refuses.
  CharacterWindow(int width, int height, Events events);
  ~CharacterWindow();
  CharacterWindow(const CharacterWindow&) = delete;
  CharacterWindow& operator=(const CharacterWindow&) = delete;

  // Hands a composed frame to the window (at its place).
  void Present(const Picture& frame);
  void MoveTo(POINT topLeft);
  void Show();
  void Hide();
  bool Visible() const;
  POINT Position() const;
  RECT Bounds() const;
  // One timer at a time: the next call replaces the one before.
  void ScheduleTimer(unsigned milliseconds);
  // Shows a popup menu at a screen point and returns the command chosen (0 for none).
  // The menu needs the window in the foreground; afterwards the foreground goes back to
  // another program's window that had it, or the activation and the focus to the window of
  // this thread that had them; unless the click that ended the menu was on a window of this
  // thread, which then takes the activation.
  unsigned TrackMenu(HMENU menu, POINT at);
  void CancelTimer();
  bool TimerSet() const { return timerSet_; }

  HWND Handle() const { return window_.get(); }
  // The bitmap handed to the layered window and the frame it holds, for tests.
  HBITMAP BitmapForTesting() const { return bitmap_.get(); }
  const Picture& ShownForTesting() const { return shown_; }

 private:
  // What the window answers to WM_NCHITTEST at a point of its client area.
  LRESULT HitTest(POINT client) const;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Update();
  // The system activated the window: the activation is passed on once the message that
  // says so arrives.
  void Activated(HWND lostIt);
  void ScreenChanged();

  Events events_;
  int width_;
  int height_;
  UniqueWindow window_;
  UniqueMemoryDc memory_;
  UniqueBitmap bitmap_;
  uint32_t* bits_ = nullptr;
  Picture shown_;
  POINT position_{0, 0};
  bool timerSet_ = false;
  // A drag in progress: where the button went down, relative to the window.
  bool pressed_ = false;
  bool dragging_ = false;
  POINT grip_{0, 0};
  POINT pressedAt_{0, 0};
  // The window the activation goes back to, while the system has it here.
  ActivationToGiveBack passOn_;
  bool trackingMenu_ = false;  // the window holds the activation for its own menu
};

}  // namespace memotab::character
