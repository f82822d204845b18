#include "t_toolbar.h"

#include "win.h"

#include "common_controls.h"
#include "framework_error.h"

namespace memotab {

std::shared_ptr<TImageList> TImageList::New(int nWidth, int nHeight) {
  const HIMAGELIST list = ImageList_Create(nWidth, nHeight, ILC_COLOR24 | ILC_MASK, 8, 8);
  if (list == nullptr) ThrowFrameworkError("Cannot create an image list");
  return std::shared_ptr<TImageList>(new TImageList(list));
}

TImageList::~TImageList() {
  if (hImageList != nullptr) ImageList_Destroy(hImageList);
}

void TImageList::AddMasked(const std::string& cBitmap, int32_t nClrMask) {
  const std::shared_ptr<TPicture> picture = TPicture::Load(cBitmap);
  if (!picture) ThrowFrameworkError("Cannot load the bitmap " + cBitmap);
  ImageList_AddMasked(hImageList, picture->hBitmap(), static_cast<COLORREF>(nClrMask));
}

int TImageList::Count() const { return ImageList_GetImageCount(hImageList); }

std::shared_ptr<TToolBar> TToolBar::New(TWindow& oWnd, int nBtnWidth, int nBtnHeight,
                                        std::shared_ptr<TImageList> oImageList) {
  UseCommonControls();
  std::shared_ptr<TToolBar> bar(new TToolBar(nBtnWidth, nBtnHeight));
  bar->oImageList = std::move(oImageList);
  RECT client{};
  GetClientRect(oWnd.hWnd, &client);
  if (client.bottom < bar->Height()) {
    // A window lower than its bar (a caption takes more room on today's systems) grows.
    RECT frame{};
    GetWindowRect(oWnd.hWnd, &frame);
    SetWindowPos(oWnd.hWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + bar->Height() - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  bar->CreateIn(oWnd, TOOLBARCLASSNAMEA, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, client.right,
                bar->Height());
  bar->SendMsg(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  bar->SendMsg(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(bar->oImageList->hImageList));
  bar->SendMsg(TB_SETBUTTONSIZE, 0, MAKELPARAM(nBtnWidth, nBtnHeight));
  bar->SendMsg(TB_SETMAXTEXTROWS, 0);  // texts show as tooltips, not on the buttons
  if (const auto tips = reinterpret_cast<HWND>(bar->SendMsg(TB_GETTOOLTIPS))) {
    SendMessageA(tips, TTM_SETMAXTIPWIDTH, 0, 300);  // "\r\n" in a tooltip starts a new line
  }
  return bar;
}

void TToolBar::AddButton(std::function<void(TToolBar&)> action, const std::string& tooltip, const std::string& text,
                         std::function<bool()> when) {
  actions_.push_back(std::move(action));
  const int command = static_cast<int>(actions_.size());
  TBBUTTON button{};
  button.iBitmap = command - 1;
  button.idCommand = command;
  button.fsState = static_cast<BYTE>(!when || when() ? TBSTATE_ENABLED : 0);
  button.fsStyle = BTNS_BUTTON;
  const std::string& label = text.empty() ? tooltip : text;
  button.iString = SendMsg(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>((label + '\0').c_str()));
  SendMsg(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  SendMsg(TB_SETBUTTONSIZE, 0, MAKELPARAM(nBtnWidth, nBtnHeight));
}

void TToolBar::AddSeparator() {
  TBBUTTON separator{};
  separator.fsStyle = BTNS_SEP;
  SendMsg(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&separator));
}

Result TToolBar::ReflectedCommand(int nCommandId, int) {
  if (nCommandId < 1 || nCommandId > static_cast<int>(actions_.size())) return std::nullopt;
  // Copied: the action may end the window and with it the toolbar.
  const std::function<void(TToolBar&)> action = actions_[static_cast<size_t>(nCommandId - 1)];
  const WindowPtr keepAlive = shared_from_this();
  if (action) action(*this);
  return 0;
}

}  // namespace memotab
