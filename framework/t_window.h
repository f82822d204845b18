#pragma once

#include <any>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gdi_resources.h"
#include "t_icon.h"
#include "win_handles.h"

namespace memotab {

class TC5Menu;
class TWindow;
using WindowPtr = std::shared_ptr<TWindow>;

// The result a handler gives the system for a message; empty lets the previous window
// procedure (or the system's default) handle the message.
using Result = std::optional<LRESULT>;

// The arguments of TWindow::New, named as they are. Unset values take the defaults.
struct TWindowParams {
  double nTop = 2;
  double nLeft = 2;
  double nBottom = 20;
  double nRight = 70;
  std::optional<std::string> cTitle;
  uint32_t nStyle = 0;  // 0: computed from the scroll, border, menu, caption and box flags
  std::shared_ptr<TBrush> oBrush;
  std::shared_ptr<TIcon> oIcon;
  std::string cIcon;  // instead of oIcon: an icon file when one of that name exists, else a resource
  TWindow* oWnd = nullptr;  // the parent; a window with a parent is a child window
  TWindow* oOwner = nullptr;  // without a parent: the owner of the top-level window
  bool lVScroll = false;
  bool lHScroll = false;
  int32_t nClrFore = 16777215;
  std::optional<int32_t> nClrBack;  // default: the system's window colour
  std::string cBorder = "SINGLE";   // "NONE", "SINGLE" or other
  bool lSysMenu = true;
  bool lCaption = true;
  bool lMin = true;
  bool lMax = true;
  bool lPixel = false;  // coordinates are pixels instead of rows (16 px) and columns (8 px)
};

// The slots Activate stores when they are given; the others are set on the window itself.
struct TWindowActivation {
  std::string cShow = "NORMAL";  // "NORMAL", "ICONIZED" or "MAXIMIZED"; anything else ("HIDE"): hidden
  std::function<void(int nRow, int nCol, int nKeyFlags, TWindow& oWnd)> bRClicked;
  std::function<Result(HDC hDC, const tagPAINTSTRUCT& ps, TWindow& oWnd)> bPainted;
  std::function<bool()> bValid;
  std::function<void(std::vector<std::string> aFiles)> bDropFiles;
};

// A system window as an object. Messages reach the object's methods through the window
// registry; the application attaches behaviour by storing closures in the event slots.
// The object lives at least as long as its system window: the registry holds it from
// creation until WM_DESTROY.
class TWindow : public std::enable_shared_from_this<TWindow> {
 public:
  // Creates the system window. Raises RuntimeError when the system refuses.
  static WindowPtr New(const TWindowParams& params);
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  // Shows the window and runs bInit. The first top-level window without an owner that is
  // activated while there is no application window becomes the application window and
  // runs the event loop here until it is destroyed; every other Activate returns at once.
  void Activate(TWindowActivation activation = {});
  // Posts WM_CLOSE when lValid() allows it; returns whether it did.
  virtual bool End();
  bool lValid();
  bool lWhen() const;
  void Show() const;
  void Hide() const;
  void SetFocus() const;
  void Refresh(bool lErase = true) const;
  void SetBrush(std::shared_ptr<TBrush> brush);
  void SetColor(int32_t nText, int32_t nPane, std::shared_ptr<TBrush> brush = nullptr);
  bool PostMsg(unsigned nMsg, WPARAM nWParam = 0, LPARAM nLParam = 0) const;
  LRESULT SendMsg(unsigned nMsg, WPARAM nWParam = 0, LPARAM nLParam = 0) const;
  // The child control with this identifier among aControls, or nothing.
  WindowPtr ControlById(int id) const;
  // Evaluates the controls' bWhen conditions and enables or disables them.
  void AEvalWhen() const;

  // Routes one message to the method that handles it.
  virtual Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam);

  // What a control does with the messages its parent receives about it: commands
  // (clicks, selection changes), colour requests, notifications and owner drawing.
  virtual Result ReflectedCommand(int nCommandId, int nNotifyCode);
  virtual Result ReflectedColor(HDC hDCControl);
  virtual Result ReflectedNotify(LPARAM nHeader);
  virtual Result ReflectedDrawItem(LPARAM nDrawItem);
  virtual Result ReflectedMeasureItem(LPARAM nMeasureItem);
  // The system window class of the object.
  virtual const char* ClassName() const { return "TWINDOW"; }

  HWND hWnd = nullptr;
  intptr_t nOldProc = 0;  // the window procedure replaced by the registry's; 0 when detached
  double nTop = 0;
  double nLeft = 0;
  double nBottom = 0;
  double nRight = 0;
  uint32_t nStyle = 0;
  std::string cCaption;
  int nId = 0;
  TWindow* oWnd = nullptr;
  std::shared_ptr<TIcon> oIcon;
  std::shared_ptr<TBrush> oBrush;
  std::shared_ptr<TFont> oFont;
  int32_t nClrText = 0;
  int32_t nClrPane = 0;
  std::optional<std::string> cToolTip;
  bool lVisible = false;
  bool lFocused = false;
  bool lValidating = false;
  std::vector<WindowPtr> aControls;
  HWND hCtlFocus = nullptr;  // the child control that last had the focus
  std::optional<int> nResult;
  HDC hDC = nullptr;  // the device context while painting
  std::shared_ptr<TC5Menu> oPopup;  // the popup menu shown for this window (TC5Menu::Activate)
  std::any Cargo;

  std::function<void(TWindow& oWnd)> bInit;
  std::function<Result(int nRow, int nCol, int nKeyFlags, TWindow& oWnd)> bLClicked;
  std::function<Result(int nRow, int nCol, int nKeyFlags, TWindow& oWnd)> bLButtonUp;
  std::function<void(int nRow, int nCol, int nKeyFlags, TWindow& oWnd)> bRClicked;
  std::function<void(int nRow, int nCol, int nKeyFlags, TWindow& oWnd)> bRButtonUp;
  std::function<void(int nTop, int nLeft)> bMoved;
  std::function<void(int nSizeType, int nWidth, int nHeight)> bResized;
  std::function<Result(HDC hDC, const tagPAINTSTRUCT& ps, TWindow& oWnd)> bPainted;
  std::function<Result(int nKey, int nFlags)> bKeyDown;
  std::function<Result(int nKey, int nFlags)> bKeyChar;
  std::function<void()> bGotFocus;
  std::function<Result(HWND hWndNew)> bLostFocus;
  std::function<Result(int nRow, int nCol, int nKeyFlags)> bMMoved;
  std::function<Result(int nRow, int nCol, int nKeyFlags)> bLDblClick;
  std::function<bool()> bValid;
  std::function<bool()> bWhen;
  std::function<void(std::vector<std::string> aFiles)> bDropFiles;
  std::function<Result(WPARAM nWParam, LPARAM nLParam)> bTaskBar;
  std::function<Result(HDC hDC)> bEraseBkGnd;
  // The system is ending the session (log off, shut down) when lEnding, or it gave up
  // ending it; the process may be ended as soon as the slot returns.
  std::function<void(bool lEnding)> bEndSession;

 protected:
  TWindow();
  // Builds the object's system window from the parameters (used by New and subclasses).
  void Construct(const TWindowParams& params);
  void Register() const;
  void Create();
  // Attaches the object to the window registry and, when `subclass`, puts the dispatch
  // procedure in place of the window's own; Unlink detaches it.
  void Link(bool subclass = true);
  void Unlink();
  void GetFont();

  // One method per message; an empty result lets the previous procedure run.
  virtual Result Destroy();
  virtual Result Moved(int nTop, int nLeft);
  virtual Result ReSize(int nSizeType, int nWidth, int nHeight);
  virtual Result GotFocus(HWND hWndLost);
  virtual Result LostFocus(HWND hWndNew);
  // Draws the window into the paint buffer hDC: its background, then bPainted.
  virtual Result Paint();
  virtual Result Close(WPARAM nWParam);
  virtual Result EraseBkGnd(HDC hDCErase);
  virtual Result DrawItem(WPARAM nWParam, LPARAM nLParam);
  virtual Result MeasureItem(WPARAM nWParam, LPARAM nLParam);
  virtual Result KeyDown(int nKey, int nFlags);
  virtual Result KeyChar(int nKey, int nFlags);
  virtual Result Command(WPARAM nWParam, LPARAM nLParam);
  virtual Result SysCommand(WPARAM nWParam, LPARAM nLParam);
  virtual Result Timer(WPARAM nTimerId, LPARAM nLParam);
  virtual Result InitMenuPopup(HMENU hMenu, int nPos, bool lSystem);
  virtual Result MouseMove(int nRow, int nCol, int nKeyFlags);
  virtual Result LButtonDown(int nRow, int nCol, int nKeyFlags);
  virtual Result LButtonUp(int nRow, int nCol, int nKeyFlags);
  virtual Result LDblClick(int nRow, int nCol, int nKeyFlags);
  virtual Result RButtonDown(int nRow, int nCol, int nKeyFlags);
  virtual Result RButtonUp(int nRow, int nCol, int nKeyFlags);
  virtual Result TaskBar(WPARAM nWParam, LPARAM nLParam);
  virtual Result DropFiles(WPARAM hDrop);
  // Routed for subclasses; a plain window leaves them to the system.
  virtual Result QueryEndSession() { return std::nullopt; }
  virtual Result EndSession(bool lEnding);
  virtual Result GetMinMaxInfo(LPARAM) { return std::nullopt; }
  virtual Result QueryDragIcon() { return std::nullopt; }
  virtual Result CommNotify(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result Notify(WPARAM nWParam, LPARAM nLParam);
  virtual Result NcActivate(bool) { return std::nullopt; }
  virtual Result GetDlgCode(WPARAM) { return std::nullopt; }
  virtual Result NcMouseMove(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result HScroll(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result VScroll(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result MenuSelect(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result MenuChar(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result CtlColor(HWND hWndCtl, HDC hDCCtl);
  virtual Result MButtonDown(int, int, int) { return std::nullopt; }
  virtual Result MButtonUp(int, int, int) { return std::nullopt; }
  virtual Result MouseWheel(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result QueryNewPalette() { return std::nullopt; }
  virtual Result PaletteChanged(HWND) { return std::nullopt; }
  virtual Result DdeInitiate(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result DdeTerminate(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result DdeAck(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result DdeExecute(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result HelpF1(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result DropOver(WPARAM, LPARAM) { return std::nullopt; }
  virtual Result AsyncSelect(WPARAM, LPARAM) { return std::nullopt; }

 private:
  // WM_PAINT: Paint into a buffer that is then copied to the window.
  Result PaintMessage();
  HWND owner_ = nullptr;  // the owner of a top-level window
  const tagPAINTSTRUCT* paint_ = nullptr;  // while painting
  // An area whose painting failed (left, top, right, bottom): the next paint message,
  // which is the error handler's Retry, paints it again.
  std::optional<std::array<int, 4>> failedPaint_;
};

}  // namespace memotab
