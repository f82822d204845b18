#include "ui_driver.h"

#include "event_loop.h"
#include "screen_shot.h"

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

void ClickLikeUser(HWND control, int x, int y) {
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PressKey(HWND window, int virtualKey) {
  PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
  PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(0xC0000001));
}

HWND FocusOfThread(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

namespace {

// Checks `condition` after every `pause` until it holds or the time is up.
bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               const std::function<void()>& pause) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    pause();
  }
  return true;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  return PollUntil(condition, timeout, [] { Sleep(20); });
}

bool DispatchUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  return PollUntil(condition, timeout, [] { SYSWAIT(0.02); });
}

namespace {

// xdotool's commands that bring the pointer to (x, y) from two pixels away, so that the
// windows there hear of a move even when the pointer was there already.
std::string PointerTo(int x, int y) {
  return "/usr/bin/xdotool mousemove " + std::to_string(x - 2) + " " + std::to_string(y - 2) + " mousemove " +
         std::to_string(x) + " " + std::to_string(y);
}

}  // namespace

bool MoveMouse(int x, int y) { return StartUnixProgram(PointerTo(x, y)); }

bool ClickMouse(int x, int y, int button) { return StartUnixProgram(PointerTo(x, y) + " click " + std::to_string(button)); }

bool PressMouse(int x, int y) { return StartUnixProgram(PointerTo(x, y) + " mousedown 1"); }

bool ReleaseMouse() { return StartUnixProgram("/usr/bin/xdotool mouseup 1"); }

bool HoverUntil(POINT point, const std::function<bool()>& condition) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (MoveMouse(point.x, point.y) && WaitUntil(condition, std::chrono::seconds(1))) return true;
  }
  return false;
}

bool MenuItemHighlighted(HMENU menu, int position) {
  const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return state != static_cast<UINT>(-1) && (state & MF_HILITE) != 0;
}

RECT WindowArea(HWND window) {
  RECT area{};
  GetWindowRect(window, &area);
  return area;
}

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

std::optional<RECT> ShownMenuItem(HMENU menu, int position) {
  RECT rect{};
  if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &rect)) return std::nullopt;
  // A menu window that is still being put in its place gives a rectangle elsewhere.
  if (ShownMenuWindowAt(Centre(rect)) == nullptr) return std::nullopt;
  return rect;
}

std::optional<RECT> WaitForMenuItem(HMENU menu, int position) {
  std::optional<RECT> rect;
  WaitUntil([&] { return (rect = ShownMenuItem(menu, position)).has_value(); });
  return rect;
}

std::vector<HWND> ShownMenuWindows() {
  std::vector<HWND> menus;
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId() && IsWindowVisible(window)) menus.push_back(window);
  }
  return menus;
}

HWND ShownMenuWindowAt(POINT point) {
  for (const HWND window : ShownMenuWindows()) {
    RECT shown{};
    GetWindowRect(window, &shown);
    if (PtInRect(&shown, point)) return window;
  }
  return nullptr;
}

bool StartUnixProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = commandLine;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

int SaveWindowPicture(HWND window, const std::string& path) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const ScreenShot shot(rect);
  if (shot.Width() == 0 || shot.Height() == 0) return 0;
  shot.Save(path);
  return shot.CountColours();
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
