#include "t_get.h"

#include "win.h"

#include <algorithm>

#include "t_dialog.h"
#include "text.h"

namespace memotab {

namespace {

bool AllNines(const std::string& picture) {
  return !picture.empty() && std::all_of(picture.begin(), picture.end(), [](char c) { return c == '9'; });
}

}  // namespace

std::shared_ptr<TGet> TGet::ReDefine(int nId, SetGet<std::string> bSetGet, TDialog& oDlg, std::function<bool()> bValid) {
  std::shared_ptr<TGet> get(new TGet());
  get->binding_ = std::move(bSetGet);
  get->bValid = std::move(bValid);
  get->Attach(nId, oDlg);
  return get;
}

std::shared_ptr<TGet> TGet::ReDefine(int nId, SetGet<int> bSetGet, TDialog& oDlg, std::string cPicture,
                                     std::function<bool()> bValid) {
  std::shared_ptr<TGet> get(new TGet());
  get->binding_ = std::move(bSetGet);
  get->cPicture = std::move(cPicture);
  get->bValid = std::move(bValid);
  get->Attach(nId, oDlg);
  return get;
}

void TGet::Load() {
  if (const auto* text = std::get_if<SetGet<std::string>>(&binding_)) {
    const std::string value = text->get();
    // Like the variable it edits, the field holds as many characters as the value has.
    if (!value.empty()) SendMessageA(hWnd, EM_LIMITTEXT, value.size(), 0);
    SetWindowTextA(hWnd, value.c_str());
  } else {
    const auto& number = std::get<SetGet<int>>(binding_);
    if (AllNines(cPicture)) {
      SendMessageA(hWnd, EM_LIMITTEXT, cPicture.size(), 0);
      SetWindowLongA(hWnd, GWL_STYLE, GetWindowLongA(hWnd, GWL_STYLE) | ES_NUMBER);
    }
    SetWindowTextA(hWnd, std::to_string(number.get()).c_str());
  }
  SendMessageA(hWnd, EM_SETMODIFY, FALSE, 0);
}

void TGet::Store() {
  if (!SendMessageA(hWnd, EM_GETMODIFY, 0, 0)) return;
  if (const auto* text = std::get_if<SetGet<std::string>>(&binding_)) {
    text->set(cText());
  } else {
    const auto& number = std::get<SetGet<int>>(binding_);
    number.set(static_cast<int>(Val(cText())));
    SetWindowTextA(hWnd, std::to_string(number.get()).c_str());  // the picture's form again
  }
  SendMessageA(hWnd, EM_SETMODIFY, FALSE, 0);
  if (bChange) bChange();
}

std::shared_ptr<TMultiGet> TMultiGet::ReDefine(int nId, SetGet<std::string> bSetGet, TDialog& oDlg, bool lReadOnly) {
  std::shared_ptr<TMultiGet> get(new TMultiGet());
  get->binding_ = std::move(bSetGet);
  get->lReadOnly = lReadOnly;
  get->nClrText = static_cast<int32_t>(GetSysColor(COLOR_WINDOWTEXT));
  get->nClrPane = static_cast<int32_t>(GetSysColor(COLOR_WINDOW));
  get->Attach(nId, oDlg);
  return get;
}

std::shared_ptr<TMultiGet> TMultiGet::New(double nRow, double nCol, SetGet<std::string> bSetGet, TWindow& oWnd,
                                          int nWidth, int nHeight, const Params& params) {
  std::shared_ptr<TMultiGet> get(new TMultiGet());
  get->binding_ = std::move(bSetGet);
  get->lReadOnly = params.lReadOnly;
  get->nClrText = params.nClrFore;
  get->nClrPane = params.nClrBack;
  get->oBrush = TBrush::New(params.nClrBack);
  uint32_t style = ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP;
  if (!params.lNoBorder) style |= WS_BORDER;
  if (!params.lNoVScroll) style |= WS_VSCROLL;
  get->CreateIn(oWnd, "EDIT", style, static_cast<int>(nRow * 13), static_cast<int>(nCol * 8), nWidth, nHeight);
  get->Load();
  return get;
}

void TMultiGet::Load() {
  SendMessageA(hWnd, EM_SETREADONLY, lReadOnly, 0);
  SetWindowTextA(hWnd, binding_.get().c_str());
  // The text shows from its beginning.
  SendMessageA(hWnd, EM_SETSEL, 0, 0);
  PostMessageA(hWnd, WM_VSCROLL, SB_TOP, 0);
  SendMessageA(hWnd, EM_SETMODIFY, FALSE, 0);
}

void TMultiGet::Store() {
  if (lReadOnly) return;
  binding_.set(cText());
  if (bChange) bChange();
}

Result TMultiGet::ReflectedColor(HDC hDCControl) {
  if (!oBrush) return std::nullopt;  // in a dialog: the system's colours
  SetTextColor(hDCControl, static_cast<COLORREF>(nClrText));
  SetBkColor(hDCControl, static_cast<COLORREF>(nClrPane));
  return reinterpret_cast<LRESULT>(oBrush->hBrush());
}

}  // namespace memotab
