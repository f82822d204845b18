#include "ui_driver.h"

namespace memotab::test {

namespace {

struct Search {
  const std::string* caption;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (!IsWindowVisible(window) || owner != search->processId) return TRUE;
  if (WindowText(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindVisibleWindow(const std::string& caption, DWORD processId) {
  Search search{&caption, processId, nullptr};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindProcessWindow(const char* windowClass, const char* caption, DWORD processId) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, windowClass, caption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

void ClickButton(HWND dialog, int buttonId) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

std::string WindowText(HWND window) {
  // Read without sending a message, so that a busy owner thread cannot block the search.
  wchar_t wide[1024] = {};
  const int length = InternalGetWindowText(window, wide, 1024);
  char text[2048] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, length, text, sizeof text - 1, nullptr, nullptr);
  return text;
}

}  // namespace memotab::test

namespace memotab::test {

std::string ControlText(HWND control) {
  char text[2048] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace memotab::test
