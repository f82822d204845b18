#include "tray_shell.h"

#include <string>

#include "message_boxes.h"

namespace memotab {

namespace {

TrayRecordObserver& Observer() {
  static auto* observer = new TrayRecordObserver();
  return *observer;
}

}  // namespace

void SetTrayRecordObserverForTesting(TrayRecordObserver observer) { Observer() = std::move(observer); }

bool SendTrayRecord(DWORD nMessage, const NOTIFYICONDATAA& record) {
  if (Observer()) Observer()(nMessage, record);
  const HMODULE shell = LoadLibraryA("shell32.dll");
  if (shell == nullptr) {
    MSGALERT("Error code: " + std::to_string(GetLastError()) + " loading shell32.dll");
    return false;
  }
  using NotifyIcon = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
  const auto notify = reinterpret_cast<NotifyIcon>(reinterpret_cast<void*>(GetProcAddress(shell, "Shell_NotifyIconA")));
  NOTIFYICONDATAA sent = record;
  const bool taken = notify != nullptr && notify(nMessage, &sent) != FALSE;
  FreeLibrary(shell);
  return taken;
}

}  // namespace memotab
