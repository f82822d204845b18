#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "t_icon.h"
#include "t_window.h"
#include "win_handles.h"

namespace memotab {

// A closure for a mouse event on the tray icon, given the cursor's place on the screen in
// pixels, row first (as GETCURSORPOS gives it).
using TrayAction = std::function<void(int nRow, int nCol)>;

// TTrayIcon::New's arguments after the window, named as they are. Each one left unset
// takes the window's own: its icon, its caption, its mouse event slot of the same name.
struct TTrayIconParams {
  std::shared_ptr<TIcon> oIcon;
  std::optional<std::string> cCaption;  // shown as the icon's tooltip
  TrayAction bLClicked;   // the left button went down on the icon
  TrayAction bRClicked;   // the right button went down on the icon
  TrayAction bMMoved;     // the mouse moved over the icon
  TrayAction bLDblClick;  // the left button was double-clicked on the icon
  TrayAction bLButtonUp;  // the left button came up on the icon
  TrayAction bRButtonUp;  // the right button came up on the icon
};

// The fields of the notify record last sent to the shell.
struct TrayRecord {
  HWND hWnd = nullptr;
  unsigned uID = 0;
  unsigned uFlags = 0;
  unsigned uCallbackMessage = 0;
  HICON hIcon = nullptr;
  std::string cTip;
};

// The program's icon in the taskbar's notification area, with a tooltip; mouse events on
// it become calls of its closures. It has a message window of its own, hidden and
// disabled, owned by the window it was made for, at the screen's origin: a popup menu shown
// for that window at the cursor position (which is in screen pixels) opens at the cursor.
// When the taskbar is made again (the shell restarted), the icon adds itself again.
class TTrayIcon : public std::enable_shared_from_this<TTrayIcon> {
 public:
  // Adds the icon. Making it hides `oWnd`.
  static std::shared_ptr<TTrayIcon> New(TWindow& oWnd, TTrayIconParams params = {});
  // Ends the icon when End has not run.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Sends the icon and the caption (default: the current ones) to the shell as an addition
  // (lAdd) or a change, and keeps them. Returns whether the shell took it.
  bool Refresh(std::shared_ptr<TIcon> oNewIcon = nullptr, std::optional<std::string> cNewCaption = std::nullopt,
               bool lAdd = false);
  bool SetIcon(std::shared_ptr<TIcon> oNewIcon);
  bool SetText(const std::string& cNewCaption);
  // Removes the icon from the notification area, also when the windows are gone already,
  // and ends the message window and the icon. Later calls do nothing. Returns true.
  bool End();
  // The shell's notification: `nLParam` is the mouse message. Runs the closure of that
  // event, if it is set, with the cursor position.
  void Command(WPARAM nWParam, LPARAM nLParam);

  WindowPtr oWnd;  // the message window
  std::shared_ptr<TIcon> oIcon;
  std::string cCaption;
  TrayRecord oTray;
  TrayAction bLClicked;
  TrayAction bRClicked;
  TrayAction bMMoved;
  TrayAction bLDblClick;
  TrayAction bLButtonUp;
  TrayAction bRButtonUp;

 private:
  TTrayIcon() = default;
  bool ended_ = false;
};

}  // namespace memotab
