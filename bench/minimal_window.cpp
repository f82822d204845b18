// The smallest Win32 program of ours that shows a window: the floor that memotab.exe's
// start-up is compared with.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "MINIMAL";
  RegisterClassA(&windowClass);
  CreateWindowExA(0, "MINIMAL", "Memotab minimal window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 80, 201, 241, nullptr,
                  nullptr, instance, nullptr);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
