#pragma once

#include <memory>
#include <string>

#include "t_window.h"

namespace memotab {

// A control: a child window inside a dialog (redefined from the dialog's template by its
// identifier) or created directly in a window. It reads and writes an application
// variable through a binding, and may validate its value when the focus leaves it.
class TControl : public TWindow {
 public:
  bool lCancel = false;  // for buttons: pressing it does not validate the control left
  bool lActive = true;   // enabled
  std::function<void()> bChange;

  // Binds the control to its system window in the dialog `hDlg` (at the dialog's
  // initialisation). Raises "No: <id>" when the template has no such control.
  virtual void Initiate(HWND hDlg);
  // Loads the bound variable's value into the control; stores the control's value into it.
  virtual void Load() {}
  virtual void Store() {}
  // Whether the control counts as the one the user is editing (buttons do not).
  virtual bool RemembersFocus() const { return true; }
  // Re-reads what the control shows.
  virtual void Refresh();
  // Takes the control out of its container's controls and destroys its system window.
  bool End() override;
  // Runs the control's validation with its container marked as validating; false when
  // the value is refused.
  bool Validate();

  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override;

 protected:
  TControl() = default;
  // Enlists a control redefined from a template in its dialog; raises "No: <id>" when the
  // dialog has a control of that identifier already.
  void Attach(int id, TWindow& container);
  // Creates the control's own system window of `systemClass` in a window, at pixels.
  void CreateIn(TWindow& container, const char* systemClass, uint32_t style, int nTop, int nLeft, int nWidth,
                int nHeight, const std::string& text = {});
  // The control's own font, else the container's, when there is one.
  void TakeFont();

  Result GotFocus(HWND hWndLost) override;
  Result LostFocus(HWND hWndNew) override;
  Result MouseMove(int nRow, int nCol, int nKeyFlags) override;
  Result KeyDown(int nKey, int nFlags) override;
  Result EraseBkGnd(HDC hDCErase) override;

 private:
  void ValidateDeferred();
};

// The text of a control's system window.
std::string ControlText(HWND hWnd);

}  // namespace memotab
