#include "t_say.h"

#include "win.h"

#include "t_dialog.h"

namespace memotab {

std::shared_ptr<TSay> TSay::ReDefine(int nId, std::function<std::string()> bText, TDialog& oDlg,
                                     std::optional<int32_t> nClrText) {
  std::shared_ptr<TSay> say(new TSay());
  say->bText = std::move(bText);
  say->nClrText = nClrText.value_or(oDlg.nClrText);
  say->nClrPane = oDlg.nClrPane;
  say->Attach(nId, oDlg);
  return say;
}

std::shared_ptr<TSay> TSay::New(double nRow, double nCol, std::function<std::string()> bText, TWindow& oWnd,
                                int32_t nClrText, int32_t nClrBack, int nWidth, int nHeight) {
  std::shared_ptr<TSay> say(new TSay());
  say->bText = std::move(bText);
  say->nClrText = nClrText;
  say->nClrPane = nClrBack;
  say->oBrush = TBrush::New(nClrBack);
  say->CreateIn(oWnd, "STATIC", SS_LEFT, static_cast<int>(nRow * 15 + 2), static_cast<int>(nCol * 6), nWidth, nHeight);
  say->Load();
  return say;
}

void TSay::Load() { SetWindowTextA(hWnd, bText ? bText().c_str() : ""); }

Result TSay::ReflectedColor(HDC hDCControl) {
  SetTextColor(hDCControl, static_cast<COLORREF>(nClrText));
  SetBkColor(hDCControl, static_cast<COLORREF>(nClrPane));
  const HBRUSH brush = oBrush ? oBrush->hBrush() : GetSysColorBrush(COLOR_BTNFACE);
  return reinterpret_cast<LRESULT>(brush);
}

Result TSay::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  if (nMsg == WM_NCHITTEST && !lWantClick) return HTTRANSPARENT;
  return TControl::HandleEvent(nMsg, nWParam, nLParam);
}

}  // namespace memotab
