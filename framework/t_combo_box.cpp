#include "t_combo_box.h"

#include "win.h"

#include "t_dialog.h"
#include "text.h"

namespace memotab {

namespace {

bool SameItem(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  return a.size() == b.size() && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

std::shared_ptr<TComboBox> TComboBox::Make(int nId, std::vector<std::string> items, TDialog& oDlg,
                                           const std::vector<std::string>& bitmaps) {
  std::shared_ptr<TComboBox> combo(new TComboBox());
  combo->aItems = std::move(items);
  for (const std::string& name : bitmaps) combo->aBitmaps.push_back(TPicture::Load(name));
  combo->Attach(nId, oDlg);
  return combo;
}

std::shared_ptr<TComboBox> TComboBox::ReDefine(int nId, SetGet<int> bSetGet, std::vector<std::string> aItems,
                                               TDialog& oDlg, std::vector<std::string> aBitmaps) {
  std::shared_ptr<TComboBox> combo = Make(nId, std::move(aItems), oDlg, aBitmaps);
  combo->binding_ = std::move(bSetGet);
  return combo;
}

std::shared_ptr<TComboBox> TComboBox::ReDefine(int nId, SetGet<std::string> bSetGet, std::vector<std::string> aItems,
                                               TDialog& oDlg, std::vector<std::string> aBitmaps) {
  std::shared_ptr<TComboBox> combo = Make(nId, std::move(aItems), oDlg, aBitmaps);
  combo->binding_ = std::move(bSetGet);
  return combo;
}

void TComboBox::Load() {
  SendMessageA(hWnd, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : aItems) SendMessageA(hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  int selected = 0;
  if (const auto* position = std::get_if<SetGet<int>>(&binding_)) {
    selected = position->get() - 1;
  } else {
    const std::string text = std::get<SetGet<std::string>>(binding_).get();
    for (size_t i = 0; i < aItems.size(); ++i) {
      if (SameItem(aItems[i], text)) {
        selected = static_cast<int>(i);
        break;
      }
    }
  }
  SendMessageA(hWnd, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void TComboBox::Store() {
  const auto selected = static_cast<int>(SendMessageA(hWnd, CB_GETCURSEL, 0, 0));
  if (selected < 0) return;
  if (const auto* position = std::get_if<SetGet<int>>(&binding_)) {
    position->set(selected + 1);
  } else {
    std::get<SetGet<std::string>>(binding_).set(aItems[static_cast<size_t>(selected)]);
  }
  if (bChange) bChange();
}

Result TComboBox::ReflectedCommand(int, int nNotifyCode) {
  if (nNotifyCode == CBN_SELCHANGE) Store();
  return 0;
}

Result TComboBox::ReflectedMeasureItem(LPARAM nMeasureItem) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(nMeasureItem);
  int height = 16;
  for (const auto& picture : aBitmaps) {
    if (picture) height = std::max(height, picture->nHeight);
  }
  item->itemHeight = static_cast<UINT>(height + 2);
  return 1;
}

Result TComboBox::ReflectedDrawItem(LPARAM nDrawItem) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(nDrawItem);
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item->itemID == static_cast<UINT>(-1) || item->itemID >= aItems.size()) return 1;
  RECT text = item->rcItem;
  text.left += 2;
  if (item->itemID < aBitmaps.size() && aBitmaps[item->itemID]) {
    const TPicture& picture = *aBitmaps[item->itemID];
    picture.Draw(item->hDC, text.left, text.top + (text.bottom - text.top - picture.nHeight) / 2, true);
    text.left += picture.nWidth + 4;
  }
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextA(item->hDC, aItems[item->itemID].c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
  return 1;
}

}  // namespace memotab
