// A stand-in for an older version of Memotab, for the installer tests: the program's main
// window, hidden, under an older version's title; closing it ends the process, as closing
// the program's own does.
#include "win.h"

namespace {

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA mainWindowClass{};
  mainWindowClass.lpfnWndProc = MainWindowProcedure;
  mainWindowClass.hInstance = instance;
  mainWindowClass.lpszClassName = "TWINDOW";
  if (RegisterClassA(&mainWindowClass) == 0) return 1;
  if (CreateWindowExA(0, "TWINDOW", "Memotab v1.5", WS_OVERLAPPEDWINDOW, 0, 0, 320, 70, nullptr, nullptr, instance,
                      nullptr) == nullptr) {
    return 1;
  }
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return static_cast<int>(message.wParam);
}
