#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "t_window.h"

namespace memotab {

class TDialog;
using DialogPtr = std::shared_ptr<TDialog>;

// The arguments of TDialog::New that the program uses.
struct TDialogParams {
  std::string cResName;              // the dialog template in the program's resources
  std::optional<std::string> cCaption;
  TWindow* oWnd = nullptr;           // the owner; a modeless dialog is created inside it
  std::shared_ptr<TFont> oFont;
  std::shared_ptr<TIcon> oIcon;
};

// What Activate takes besides the dialog itself.
struct TDialogActivation {
  bool lCentered = false;
  std::function<bool()> bValid;   // asked by End; false keeps the dialog open
  bool lModal = true;
  // Modeless: shown without taking the activation, so that keys typed elsewhere stay there;
  // it and its taskbar button flash until it is brought to the front.
  bool lNoActivate = false;
  // Run at initialisation; false means it set the keyboard focus itself.
  std::function<bool(TDialog& oDlg)> bInit;
  std::function<bool()> bWhen;    // false: the dialog is not shown at all
};

// A dialog built from a template of the program's resources. Its controls are redefined
// by identifier before it is shown and come to life when the system initialises it.
class TDialog : public TWindow {
 public:
  static DialogPtr New(TDialogParams params);

  // Modal: runs the dialog and returns when it has ended (the result is in nResult).
  // Modeless: creates it inside its owner and returns at once.
  void Activate(TDialogActivation activation = {});
  // Ends the dialog with `nResult`; a modal dialog asks bValid first and stays when it
  // says no. Returns whether the dialog ends; a modal dialog that is already ending does
  // nothing more.
  bool End(int nResult = 2);

  const char* ClassName() const override { return "TDIALOG"; }
  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override;

  std::string cResName;
  bool lModal = true;
  bool lCentered = false;
  std::optional<bool> lHelpIcon;  // unset or true: a help button in the caption
  // Hides TWindow::bInit: a dialog's initialisation also decides about the focus.
  std::function<bool(TDialog& oDlg)> bInit;

 protected:
  TDialog() = default;

  Result Command(WPARAM nWParam, LPARAM nLParam) override;
  Result SysCommand(WPARAM nWParam, LPARAM nLParam) override;
  Result Destroy() override;
  Result Close(WPARAM nWParam) override;

 private:
  friend intptr_t DialogProcedure(HWND, unsigned, WPARAM, LPARAM);
  // WM_INITDIALOG: returns whether the system should give the focus to the first control.
  bool Initiate(HWND hDlg);
  HWND Owner() const;
  std::optional<std::string> cCaptionSet_;
  bool ending_ = false;  // a modal dialog's End has run
};

}  // namespace memotab
