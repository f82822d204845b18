#include "event_loop.h"

#include <algorithm>
#include <vector>

#include "win.h"

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

// `dialog` (when there is one) takes its keyboard messages before the modeless dialogs.
void Deliver(MSG& message, HWND dialog = nullptr) {
  if (dialog != nullptr && IsDialogMessageA(dialog, &message)) return;
  if (OfferToModelessDialogs(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

// Marks a loop as running for as long as it lives, whatever ends it.
class LoopRunning {
 public:
  LoopRunning() : was_(loopRunning) { loopRunning = true; }
  ~LoopRunning() { loopRunning = was_; }
  LoopRunning(const LoopRunning&) = delete;
  LoopRunning& operator=(const LoopRunning&) = delete;

 private:
  bool was_;
};

// Takes the next waiting message that a pass of SYSREFRESH may dispatch. Inside a popup
// menu's loop the keyboard and pointer input stays queued for the menu (dispatched to its
// window, the click that chooses an item would never reach the menu and it would stay open);
// everything else is taken in the order the queue gives it, as outside a menu.
bool TakeWaiting(MSG& message, bool inMenu) {
  constexpr UINT kBesideInput = PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT;
  return PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | (inMenu ? kBesideInput : 0));
}

// Dispatches every message already waiting; false when it met a quit request while the
// loop runs (the request is posted again for the loop).
bool Refresh(bool inMenu) {
  MSG message{};
  while (TakeWaiting(message, inMenu)) {
    if (message.message == WM_QUIT) {
      if (!loopRunning) return true;
      PostQuit(static_cast<int>(message.wParam));
      return false;
    }
    Deliver(message);
  }
  return true;
}

// Waits for the next message and takes it.
void NextMessage(MSG& message) {
  while (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) WaitMessage();
}

}  // namespace

void WINRUN(HWND) {
  const LoopRunning running;
  MSG message{};
  while (true) {
    NextMessage(message);
    if (message.message == WM_QUIT) return;
    Deliver(message);
  }
}

bool RunModalLoop(HWND hDlg, const std::function<bool()>& done) {
  const LoopRunning running;
  MSG message{};
  while (!done()) {
    NextMessage(message);
    if (message.message == WM_QUIT) {
      PostQuit(static_cast<int>(message.wParam));  // for the loop that runs the program
      return false;
    }
    Deliver(message, hDlg);
  }
  return true;
}

bool InMenuLoop() {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  return GetGUIThreadInfo(GetCurrentThreadId(), &thread) && (thread.flags & GUI_INMENUMODE) != 0;
}

void PostQuit(int nCode) {
  if (InMenuLoop()) EndMenu();
  PostQuitMessage(nCode);
}

bool SYSREFRESH() { return Refresh(InMenuLoop()); }

void WAITEVENT(double nMaxSeconds) {
  const auto milliseconds = static_cast<DWORD>(std::max(0.0, nMaxSeconds) * 1000.0);
  MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void SYSWAIT(double nSeconds) {
  // A monotonic clock, so that a wait across midnight (or a clock change) ends on time.
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max(0.0, nSeconds) * 1000.0);
  // A menu's loop that runs this wait cannot end before the wait does: asked once.
  const bool inMenu = InMenuLoop();
  // Input left for a menu must not end every wait at once.
  const DWORD wakers = inMenu ? QS_ALLINPUT & ~QS_INPUT : QS_ALLINPUT;
  while (true) {
    if (!Refresh(inMenu)) return;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), wakers);
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
