#include "t_folder.h"

#include "win.h"

#include "window_dc.h"

namespace memotab {

namespace {

// The height of the tabs: larger with large system fonts.
int TabHeight() {
  const WindowDc screen(nullptr);
  return GetDeviceCaps(screen.hDC(), LOGPIXELSY) > 96 ? 25 : 22;
}

}  // namespace

std::shared_ptr<TFolder> TFolder::ReDefine(int nId, std::vector<std::string> aPrompts,
                                           const std::vector<std::string>& aDialogNames, TDialog& oDlg) {
  std::shared_ptr<TFolder> folder(new TFolder());
  folder->aPrompts = std::move(aPrompts);
  for (const std::string& name : aDialogNames) {
    folder->aDialogs.push_back(TDialog::New({.cResName = name, .oWnd = &oDlg, .oFont = oDlg.oFont}));
  }
  folder->Attach(nId, oDlg);
  return folder;
}

void TFolder::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  for (size_t i = 0; i < aPrompts.size(); ++i) {
    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<char*>(aPrompts[i].c_str());
    SendMessageA(hWnd, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&tab));
  }
  // The pages lie over the tab control, inside the outer dialog, so that the dialog's
  // keyboard handling reaches their controls.
  RECT area{};
  GetWindowRect(hWnd, &area);
  MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&area), 2);
  const int tabHeight = TabHeight();
  for (const DialogPtr& page : aDialogs) {
    page->lHelpIcon = false;
    page->Activate({.lModal = false});
    SetWindowPos(page->hWnd, HWND_TOP, area.left + 2, area.top + tabHeight, area.right - area.left - 5,
                 area.bottom - area.top - tabHeight - 4, SWP_HIDEWINDOW);
  }
  nOption = 0;
  SetOption(1);
}

void TFolder::SetOption(int option) {
  if (option < 1 || option > static_cast<int>(aDialogs.size())) return;
  if (nOption >= 1) ShowWindow(aDialogs[static_cast<size_t>(nOption - 1)]->hWnd, SW_HIDE);
  nOption = option;
  SendMessageA(hWnd, TCM_SETCURSEL, static_cast<WPARAM>(option - 1), 0);
  const DialogPtr& page = aDialogs[static_cast<size_t>(option - 1)];
  page->AEvalWhen();
  ShowWindow(page->hWnd, SW_SHOW);
}

Result TFolder::ReflectedNotify(LPARAM nHeader) {
  const auto* header = reinterpret_cast<const NMHDR*>(nHeader);
  if (header->code != TCN_SELCHANGE) return std::nullopt;
  SetOption(static_cast<int>(SendMessageA(hWnd, TCM_GETCURSEL, 0, 0)) + 1);
  ::SetFocus(aDialogs[static_cast<size_t>(nOption - 1)]->hWnd);
  return 0;
}

}  // namespace memotab
