#include "free_routines.h"

#include "win.h"

#include <shellapi.h>

namespace memotab {

bool GETKEYSTATE(int nVKey) { return (GetKeyState(nVKey) & 0x8000) != 0; }

std::array<int, 2> GETCURSORPOS() {
  POINT point{};
  GetCursorPos(&point);
  return {point.y, point.x};
}

bool MOVEWINDOW(HWND hWnd, int nTop, int nLeft, int nWidth, int nHeight, bool lRepaint) {
  if (!IsWindow(hWnd)) return false;
  if (nWidth == 0) {
    RECT rect{};
    GetWindowRect(hWnd, &rect);
    nWidth = rect.right - rect.left;
    nHeight = rect.bottom - rect.top;
  }
  return MoveWindow(hWnd, nLeft, nTop, nWidth, nHeight, lRepaint) != FALSE;
}

bool SETWINDOWPOS(HWND hWnd, intptr_t hAfter, int nTop, int nLeft, int nWidth, int nHeight, unsigned nFlags) {
  return SetWindowPos(hWnd, reinterpret_cast<HWND>(hAfter), nLeft, nTop, nWidth, nHeight, nFlags) != FALSE;
}

std::vector<std::array<int, 4>> WORKAREAS() {
  std::vector<std::array<int, 4>> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM found) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(monitor, &info)) {
          const RECT& work = info.rcWork;
          reinterpret_cast<std::vector<std::array<int, 4>>*>(found)->push_back(
              {static_cast<int>(work.top), static_cast<int>(work.left), static_cast<int>(work.bottom),
               static_cast<int>(work.right)});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

std::array<int, 4> GETWINDOWRECT(HWND hWnd) {
  RECT rect{};
  if (hWnd == nullptr || !GetWindowRect(hWnd, &rect)) return {0, 0, 0, 0};
  return {static_cast<int>(rect.top), static_cast<int>(rect.left), static_cast<int>(rect.bottom),
          static_cast<int>(rect.right)};
}

std::array<int, 4> GETCLIENTRECT(HWND hWnd) {
  RECT rect{};
  if (hWnd == nullptr || !GetClientRect(hWnd, &rect)) return {0, 0, 0, 0};
  return {static_cast<int>(rect.top), static_cast<int>(rect.left), static_cast<int>(rect.bottom),
          static_cast<int>(rect.right)};
}

bool WINHELP(const std::string& cFile, unsigned nCommand, uintptr_t nData) {
  return WinHelpA(GetActiveWindow(), cFile.c_str(), nCommand, nData) != FALSE;
}

bool SHELLOPEN(const std::string& cFile) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(GetActiveWindow(), "open", cFile.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

void CURSORWAIT() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

void CURSORARROW() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

}  // namespace memotab
