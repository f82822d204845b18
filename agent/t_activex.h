#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ole_value.h"
#include "t_control.h"

namespace memotab {

// A control hosted in a child window of its parent, called by member name. Nothing is
// reported: a failing call gives nil (or the converted empty result).
class TActiveX : public TControl {
 public:
  // Raises RuntimeError when the parent has no window yet or the child window cannot be
  // made; a control that cannot be created leaves hActiveX 0.
  static std::shared_ptr<TActiveX> New(TWindow& oWnd, const std::string& cProgId);

  // Calls a method with exactly the arguments given, at most three; with more, nothing.
  OleValue Do(const std::string& cMethod, std::vector<OleValue> aArgs = {});
  OleValue GetProp(const std::string& cName);
  void SetProp(const std::string& cName, OleValue value);

  const char* ClassName() const override { return "TACTIVEX"; }

  intptr_t hActiveX = 0;

 protected:
  Result ReSize(int nSizeType, int nWidth, int nHeight) override;
  Result Destroy() override;
  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override;

 private:
  TActiveX() = default;
  intptr_t Dispatch() const;
};

}  // namespace memotab
