#include "t_button.h"

#include "win.h"

#include "private_messages.h"
#include "scoped_flag.h"
#include "t_dialog.h"
#include "window_dc.h"
#include "window_registry.h"

namespace memotab {

std::shared_ptr<TButton> TButton::ReDefine(int nId, std::function<void()> bAction, TDialog& oDlg, Params params) {
  std::shared_ptr<TButton> button(new TButton());
  button->Configure(nId, std::move(bAction), oDlg, std::move(params));
  return button;
}

void TButton::Configure(int id, std::function<void()> action, TDialog& oDlg, Params params) {
  bAction = std::move(action);
  bWhen = std::move(params.bWhen);
  lCancel = params.lCancel;
  if (!params.cCaption.empty()) cCaption = params.cCaption;
  Attach(id, oDlg);
}

Result TButton::ReflectedCommand(int, int nNotifyCode) {
  if (nNotifyCode != BN_CLICKED || running_) return 0;
  // A click does nothing while the control being edited holds a value it refuses,
  // unless this button cancels.
  if (!lCancel && !EditedValueIsValid()) return 0;
  const WindowPtr keepAlive = shared_from_this();  // the action may end the dialog
  const ScopedFlag running(running_);
  if (bAction) bAction();
  return 0;
}

// The click validates the edited control itself, once: a validation still queued for it
// is dropped, and a click that arrives while the container is validating (a check that
// waits, as the assistant's speech does) is ignored.
bool TButton::EditedValueIsValid() {
  if (oWnd == nullptr) return true;
  if (oWnd->lValidating) return false;
  const auto edited = std::dynamic_pointer_cast<TControl>(WindowOf(oWnd->hCtlFocus));
  if (!edited || edited.get() == this) return true;
  MSG queued{};
  PeekMessageA(&queued, edited->hWnd, kValidateMessage, kValidateMessage, PM_REMOVE);
  if (edited->Validate()) return true;
  ::SetFocus(edited->hWnd);
  return false;
}

std::shared_ptr<TButtonBmp> TButtonBmp::ReDefine(int nId, std::function<void()> bAction, TDialog& oDlg,
                                                 const std::string& cBitmap, Params params) {
  std::shared_ptr<TButtonBmp> button(new TButtonBmp());
  button->cBitmap_ = cBitmap;
  button->Configure(nId, std::move(bAction), oDlg, std::move(params));
  return button;
}

void TButtonBmp::Initiate(HWND hDlg) {
  TButton::Initiate(hDlg);
  oPicture = TPicture::Load(cBitmap_);
}

void TButtonBmp::DrawPicture() const {
  if (!oPicture) return;
  RECT client{};
  GetClientRect(hWnd, &client);
  const bool pressed = (SendMessageA(hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const WindowDc button(hWnd);
  oPicture->Draw(button.hDC(), 7 + (pressed ? 1 : 0), (client.bottom - oPicture->nHeight) / 2 + (pressed ? 1 : 0), true);
}

Result TButtonBmp::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    // Whenever the system may have drawn the button, the picture goes over it again.
    case WM_PAINT:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_UPDATEUISTATE: {
      if (const Result handled = TButton::HandleEvent(nMsg, nWParam, nLParam)) return handled;
      const LRESULT result = CallWindowProcA(reinterpret_cast<WNDPROC>(nOldProc), hWnd, nMsg, nWParam, nLParam);
      DrawPicture();
      return result;
    }
    default:
      return TButton::HandleEvent(nMsg, nWParam, nLParam);
  }
}

std::shared_ptr<TCheckBox> TCheckBox::ReDefine(int nId, SetGet<bool> bSetGet, TDialog& oDlg) {
  std::shared_ptr<TCheckBox> box(new TCheckBox());
  box->binding_ = std::move(bSetGet);
  box->Attach(nId, oDlg);
  return box;
}

void TCheckBox::Load() { SendMessageA(hWnd, BM_SETCHECK, binding_.get() ? BST_CHECKED : BST_UNCHECKED, 0); }

Result TCheckBox::ReflectedCommand(int, int nNotifyCode) {
  if (nNotifyCode != BN_CLICKED) return 0;
  binding_.set(!binding_.get());
  Load();
  if (bChange) bChange();
  return 0;
}

}  // namespace memotab
