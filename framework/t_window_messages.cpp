// How a window's messages reach the methods that handle them, and what those do.
#include "t_window.h"

#include "win.h"

#include <dde.h>
#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "event_loop.h"
#include "menu_item_drawing.h"
#include "paint_buffer.h"
#include "private_messages.h"
#include "t_c5_menu.h"
#include "t_timer.h"
#include "tooltip.h"
#include "window_registry.h"

namespace memotab {

namespace {

int Row(LPARAM nLParam) { return GET_Y_LPARAM(nLParam); }
int Col(LPARAM nLParam) { return GET_X_LPARAM(nLParam); }
int Flags(WPARAM nWParam) { return static_cast<int>(nWParam); }

}  // namespace

// Messages ------------------------------------------------------------------------------

Result TWindow::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_DESTROY: return Destroy();
    case WM_MOVE: return Moved(Row(nLParam), Col(nLParam));
    case WM_SIZE: return ReSize(static_cast<int>(nWParam), LOWORD(nLParam), HIWORD(nLParam));
    case WM_SETFOCUS: return GotFocus(reinterpret_cast<HWND>(nWParam));
    case WM_KILLFOCUS: return LostFocus(reinterpret_cast<HWND>(nWParam));
    case WM_PAINT: return PaintMessage();
    case WM_CLOSE: return Close(nWParam);
    case WM_QUERYENDSESSION: return QueryEndSession();
    case WM_ENDSESSION: return EndSession(nWParam != FALSE);
    case WM_ERASEBKGND: return EraseBkGnd(reinterpret_cast<HDC>(nWParam));
    case WM_GETMINMAXINFO: return GetMinMaxInfo(nLParam);
    case WM_DRAWITEM: return DrawItem(nWParam, nLParam);
    case WM_MEASUREITEM: return MeasureItem(nWParam, nLParam);
    case WM_QUERYDRAGICON: return QueryDragIcon();
    case WM_COMMNOTIFY: return CommNotify(nWParam, nLParam);
    case WM_NOTIFY: return Notify(nWParam, nLParam);
    case WM_NCACTIVATE: return NcActivate(nWParam != 0);
    case WM_GETDLGCODE: return GetDlgCode(nWParam);
    case WM_NCMOUSEMOVE: return NcMouseMove(nWParam, nLParam);
    case WM_KEYDOWN: return KeyDown(static_cast<int>(nWParam), static_cast<int>(nLParam));
    case WM_CHAR: return KeyChar(static_cast<int>(nWParam), static_cast<int>(nLParam));
    case WM_COMMAND: return Command(nWParam, nLParam);
    case WM_SYSCOMMAND: return SysCommand(nWParam, nLParam);
    case WM_TIMER: return Timer(nWParam, nLParam);
    case WM_HSCROLL: return HScroll(nWParam, nLParam);
    case WM_VSCROLL: return VScroll(nWParam, nLParam);
    case WM_INITMENUPOPUP:
      return InitMenuPopup(reinterpret_cast<HMENU>(nWParam), LOWORD(nLParam), HIWORD(nLParam) != 0);
    case WM_MENUSELECT: return MenuSelect(nWParam, nLParam);
    case WM_MENUCHAR: return MenuChar(nWParam, nLParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: return CtlColor(reinterpret_cast<HWND>(nLParam), reinterpret_cast<HDC>(nWParam));
    case WM_MOUSEMOVE: return MouseMove(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_LBUTTONDOWN: return LButtonDown(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_LBUTTONUP: return LButtonUp(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_LBUTTONDBLCLK: return LDblClick(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_RBUTTONDOWN: return RButtonDown(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_RBUTTONUP: return RButtonUp(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_MBUTTONDOWN: return MButtonDown(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_MBUTTONUP: return MButtonUp(Row(nLParam), Col(nLParam), Flags(nWParam));
    case WM_MOUSEWHEEL: return MouseWheel(nWParam, nLParam);
    case WM_DROPFILES: return DropFiles(nWParam);
    case WM_QUERYNEWPALETTE: return QueryNewPalette();
    case WM_PALETTECHANGED: return PaletteChanged(reinterpret_cast<HWND>(nWParam));
    case WM_DDE_INITIATE: return DdeInitiate(nWParam, nLParam);
    case WM_DDE_TERMINATE: return DdeTerminate(nWParam, nLParam);
    case WM_DDE_ACK: return DdeAck(nWParam, nLParam);
    case WM_DDE_EXECUTE: return DdeExecute(nWParam, nLParam);
    case kDrawItemMessage: return DrawItem(nWParam, nLParam);
    case kHelpF1Message: return HelpF1(nWParam, nLParam);
    case kDropOverMessage: return DropOver(nWParam, nLParam);
    case kAsyncSelectMessage: return AsyncSelect(nWParam, nLParam);
    case kTrayMessage: return TaskBar(nWParam, nLParam);
    default: return std::nullopt;
  }
}

Result TWindow::Destroy() {
  if (hWnd == nullptr) return std::nullopt;
  TooltipEnd(hWnd);
  oBrush.reset();
  oIcon.reset();
  oFont.reset();
  if (oPopup) std::exchange(oPopup, nullptr)->End();
  const bool isApplicationWindow = hWnd == GETWNDAPP();
  Unlink();
  if (isApplicationWindow) {
    SETWNDAPP(nullptr);  // a dialog shown afterwards must not take it as its owner
    PostQuit(0);
  }
  hWnd = nullptr;
  return std::nullopt;
}

Result TWindow::Moved(int top, int left) {
  if (bMoved) bMoved(top, left);
  return std::nullopt;
}

Result TWindow::ReSize(int nSizeType, int nWidth, int nHeight) {
  RECT rect{};
  GetWindowRect(hWnd, &rect);
  if (oWnd != nullptr) MapWindowPoints(nullptr, oWnd->hWnd, reinterpret_cast<POINT*>(&rect), 2);
  nTop = rect.top;
  nLeft = rect.left;
  nBottom = rect.bottom - 1;
  nRight = rect.right - 1;
  if (nWidth == 0 && nHeight == 0) {
    GetClientRect(hWnd, &rect);
    nWidth = rect.right;
    nHeight = rect.bottom;
  }
  if (bResized) bResized(nSizeType, nWidth, nHeight);
  return std::nullopt;
}

Result TWindow::GotFocus(HWND) {
  lFocused = true;
  if (bGotFocus) bGotFocus();
  if (hCtlFocus != nullptr && IsWindow(hCtlFocus)) {
    ::SetFocus(hCtlFocus);
    return 0;
  }
  for (const WindowPtr& control : aControls) {
    if (control->hWnd != nullptr && IsWindowEnabled(control->hWnd)) {
      ::SetFocus(control->hWnd);
      break;
    }
  }
  return 0;
}

Result TWindow::LostFocus(HWND hWndNew) {
  lFocused = false;
  TooltipEnd(hWnd);
  return bLostFocus ? bLostFocus(hWndNew) : std::nullopt;
}

Result TWindow::PaintMessage() {
  if (failedPaint_) {
    const auto [left, top, right, bottom] = *std::exchange(failedPaint_, std::nullopt);
    const RECT area{left, top, right, bottom};
    InvalidateRect(hWnd, &area, FALSE);
  }
  const PaintBuffer buffer(hWnd);
  const auto finish = [&] {
    hDC = nullptr;
    paint_ = nullptr;
  };
  hDC = buffer.hDC();
  paint_ = &buffer.Paint();
  try {
    Paint();
  } catch (...) {
    failedPaint_ = buffer.Area();
    finish();
    throw;
  }
  buffer.Copy();
  finish();
  return 0;
}

Result TWindow::Paint() {
  if (bEraseBkGnd) {
    bEraseBkGnd(hDC);
  } else if (oBrush) {
    RECT client{};
    GetClientRect(hWnd, &client);
    FillRect(hDC, &client, oBrush->hBrush());
  }
  return bPainted ? bPainted(hDC, *paint_, *this) : std::nullopt;
}

Result TWindow::Close(WPARAM) { return std::nullopt; }

Result TWindow::EraseBkGnd(HDC) { return 1; }

Result TWindow::DrawItem(WPARAM, LPARAM nLParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(nLParam);
  if (item->CtlType == ODT_MENU) return item->CtlID == 0 && MENUDRAWITEM(*item) ? Result{TRUE} : std::nullopt;
  const WindowPtr control = WindowOf(item->hwndItem);
  return control ? control->ReflectedDrawItem(nLParam) : std::nullopt;
}

Result TWindow::MeasureItem(WPARAM, LPARAM nLParam) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(nLParam);
  if (item->CtlType == ODT_MENU) return item->CtlID == 0 && MENUMEASUREITEM(*item) ? Result{TRUE} : std::nullopt;
  const WindowPtr control = ControlById(static_cast<int>(item->CtlID));
  return control ? control->ReflectedMeasureItem(nLParam) : std::nullopt;
}

Result TWindow::Notify(WPARAM, LPARAM nLParam) {
  const WindowPtr control = WindowOf(reinterpret_cast<const NMHDR*>(nLParam)->hwndFrom);
  return control ? control->ReflectedNotify(nLParam) : std::nullopt;
}

Result TWindow::CtlColor(HWND hWndCtl, HDC hDCCtl) {
  const WindowPtr control = WindowOf(hWndCtl);
  return control ? control->ReflectedColor(hDCCtl) : std::nullopt;
}

Result TWindow::ReflectedCommand(int, int) { return std::nullopt; }
Result TWindow::ReflectedColor(HDC) { return std::nullopt; }
Result TWindow::ReflectedNotify(LPARAM) { return std::nullopt; }
Result TWindow::ReflectedDrawItem(LPARAM) { return std::nullopt; }
Result TWindow::ReflectedMeasureItem(LPARAM) { return std::nullopt; }

WindowPtr TWindow::ControlById(int id) const {
  for (const WindowPtr& control : aControls) {
    if (control->nId == id) return control;
  }
  return nullptr;
}

Result TWindow::KeyDown(int nKey, int nFlags) {
  if (nKey == VK_TAB && oWnd != nullptr) {
    const HWND next = GetNextDlgTabItem(oWnd->hWnd, hWnd, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
    if (next != nullptr) ::SetFocus(next);
    return 0;
  }
  if (bKeyDown) return bKeyDown(nKey, nFlags);
  if (oWnd != nullptr) oWnd->KeyDown(nKey, nFlags);
  return std::nullopt;
}

Result TWindow::KeyChar(int nKey, int nFlags) { return bKeyChar ? bKeyChar(nKey, nFlags) : std::nullopt; }

Result TWindow::Command(WPARAM nWParam, LPARAM nLParam) {
  if (nLParam == 0 && HIWORD(nWParam) == 0 && oPopup) {  // a choice in the popup menu
    const std::shared_ptr<TC5Menu> popup = oPopup;
    popup->Command(LOWORD(nWParam));
    return 0;
  }
  const WindowPtr control = WindowOf(reinterpret_cast<HWND>(nLParam));
  return control ? control->ReflectedCommand(LOWORD(nWParam), HIWORD(nWParam)) : std::nullopt;
}

Result TWindow::SysCommand(WPARAM nWParam, LPARAM) {
  const WPARAM command = nWParam & 0xFFF0;
  if (command == SC_CLOSE || nWParam == 61539) return End() ? 1 : 0;
  return std::nullopt;
}

Result TWindow::Timer(WPARAM nTimerId, LPARAM) {
  return TIMEREVENT(hWnd, nTimerId) ? Result{0} : std::nullopt;  // other ticks are the window's own
}

Result TWindow::InitMenuPopup(HMENU hMenu, int, bool) {
  if (!oPopup || oPopup->hMenu != hMenu) return std::nullopt;  // a submenu opens as it is
  const std::shared_ptr<TC5Menu> popup = oPopup;
  popup->Initiate();
  return 0;
}

Result TWindow::MouseMove(int nRow, int nCol, int nKeyFlags) {
  TooltipMouseMoved(hWnd, cToolTip ? &*cToolTip : nullptr);
  return bMMoved ? bMMoved(nRow, nCol, nKeyFlags) : Result{0};
}

Result TWindow::LButtonDown(int nRow, int nCol, int nKeyFlags) {
  return bLClicked ? bLClicked(nRow, nCol, nKeyFlags, *this) : std::nullopt;
}

Result TWindow::LButtonUp(int nRow, int nCol, int nKeyFlags) {
  return bLButtonUp ? bLButtonUp(nRow, nCol, nKeyFlags, *this) : std::nullopt;
}

Result TWindow::LDblClick(int nRow, int nCol, int nKeyFlags) {
  return bLDblClick ? bLDblClick(nRow, nCol, nKeyFlags) : std::nullopt;
}

Result TWindow::RButtonDown(int nRow, int nCol, int nKeyFlags) {
  if (bRClicked) bRClicked(nRow, nCol, nKeyFlags, *this);
  return std::nullopt;
}

Result TWindow::RButtonUp(int nRow, int nCol, int nKeyFlags) {
  if (bRButtonUp) bRButtonUp(nRow, nCol, nKeyFlags, *this);
  return std::nullopt;
}

Result TWindow::EndSession(bool lEnding) {
  if (bEndSession) bEndSession(lEnding);
  return 0;
}

Result TWindow::TaskBar(WPARAM nWParam, LPARAM nLParam) {
  return bTaskBar ? bTaskBar(nWParam, nLParam) : std::nullopt;
}

Result TWindow::DropFiles(WPARAM hDrop) {
  if (!bDropFiles) return std::nullopt;
  const auto drop = reinterpret_cast<HDROP>(hDrop);
  std::vector<std::string> files;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string name(DragQueryFileA(drop, i, nullptr, 0), '\0');
    DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
    files.push_back(std::move(name));
  }
  DragFinish(drop);
  bDropFiles(std::move(files));
  return 0;
}

}  // namespace memotab
