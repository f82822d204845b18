#include "t_timer.h"

#include "win.h"

#include <algorithm>
#include <vector>

#include "framework_error.h"
#include "t_window.h"

namespace memotab {

namespace {

// Never destroyed, so that a timer held by a static variable can still leave it while the
// program exits.
std::vector<TTimer*>& LiveTimers() {
  static auto* timers = new std::vector<TTimer*>();
  return *timers;
}

}  // namespace

std::shared_ptr<TTimer> TTimer::New(int nInterval, std::function<void()> bAction, const TWindow* oWnd) {
  static uintptr_t timersMade = 0;
  std::shared_ptr<TTimer> timer(new TTimer());
  timer->nInterval = nInterval;
  timer->bAction = std::move(bAction);
  timer->nId = ++timersMade;
  timer->hWndOwner = oWnd != nullptr ? oWnd->hWnd : GetActiveWindow();
  // A timer of the thread alone would lose its ticks in every dialog, message box and menu:
  // their loops pass on only the messages of windows.
  if (timer->hWndOwner == nullptr) ThrowFrameworkError("TTimer: no window receives the ticks", EG_ARG);
  LiveTimers().push_back(timer.get());
  return timer;
}

TTimer::~TTimer() { End(); }

void TTimer::Activate() {
  nId = SetTimer(hWndOwner, nId, static_cast<UINT>(std::max(nInterval, 0)), nullptr);
  lActive = true;
}

void TTimer::DeActivate() {
  lActive = false;
  KillTimer(hWndOwner, nId);
}

void TTimer::End() {
  const auto live = std::find(LiveTimers().begin(), LiveTimers().end(), this);
  if (live == LiveTimers().end()) return;
  DeActivate();
  LiveTimers().erase(live);
}

bool TIMEREVENT(HWND hWndOwner, uintptr_t nId) {
  const auto found = std::find_if(LiveTimers().begin(), LiveTimers().end(), [&](const TTimer* timer) {
    return timer->hWndOwner == hWndOwner && timer->nId == nId;
  });
  if (found == LiveTimers().end()) return false;
  TTimer& timer = **found;
  if (!timer.lActive || !timer.bAction) return true;
  const std::shared_ptr<TTimer> keepAlive = timer.shared_from_this();  // the action may end it
  const std::function<void()> action = timer.bAction;
  action();
  return true;
}

}  // namespace memotab
