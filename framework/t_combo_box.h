#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "binding.h"
#include "gdi_resources.h"
#include "t_control.h"

namespace memotab {

class TDialog;

// A drop-down list bound to a position (1-based) or to the chosen item's text. With
// pictures, every item is drawn with its picture before its text.
class TComboBox : public TControl {
 public:
  static std::shared_ptr<TComboBox> ReDefine(int nId, SetGet<int> bSetGet, std::vector<std::string> aItems,
                                             TDialog& oDlg, std::vector<std::string> aBitmaps = {});
  static std::shared_ptr<TComboBox> ReDefine(int nId, SetGet<std::string> bSetGet, std::vector<std::string> aItems,
                                             TDialog& oDlg, std::vector<std::string> aBitmaps = {});

  void Load() override;
  void Store() override;
  Result ReflectedCommand(int nCommandId, int nNotifyCode) override;
  Result ReflectedMeasureItem(LPARAM nMeasureItem) override;
  Result ReflectedDrawItem(LPARAM nDrawItem) override;

  std::vector<std::string> aItems;
  std::vector<std::shared_ptr<TPicture>> aBitmaps;

 private:
  TComboBox() = default;
  static std::shared_ptr<TComboBox> Make(int nId, std::vector<std::string> items, TDialog& oDlg,
                                         const std::vector<std::string>& bitmaps);
  std::variant<SetGet<int>, SetGet<std::string>> binding_;
};

}  // namespace memotab
