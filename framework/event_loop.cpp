#include "event_loop.h"

#include <algorithm>
#include <vector>

#include "win.h"

#include "error_block.h"
#include "t_timer.h"

namespace memotab {

namespace {

bool loopRunning = false;
HWND applicationWindow = nullptr;
std::vector<HWND> modelessDialogs;
size_t lastDialog = 0;  // the dialog that took the last message is asked first

bool OfferToModelessDialogs(MSG& message) {
  if (modelessDialogs.empty()) return false;
  lastDialog = std::min(lastDialog, modelessDialogs.size() - 1);
  if (IsDialogMessageA(modelessDialogs[lastDialog], &message)) return true;
  for (size_t i = 0; i < modelessDialogs.size(); ++i) {
    if (i != lastDialog && IsDialogMessageA(modelessDialogs[i], &message)) {
      lastDialog = i;
      return true;
    }
  }
  return false;
}

// A tick of a timer made without a window comes to the thread itself.
bool IsThreadTimerTick(const MSG& message) {
  return message.message == WM_TIMER && message.hwnd == nullptr && message.lParam == 0;
}

void Deliver(MSG& message) {
  if (IsThreadTimerTick(message)) {
    GuardErrors([&] { return TIMEREVENT(nullptr, message.wParam); }, false);
    return;
  }
  if (OfferToModelessDialogs(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

void WINRUN(HWND) {
  const bool wasRunning = loopRunning;
  loopRunning = true;
  MSG message{};
  while (true) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) break;
    Deliver(message);
  }
  loopRunning = wasRunning;
}

bool SYSREFRESH() {
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      if (!loopRunning) return true;
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Deliver(message);
  }
  return true;
}

void WAITEVENT(double nMaxSeconds) {
  const auto milliseconds = static_cast<DWORD>(std::max(0.0, nMaxSeconds) * 1000.0);
  MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void SYSWAIT(double nSeconds) {
  // A monotonic clock, so that a wait across midnight (or a clock change) ends on time.
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max(0.0, nSeconds) * 1000.0);
  while (true) {
    if (!SYSREFRESH()) return;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

bool LWRUNNING() { return loopRunning; }
void SETLWRUNNING(bool running) { loopRunning = running; }
HWND GETWNDAPP() { return applicationWindow; }
void SETWNDAPP(HWND hWnd) { applicationWindow = hWnd; }

bool RegisterModelessDialog(HWND hDlg) {
  if (modelessDialogs.size() >= static_cast<size_t>(kMaxModelessDialogs)) return false;
  modelessDialogs.push_back(hDlg);
  return true;
}

void UnregisterModelessDialog(HWND hDlg) { std::erase(modelessDialogs, hDlg); }

}  // namespace memotab
