#pragma once

#include <functional>
#include <memory>
#include <string>

#include "binding.h"
#include "gdi_resources.h"
#include "t_control.h"

namespace memotab {

class TDialog;

// The optional arguments of a button's ReDefine.
struct TButtonParams {
  std::function<bool()> bWhen;
  bool lCancel = false;
  std::string cCaption;
};

// A push button; a click runs its action.
class TButton : public TControl {
 public:
  using Params = TButtonParams;
  static std::shared_ptr<TButton> ReDefine(int nId, std::function<void()> bAction, TDialog& oDlg, Params params = {});

  Result ReflectedCommand(int nCommandId, int nNotifyCode) override;
  bool RemembersFocus() const override { return false; }

  std::function<void()> bAction;

 protected:
  TButton() = default;
  void Configure(int nId, std::function<void()> action, TDialog& oDlg, Params params);

 private:
  // Whether the control the user was editing accepts its value (see ReflectedCommand).
  bool EditedValueIsValid();
  bool running_ = false;
};

// A push button with a picture drawn over it, 7 pixels from its left edge.
class TButtonBmp : public TButton {
 public:
  static std::shared_ptr<TButtonBmp> ReDefine(int nId, std::function<void()> bAction, TDialog& oDlg,
                                              const std::string& cBitmap, Params params = {});
  void Initiate(HWND hDlg) override;
  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override;

  std::shared_ptr<TPicture> oPicture;

 private:
  TButtonBmp() = default;
  void DrawPicture() const;
  std::string cBitmap_;
};

// A check box bound to a logical: each click flips the variable at once.
class TCheckBox : public TControl {
 public:
  static std::shared_ptr<TCheckBox> ReDefine(int nId, SetGet<bool> bSetGet, TDialog& oDlg);
  void Load() override;
  Result ReflectedCommand(int nCommandId, int nNotifyCode) override;

 private:
  TCheckBox() = default;
  SetGet<bool> binding_;
};

}  // namespace memotab
