#include "tooltip.h"

#include "win.h"

#include "common_controls.h"

namespace memotab {

namespace {

struct Current {
  HWND tooltip = nullptr;
  HWND window = nullptr;
};

Current current;

void EndTooltip() {
  if (current.tooltip != nullptr) DestroyWindow(current.tooltip);
  current.tooltip = nullptr;
}

bool WantsShadow() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  return version.dwMajorVersion >= 5 && version.dwMinorVersion != 0;
}

HWND ShowToolTip(HWND hWnd, const std::string& text) {
  UseCommonControls();
  const HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
  if (tooltip == nullptr) return nullptr;
  if (WantsShadow()) SetClassLongPtrA(tooltip, GCL_STYLE, GetClassLongPtrA(tooltip, GCL_STYLE) | CS_DROPSHADOW);
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = hWnd;
  tool.hinst = GetModuleHandleA(nullptr);
  tool.lpszText = const_cast<char*>(text.c_str());
  GetClientRect(hWnd, &tool.rect);
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 120);  // longer lines wrap; "\r\n" starts new ones
  SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
  return tooltip;
}

}  // namespace

void TooltipMouseMoved(HWND hWnd, const std::string* text) {
  if (text == nullptr) {
    current.window = hWnd;
    EndTooltip();
    return;
  }
  if (current.window == hWnd && current.tooltip != nullptr) return;
  current.window = hWnd;
  EndTooltip();
  current.tooltip = ShowToolTip(hWnd, *text);
}

void TooltipEnd(HWND owner) {
  if (current.window != owner) return;
  EndTooltip();
  current.window = nullptr;
}

HWND CurrentTooltip() { return current.tooltip; }

}  // namespace memotab
