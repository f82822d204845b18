#include "ui_driver.h"

#include <shellapi.h>

#include "event_loop.h"
#include "screen_shot.h"

namespace memotab::test {

namespace {

struct Search {
  const std::string* caption;
  bool wholeCaption;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (!IsWindowVisible(window) || owner != search->processId) return TRUE;
  const std::string caption = WindowText(window);
  if (search->wholeCaption ? caption != *search->caption : !caption.starts_with(*search->caption)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindVisible(const std::string& caption, bool wholeCaption, DWORD processId) {
  Search search{&caption, wholeCaption, processId, nullptr};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND FindVisibleWindow(const std::string& caption, DWORD processId) { return FindVisible(caption, true, processId); }

HWND FindVisibleWindowStartingWith(const std::string& captionStart, DWORD processId) {
  return FindVisible(captionStart, false, processId);
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

bool HasTrayIcon(DWORD processId) {
  struct Probe {
    DWORD processId;
    bool found;
  } probe{processId, false};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* asked = reinterpret_cast<Probe*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != asked->processId) return TRUE;
        NOTIFYICONDATAW unchanged{};
        unchanged.cbSize = sizeof unchanged;
        unchanged.hWnd = window;
        unchanged.uID = 1;
        asked->found = Shell_NotifyIconW(NIM_MODIFY, &unchanged) != FALSE;
        return asked->found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&probe));
  return probe.found;
}

std::string AnswerMessageBox(const std::string& caption, DWORD processId, std::chrono::milliseconds timeout,
                             const std::string& picture) {
  return WhenWindowAppears<std::string>(
             caption,
             [&](HWND box) {
               if (box == nullptr) return std::string("(no message box)");
               const std::string text = WindowText(GetDlgItem(box, 0xFFFF));
               if (!picture.empty()) {
                 RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                 SaveWindowPicture(box, picture);
               }
               ClickButton(box, IDOK);
               return text;
             },
             timeout, processId)
      .get();
}

void ClickButton(HWND dialog, int buttonId) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void ClickLikeUser(HWND control, int x, int y) {
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void ClickByInput(POINT at) {
  SetCursorPos(at.x, at.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

void PressKey(HWND window, int virtualKey) {
  PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
  PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(0xC0000001));
}

namespace {

GUITHREADINFO ThreadInfo(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info;
}

}  // namespace

HWND FocusOfThread(HWND window) { return ThreadInfo(window).hwndFocus; }

HWND ActiveOfThread(HWND window) { return ThreadInfo(window).hwndActive; }

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
  return "mousemove " + std::to_string(x - 2) + " " + std::to_string(y - 2) +
         " mousemove " + std::to_string(x) + " " + std::to_string(y);
}

}  // namespace

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string PointerUnavailable() {
  if (!UnderWine()) return "the X pointer is driven only under Wine";
  if (std::string(MEMOTAB_XDOTOOL).empty()) return "xdotool was not on the PATH when the tests were built";
  return {};
}

bool Xdotool(const std::string& arguments) {
  const std::string program = MEMOTAB_XDOTOOL;
  return !program.empty() && StartUnixProgram(program + " " + arguments);
}

bool MoveMouse(int x, int y) { return Xdotool(PointerTo(x, y)); }

bool ClickMouse(int x, int y, int button) { return Xdotool(PointerTo(x, y) + " click " + std::to_string(button)); }

bool PressMouse(int x, int y) { return Xdotool(PointerTo(x, y) + " mousedown 1"); }

bool ReleaseMouse() { return Xdotool("mouseup 1"); }

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
  return SaveScreenPicture(rect, path);
}

int SaveScreenPicture(RECT rect, const std::string& path) {
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
