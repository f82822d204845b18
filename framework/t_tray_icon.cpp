#include "t_tray_icon.h"

#include "win.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "free_routines.h"
#include "private_messages.h"
#include "tray_shell.h"

namespace memotab {

namespace {

// Sent by the shell to every top-level window when it makes the taskbar (again).
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

// The tray icon's message window. A top-level window, so that it can become the foreground
// window for the menus tracked for it and hears the shell's broadcasts.
class TrayWindow : public TWindow {
 public:
  static std::shared_ptr<TrayWindow> New(TWindow& owner, std::weak_ptr<TTrayIcon> tray) {
    std::shared_ptr<TrayWindow> window(new TrayWindow());
    window->tray_ = std::move(tray);
    window->Construct({.nTop = 0, .nLeft = 0, .nBottom = 0, .nRight = 0,
                       .nStyle = static_cast<uint32_t>(WS_POPUP | WS_DISABLED), .oOwner = &owner});
    return window;
  }

  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override {
    if (nMsg != TaskbarCreatedMessage()) return TWindow::HandleEvent(nMsg, nWParam, nLParam);
    // The broadcast also comes without a restart of the shell, which then still shows the
    // icon and refuses to add it again: the icon is brought up to date instead.
    if (const std::shared_ptr<TTrayIcon> tray = tray_.lock()) {
      if (!tray->Refresh(nullptr, std::nullopt, true)) tray->Refresh();
    }
    return 0;
  }

 private:
  TrayWindow() = default;
  std::weak_ptr<TTrayIcon> tray_;
};

// A window's mouse event slot as a tray closure: given the position, no key flags.
template <typename Slot>
TrayAction FromWindowSlot(const Slot& slot, TWindow& window) {
  if (!slot) return nullptr;
  return [slot, weak = std::weak_ptr<TWindow>(window.shared_from_this())](int nRow, int nCol) {
    const WindowPtr target = weak.lock();
    if (!target) return;
    if constexpr (std::is_invocable_v<Slot, int, int, int, TWindow&>) {
      slot(nRow, nCol, 0, *target);
    } else {
      slot(nRow, nCol, 0);
    }
  };
}

NOTIFYICONDATAA ToShell(const TrayRecord& fields) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;  // the basic record of this architecture
  record.hWnd = fields.hWnd;
  record.uID = fields.uID;
  record.uFlags = fields.uFlags;
  record.uCallbackMessage = fields.uCallbackMessage;
  record.hIcon = fields.hIcon;
  // The basic record's tip field ends where the record does; the text keeps its terminator.
  constexpr size_t kTipField = NOTIFYICONDATAA_V1_SIZE - offsetof(NOTIFYICONDATAA, szTip);
  std::copy_n(fields.cTip.begin(), std::min(fields.cTip.size(), kTipField - 1), record.szTip);
  return record;
}

}  // namespace

std::shared_ptr<TTrayIcon> TTrayIcon::New(TWindow& oWindow, TTrayIconParams params) {
  std::shared_ptr<TTrayIcon> tray(new TTrayIcon());
  tray->oWnd = TrayWindow::New(oWindow, tray);
  tray->oWnd->bInit = [main = std::weak_ptr<TWindow>(oWindow.shared_from_this())](TWindow&) {
    if (const WindowPtr window = main.lock()) window->Hide();
  };
  tray->oWnd->Activate({.cShow = "HIDE"});

  tray->oIcon = params.oIcon ? params.oIcon : oWindow.oIcon;
  tray->cCaption = params.cCaption.value_or(oWindow.cCaption);
  tray->bLClicked = params.bLClicked ? params.bLClicked : FromWindowSlot(oWindow.bLClicked, oWindow);
  tray->bRClicked = params.bRClicked ? params.bRClicked : FromWindowSlot(oWindow.bRClicked, oWindow);
  tray->bMMoved = params.bMMoved ? params.bMMoved : FromWindowSlot(oWindow.bMMoved, oWindow);
  tray->bLDblClick = params.bLDblClick ? params.bLDblClick : FromWindowSlot(oWindow.bLDblClick, oWindow);
  tray->bLButtonUp = params.bLButtonUp ? params.bLButtonUp : FromWindowSlot(oWindow.bLButtonUp, oWindow);
  tray->bRButtonUp = params.bRButtonUp ? params.bRButtonUp : FromWindowSlot(oWindow.bRButtonUp, oWindow);
  tray->Refresh(nullptr, std::nullopt, true);
  tray->oWnd->bTaskBar = [weak = std::weak_ptr<TTrayIcon>(tray)](WPARAM nWParam, LPARAM nLParam) -> Result {
    if (const std::shared_ptr<TTrayIcon> icon = weak.lock()) icon->Command(nWParam, nLParam);
    return std::nullopt;
  };
  return tray;
}

TTrayIcon::~TTrayIcon() { End(); }

bool TTrayIcon::Refresh(std::shared_ptr<TIcon> oNewIcon, std::optional<std::string> cNewCaption, bool lAdd) {
  if (oNewIcon) oIcon = std::move(oNewIcon);
  if (cNewCaption) cCaption = std::move(*cNewCaption);
  // Once the message window is gone the shell still knows the icon by its old handle.
  oTray = {.hWnd = oWnd->hWnd != nullptr ? oWnd->hWnd : oTray.hWnd,
           .uID = 1,
           .uFlags = static_cast<unsigned>(NIF_MESSAGE | NIF_ICON | (cCaption.empty() ? 0 : NIF_TIP)),
           .uCallbackMessage = kTrayMessage,
           .hIcon = oIcon ? oIcon->hIcon : nullptr,
           .cTip = cCaption + " "};
  return SendTrayRecord(lAdd ? NIM_ADD : NIM_MODIFY, ToShell(oTray));
}

bool TTrayIcon::SetIcon(std::shared_ptr<TIcon> oNewIcon) { return Refresh(std::move(oNewIcon)); }

bool TTrayIcon::SetText(const std::string& cNewCaption) { return Refresh(nullptr, cNewCaption); }

bool TTrayIcon::End() {
  if (ended_) return true;
  ended_ = true;
  TrayRecord removal = oTray;  // the window may be gone: the shell knows the icon by these
  removal.uFlags = 0;
  SendTrayRecord(NIM_DELETE, ToShell(removal));
  if (oWnd && oWnd->hWnd != nullptr) DestroyWindow(oWnd->hWnd);
  if (oIcon) oIcon->End();
  return true;
}

void TTrayIcon::Command(WPARAM, LPARAM nLParam) {
  const auto [nRow, nCol] = GETCURSORPOS();
  const TrayAction* slot = nullptr;
  switch (static_cast<UINT>(nLParam)) {
    case WM_LBUTTONDOWN: slot = &bLClicked; break;
    case WM_RBUTTONDOWN: slot = &bRClicked; break;
    case WM_MOUSEMOVE: slot = &bMMoved; break;
    case WM_LBUTTONDBLCLK: slot = &bLDblClick; break;
    case WM_LBUTTONUP: slot = &bLButtonUp; break;
    case WM_RBUTTONUP: slot = &bRButtonUp; break;
    default: return;
  }
  if (!*slot) return;
  const std::shared_ptr<TTrayIcon> keepAlive = shared_from_this();  // the closure may end the icon
  const TrayAction action = *slot;
  action(nRow, nCol);
}

}  // namespace memotab
