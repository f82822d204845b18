#pragma once

#include <memory>
#include <string>
#include <vector>

#include "t_control.h"
#include "t_dialog.h"

namespace memotab {

// A tab control whose pages are dialogs built from templates. The pages exist as soon as
// the folder is redefined, so their controls can be redefined before the outer dialog is
// shown; they come to life with it, and page 1 is shown first.
class TFolder : public TControl {
 public:
  static std::shared_ptr<TFolder> ReDefine(int nId, std::vector<std::string> aPrompts,
                                           const std::vector<std::string>& aDialogNames, TDialog& oDlg);

  void Initiate(HWND hDlg) override;
  Result ReflectedNotify(LPARAM nHeader) override;
  // Shows page n (1-based), hiding the current one.
  void SetOption(int nOption);

  std::vector<std::string> aPrompts;
  std::vector<DialogPtr> aDialogs;
  int nOption = 1;

 private:
  TFolder() = default;
};

}  // namespace memotab
