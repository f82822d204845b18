#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "t_control.h"

namespace memotab {

class TDialog;

// A text shown in a static control. It lets mouse clicks through to the window beneath,
// so a click on a note's text reaches the note.
class TSay : public TControl {
 public:
  static std::shared_ptr<TSay> ReDefine(int nId, std::function<std::string()> bText, TDialog& oDlg,
                                        std::optional<int32_t> nClrText = std::nullopt);
  // In a window: the top at nRow × 15 + 2 and the left at nCol × 6 pixels; size in pixels.
  static std::shared_ptr<TSay> New(double nRow, double nCol, std::function<std::string()> bText, TWindow& oWnd,
                                   int32_t nClrText, int32_t nClrBack, int nWidth, int nHeight);

  void Load() override;
  Result ReflectedColor(HDC hDCControl) override;
  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override;

  std::function<std::string()> bText;
  bool lWantClick = false;

 private:
  TSay() = default;
};

}  // namespace memotab
