#include "ui_driver.h"

#include <shellapi.h>

#include <fstream>
#include <set>

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

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(20);
  }
  return true;
}

int SaveWindowPicture(HWND window, const std::string& path) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return SaveScreenPicture(rect, path);
}

int SaveScreenPicture(RECT rect, const std::string& path) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return 0;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  const HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const auto* pixels = static_cast<const uint8_t*>(bits);
  std::set<uint32_t> colours;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* pixel = pixels + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 3;
      colours.insert(uint32_t{pixel[0]} | uint32_t{pixel[1]} << 8 | uint32_t{pixel[2]} << 16);
    }
  }
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + rowBytes * static_cast<size_t>(height));
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(rowBytes * static_cast<size_t>(height)));
  SelectObject(memory, previous);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(colours.size());
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
