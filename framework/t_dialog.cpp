#include "t_dialog.h"

#include "win.h"

#include <algorithm>

#include "common_controls.h"
#include "event_loop.h"
#include "framework_error.h"
#include "handler_guard.h"
#include "message_boxes.h"
#include "scoped_flag.h"
#include "system_message.h"
#include "t_control.h"
#include "window_registry.h"

namespace memotab {

namespace {

// The dialog whose template the system is building: messages can arrive before
// WM_INITDIALOG (an owner-drawn combo box asks for its item height).
TDialog* dialogBeingCreated = nullptr;

bool ReturnsValueDirectly(unsigned message) {
  return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
         message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
}

// Centres a dialog on its owner (or the screen), keeping it whole on the screen.
void CenterOnOwner(HWND hDlg) {
  RECT dialog{};
  RECT area{};
  RECT screen{};
  GetWindowRect(hDlg, &dialog);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
  const HWND owner = GetWindow(hDlg, GW_OWNER);
  if (owner != nullptr && IsWindowVisible(owner)) {
    GetWindowRect(owner, &area);
  } else {
    area = screen;
  }
  const int width = dialog.right - dialog.left;
  const int height = dialog.bottom - dialog.top;
  const int left = std::clamp<int>(area.left + (area.right - area.left - width) / 2, screen.left,
                                   std::max<int>(screen.left, screen.right - width));
  const int top = std::clamp<int>(area.top + (area.bottom - area.top - height) / 2, screen.top,
                                  std::max<int>(screen.top, screen.bottom - height));
  SetWindowPos(hDlg, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

intptr_t DialogProcedure(HWND hDlg, unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  if (nMsg == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<TDialog*>(nLParam);
    const WindowPtr keepAlive = dialog->shared_from_this();
    dialogBeingCreated = nullptr;
    return GuardHandler([&] { return dialog->Initiate(hDlg); }, true) ? TRUE : FALSE;
  }
  WindowPtr dialog = WindowOf(hDlg);
  if (!dialog && dialogBeingCreated != nullptr) dialog = dialogBeingCreated->shared_from_this();
  if (!dialog) return FALSE;
  const Result result = GuardHandler([&] { return dialog->HandleEvent(nMsg, nWParam, nLParam); }, Result{});
  if (!result) return FALSE;
  if (ReturnsValueDirectly(nMsg)) return *result;
  SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, *result);
  return TRUE;
}

namespace {

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  return DialogProcedure(hDlg, nMsg, nWParam, nLParam);
}

}  // namespace

DialogPtr TDialog::New(TDialogParams params) {
  DialogPtr dialog(new TDialog());
  dialog->cResName = std::move(params.cResName);
  dialog->cCaptionSet_ = std::move(params.cCaption);
  dialog->oWnd = params.oWnd;
  dialog->oFont = std::move(params.oFont);
  dialog->oIcon = std::move(params.oIcon);
  dialog->nClrText = static_cast<int32_t>(GetSysColor(COLOR_BTNTEXT));
  dialog->nClrPane = static_cast<int32_t>(GetSysColor(COLOR_BTNFACE));
  return dialog;
}

HWND TDialog::Owner() const {
  if (oWnd != nullptr) return oWnd->hWnd;
  if (LWRUNNING()) return GetActiveWindow();
  return GETWNDAPP();
}

void TDialog::Activate(TDialogActivation activation) {
  lCentered = activation.lCentered;
  lModal = activation.lModal;
  if (activation.bValid) bValid = std::move(activation.bValid);
  if (activation.bInit) bInit = std::move(activation.bInit);
  if (activation.bWhen) bWhen = std::move(activation.bWhen);
  nResult.reset();
  ending_ = false;
  lVisible = true;
  if (!lWhen()) {
    nResult = 2;
    return;
  }
  const DialogPtr self = std::static_pointer_cast<TDialog>(shared_from_this());
  UseCommonControls();
  dialogBeingCreated = this;
  if (lModal) {
    const bool wasRunning = LWRUNNING();
    SETLWRUNNING(true);
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), cResName.c_str(), Owner(), DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    SETLWRUNNING(wasRunning);
    dialogBeingCreated = nullptr;
    if (result == -1) {
      ThrowFrameworkError("Cannot create the dialog " + cResName + ": " + SystemMessage(GetLastError()));
    }
    if (!nResult) nResult = static_cast<int>(result);
    return;
  }
  const HWND created =
      CreateDialogParamA(GetModuleHandleA(nullptr), cResName.c_str(), Owner(), DialogProc, reinterpret_cast<LPARAM>(this));
  dialogBeingCreated = nullptr;
  if (created == nullptr) {
    ThrowFrameworkError("Cannot create the dialog " + cResName + ": " + SystemMessage(GetLastError()));
  }
  if (!RegisterModelessDialog(created)) {
    DestroyWindow(created);
    MSGALERT("Not possible to create more non-modal Dialogs");
    return;
  }
  // A window of its own is shown now; a page inside another dialog is shown by its folder.
  if ((GetWindowLongPtrA(created, GWL_STYLE) & WS_CHILD) == 0) {
    if (activation.lNoActivate) {
      // An owned window has no taskbar button of its own, and the taskbar half of the flash
      // would have nothing to flash.
      SetWindowLongPtrA(created, GWL_EXSTYLE, GetWindowLongPtrA(created, GWL_EXSTYLE) | WS_EX_APPWINDOW);
      ShowWindow(created, SW_SHOWNOACTIVATE);
      FLASHWINFO flash{.cbSize = sizeof(FLASHWINFO), .hwnd = created, .dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG};
      FlashWindowEx(&flash);
    } else {
      ShowWindow(created, SW_SHOWNORMAL);
    }
  }
}

bool TDialog::Initiate(HWND hDlg) {
  hWnd = hDlg;
  Link(false);
  if (oFont) SendMessageA(hDlg, WM_SETFONT, reinterpret_cast<WPARAM>(oFont->hFont()), FALSE);
  // Controls may be added while others initialise (a folder's pages): index, not iterate.
  for (size_t i = 0; i < aControls.size(); ++i) {
    if (auto control = std::dynamic_pointer_cast<TControl>(aControls[i])) control->Initiate(hDlg);
  }
  if (lCentered) CenterOnOwner(hDlg);
  if (cCaptionSet_) SetWindowTextA(hDlg, cCaptionSet_->c_str());
  cCaption = ControlText(hDlg);
  const LONG_PTR extended = GetWindowLongPtrA(hDlg, GWL_EXSTYLE);
  const bool helpIcon = lHelpIcon.value_or(true);
  SetWindowLongPtrA(hDlg, GWL_EXSTYLE, helpIcon ? extended | WS_EX_CONTEXTHELP : extended & ~WS_EX_CONTEXTHELP);
  if (oIcon) SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(oIcon->hIcon));
  const bool systemSetsFocus = !bInit || bInit(*this);
  AEvalWhen();
  return systemSetsFocus;
}

bool TDialog::End(int result) {
  if (hWnd == nullptr) return false;
  if (!lModal) return PostMessageA(hWnd, WM_CLOSE, static_cast<WPARAM>(result), 0) != FALSE;
  if (ending_ || !lValid()) return false;
  ending_ = true;
  nResult = result;
  // The focus leaves the controls as the dialog goes: none of them is checked any more.
  const ScopedFlag closing(lValidating);
  EndDialog(hWnd, result);
  SYSREFRESH();
  return true;
}

Result TDialog::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    // The dialog manager paints, erases, focuses and tracks the mouse itself.
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_SETFOCUS:
    case WM_MOUSEMOVE:
      return std::nullopt;
    default:
      return TWindow::HandleEvent(nMsg, nWParam, nLParam);
  }
}

Result TDialog::Command(WPARAM nWParam, LPARAM nLParam) {
  if (nLParam != 0) {
    // A control of this dialog (or of one of its pages) tells about itself.
    const WindowPtr control = WindowOf(reinterpret_cast<HWND>(nLParam));
    if (control) {
      control->ReflectedCommand(LOWORD(nWParam), HIWORD(nWParam));
      return 1;
    }
    return std::nullopt;
  }
  switch (LOWORD(nWParam)) {
    case IDOK:  // Enter moves on to the next control; it never ends the dialog
      PostMessageA(hWnd, WM_NEXTDLGCTL, 0, FALSE);
      return 1;
    case IDCANCEL:  // Escape and the close box
      End(2);
      return 1;
    default:
      return std::nullopt;
  }
}

Result TDialog::SysCommand(WPARAM, LPARAM) {
  return std::nullopt;  // the dialog manager turns the close box into IDCANCEL
}

Result TDialog::Close(WPARAM nWParam) {
  if (lModal) return std::nullopt;  // the dialog manager turns it into IDCANCEL
  nResult = static_cast<int>(nWParam);
  DestroyWindow(hWnd);
  return 1;
}

Result TDialog::Destroy() {
  if (!lModal && hWnd != nullptr) UnregisterModelessDialog(hWnd);
  return TWindow::Destroy();
}

}  // namespace memotab
