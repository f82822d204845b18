#pragma once

#include <memory>
#include <string>
#include <variant>

#include "binding.h"
#include "t_control.h"

namespace memotab {

class TDialog;

// A single-line edit bound to a text or a whole number. A picture of nines ("9999")
// admits that many digits.
class TGet : public TControl {
 public:
  static std::shared_ptr<TGet> ReDefine(int nId, SetGet<std::string> bSetGet, TDialog& oDlg,
                                        std::function<bool()> bValid = nullptr);
  static std::shared_ptr<TGet> ReDefine(int nId, SetGet<int> bSetGet, TDialog& oDlg, std::string cPicture,
                                        std::function<bool()> bValid = nullptr);

  void Load() override;
  void Store() override;
  // The edit's current text.
  std::string cText() const { return ControlText(hWnd); }

  std::string cPicture;

 private:
  TGet() = default;
  std::variant<SetGet<std::string>, SetGet<int>> binding_;
};

// The optional arguments of TMultiGet::New.
struct TMultiGetParams {
  int32_t nClrFore = 0;
  int32_t nClrBack = 0xFFFFFF;
  bool lReadOnly = false;
  bool lNoBorder = false;
  bool lNoVScroll = false;
};

// A multi-line edit bound to a text.
class TMultiGet : public TControl {
 public:
  static std::shared_ptr<TMultiGet> ReDefine(int nId, SetGet<std::string> bSetGet, TDialog& oDlg, bool lReadOnly = false);
  using Params = TMultiGetParams;
  // In a window: the top at nRow × 13 and the left at nCol × 8 pixels; size in pixels.
  static std::shared_ptr<TMultiGet> New(double nRow, double nCol, SetGet<std::string> bSetGet, TWindow& oWnd,
                                        int nWidth, int nHeight, const Params& params);

  void Load() override;
  void Store() override;
  Result ReflectedColor(HDC hDCControl) override;
  std::string cText() const { return ControlText(hWnd); }

  bool lReadOnly = false;

 private:
  TMultiGet() = default;
  SetGet<std::string> binding_;
};

}  // namespace memotab
