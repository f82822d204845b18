#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>

#include "win_handles.h"

namespace memotab {

class TWindow;

// A closure run at a fixed interval on the UI thread: the system's ticks for the owner
// window reach it through that window's event loop. A timer is made inactive; each tick
// runs the action while it is active. Live timers form a list in the order they were made;
// a timer leaves it when it ends (End, or the end of the object).
class TTimer : public std::enable_shared_from_this<TTimer> {
 public:
  // A timer of `nInterval` milliseconds for `oWnd`; without a window, for the window that
  // is active now. Raises RuntimeError when there is neither.
  static std::shared_ptr<TTimer> New(int nInterval = 18, std::function<void()> bAction = nullptr,
                                     const TWindow* oWnd = nullptr);
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  // Starts the system timer, or starts its period again; a system that refuses leaves nId 0.
  void Activate();
  // Stops the system timer; ticks are no longer acted on.
  void DeActivate();
  // Deactivates the timer and takes it out of the live list. Later calls do nothing.
  void End();

  int nInterval = 18;
  std::function<void()> bAction;  // runs on each tick while the timer is active
  uintptr_t nId = 0;              // from a counter of timers made, then the system's
  bool lActive = false;
  HWND hWndOwner = nullptr;
  std::any Cargo;

 private:
  TTimer() = default;
};

// A tick that `hWndOwner` received for the identifier `nId`: runs the action of the live
// timer of that window and identifier when it is active. False when no live timer has both
// (a control's own timer, for instance), so that the tick goes on to the window's own
// procedure.
bool TIMEREVENT(HWND hWndOwner, uintptr_t nId);

}  // namespace memotab
