#include "t_control.h"

#include "win.h"

#include <cstdio>

#include "framework_error.h"
#include "private_messages.h"
#include "scoped_flag.h"
#include "tooltip.h"
#include "window_registry.h"

namespace memotab {

namespace {

// The keys that move between a dialog's controls; leaving a control with one of them
// validates it even when the focus goes to a cancelling button.
bool NavigationKeyDown() {
  for (const int key : {VK_TAB, VK_RETURN, VK_DOWN, VK_UP}) {
    if (GetKeyState(key) & 0x8000) return true;
  }
  return false;
}

}  // namespace

std::string ControlText(HWND hWnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hWnd)), '\0');
  GetWindowTextA(hWnd, text.data(), static_cast<int>(text.size() + 1));
  return text;
}

namespace {

[[noreturn]] void ThrowNoControl(int id) {
  char text[16];
  std::snprintf(text, sizeof text, "No: %6d", id);
  ThrowFrameworkError(text, EG_ARG);
}

}  // namespace

void TControl::Attach(int id, TWindow& container) {
  if (container.ControlById(id)) ThrowNoControl(id);  // one control per identifier
  nId = id;
  oWnd = &container;
  container.aControls.push_back(shared_from_this());
}

void TControl::Initiate(HWND hDlg) {
  hWnd = GetDlgItem(hDlg, nId);
  if (hWnd == nullptr) ThrowNoControl(nId);
  EnableWindow(hWnd, lActive);
  Link();
  TakeFont();
  Load();
}

void TControl::CreateIn(TWindow& container, const char* systemClass, uint32_t style, int nTopPixel, int nLeftPixel,
                        int nWidth, int nHeight, const std::string& text) {
  oWnd = &container;
  nId = 100;
  while (container.ControlById(nId)) ++nId;
  nStyle = style | WS_CHILD | WS_VISIBLE;
  nTop = nTopPixel;
  nLeft = nLeftPixel;
  nBottom = nTopPixel + nHeight - 1;
  nRight = nLeftPixel + nWidth - 1;
  hWnd = CreateWindowExA(0, systemClass, text.c_str(), nStyle, nLeftPixel, nTopPixel, nWidth, nHeight, container.hWnd,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(nId)), GetModuleHandleA(nullptr), nullptr);
  if (hWnd == nullptr) ThrowFrameworkError(std::string("Cannot create a control of class ") + systemClass);
  Link();
  container.aControls.push_back(shared_from_this());
  TakeFont();
}

void TControl::TakeFont() {
  if (!oFont && oWnd != nullptr) oFont = oWnd->oFont;
  if (oFont) SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(oFont->hFont()), FALSE);
}

void TControl::Refresh() {
  Load();
  InvalidateRect(hWnd, nullptr, TRUE);
}

Result TControl::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_PAINT:  // controls draw themselves
      return std::nullopt;
    case kValidateMessage:
      ValidateDeferred();
      return 0;
    default:
      return TWindow::HandleEvent(nMsg, nWParam, nLParam);
  }
}

Result TControl::GotFocus(HWND) {
  lFocused = true;
  if (oWnd != nullptr && RemembersFocus()) oWnd->hCtlFocus = hWnd;
  if (bGotFocus) bGotFocus();
  return std::nullopt;
}

Result TControl::LostFocus(HWND hWndNew) {
  lFocused = false;
  TooltipEnd(hWnd);
  Store();
  // Only a move to another control of the same window leaves the field: the focus that goes
  // to another window (a message box of the check itself, another program) comes back to it.
  const bool withinItsWindow = hWndNew != nullptr && GetAncestor(hWndNew, GA_ROOT) == GetAncestor(hWnd, GA_ROOT);
  if (bValid && withinItsWindow) {
    const auto target = std::dynamic_pointer_cast<TControl>(WindowOf(hWndNew));
    const bool toCancelButton = target && !target->RemembersFocus() && target->lCancel;
    if (!toCancelButton || NavigationKeyDown()) PostMessageA(hWnd, kValidateMessage, 0, 0);
  }
  return bLostFocus ? bLostFocus(hWndNew) : std::nullopt;
}

bool TControl::End() {
  const WindowPtr self = shared_from_this();  // the container's list may hold the last reference
  if (oWnd != nullptr) std::erase(oWnd->aControls, self);
  if (hWnd != nullptr) DestroyWindow(hWnd);  // WM_DESTROY detaches the object
  return true;
}

bool TControl::Validate() {
  if (oWnd == nullptr) return lValid();
  const WindowPtr container = oWnd->shared_from_this();  // a validation that waits may end it
  const ScopedFlag validating(container->lValidating);
  return lValid();
}

void TControl::ValidateDeferred() {
  if (oWnd == nullptr || oWnd->lValidating) return;
  if (!Validate()) {
    ::SetFocus(hWnd);
  } else {
    oWnd->AEvalWhen();
  }
}

Result TControl::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TooltipMouseMoved(hWnd, cToolTip ? &*cToolTip : nullptr);
  return bMMoved ? bMMoved(nRow, nCol, nKeyFlags) : std::nullopt;
}

Result TControl::KeyDown(int nKey, int nFlags) { return bKeyDown ? bKeyDown(nKey, nFlags) : std::nullopt; }

Result TControl::EraseBkGnd(HDC) { return std::nullopt; }

}  // namespace memotab
