#pragma once

#include <memory>

#include "binding.h"
#include "date.h"
#include "t_control.h"

namespace memotab {

class TDialog;

// A date picker bound to a date.
class TDatePick : public TControl {
 public:
  static std::shared_ptr<TDatePick> ReDefine(int nId, SetGet<Date> bSetGet, TDialog& oDlg);
  void Load() override;
  void Store() override;
  // The date the picker shows.
  Date GetDate() const;

 private:
  TDatePick() = default;
  SetGet<Date> binding_;
};

}  // namespace memotab
