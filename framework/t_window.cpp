#include "t_window.h"

#include "win.h"

#include <dde.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cmath>

#include "disk.h"
#include "error_block.h"
#include "event_loop.h"
#include "framework_error.h"
#include "system_message.h"
#include "tooltip.h"
#include "window_registry.h"

namespace memotab {

namespace {

// The dispatch procedure of every linked window: finds the object by the slot in the
// user-data word and lets it handle the message. No C++ exception leaves it.
LRESULT CALLBACK DispatchProc(HWND hWnd, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  const WindowPtr window = RegistryAt(static_cast<size_t>(GetWindowLongPtrA(hWnd, GWLP_USERDATA)));
  if (!window) return DefWindowProcA(hWnd, nMsg, nWParam, nLParam);
  const auto previous = reinterpret_cast<WNDPROC>(window->nOldProc);
  const Result result = GuardErrors([&] { return window->HandleEvent(nMsg, nWParam, nLParam); }, Result{});
  if (result) return *result;
  return previous != nullptr ? CallWindowProcA(previous, hWnd, nMsg, nWParam, nLParam)
                             : DefWindowProcA(hWnd, nMsg, nWParam, nLParam);
}

int ShowCommand(const std::string& cShow) {
  if (cShow == "NORMAL") return SW_SHOWNORMAL;
  if (cShow == "ICONIZED") return SW_SHOWMINIMIZED;
  if (cShow == "MAXIMIZED") return SW_SHOWMAXIMIZED;
  return SW_HIDE;
}

int Row(LPARAM nLParam) { return GET_Y_LPARAM(nLParam); }
int Col(LPARAM nLParam) { return GET_X_LPARAM(nLParam); }
int Flags(WPARAM nWParam) { return static_cast<int>(nWParam); }

}  // namespace

// Construction --------------------------------------------------------------------------

WindowPtr TWindow::New(const TWindowParams& params) {
  WindowPtr window(new TWindow());
  window->Construct(params);
  return window;
}

TWindow::TWindow() = default;
TWindow::~TWindow() = default;

void TWindow::Construct(const TWindowParams& params) {
  nStyle = params.nStyle;
  if (nStyle == 0) {
    nStyle = WS_CLIPCHILDREN;
    if (params.cBorder == "NONE") nStyle |= WS_POPUP;
    if (params.cBorder == "SINGLE") nStyle |= WS_THICKFRAME;
    if (params.lCaption) nStyle |= WS_CAPTION;
    if (params.lSysMenu && params.lCaption) nStyle |= WS_SYSMENU;
    if (params.lMin && params.lCaption) nStyle |= WS_MINIMIZEBOX;
    if (params.lMax && params.lCaption) nStyle |= WS_MAXIMIZEBOX;
    if (params.lVScroll) nStyle |= WS_VSCROLL;
    if (params.lHScroll) nStyle |= WS_HSCROLL;
  }
  // Rows are 16 pixels and columns 8; fractions stay until the numbers reach the system.
  const double rowScale = params.lPixel ? 1 : 16;
  const double colScale = params.lPixel ? 1 : 8;
  nTop = params.nTop * rowScale;
  nLeft = params.nLeft * colScale;
  nBottom = params.nBottom * rowScale;
  nRight = params.nRight * colScale;

  cCaption = params.cTitle.value_or("");
  oWnd = params.oWnd;
  oIcon = params.oIcon;
  if (!oIcon && !params.cIcon.empty()) {
    oIcon = FILE_EXISTS(params.cIcon) ? TIcon::New({}, params.cIcon) : TIcon::New(params.cIcon);
  }
  lVisible = true;
  aControls.clear();
  lValidating = false;

  Register();
  Create();
  SetColor(params.nClrFore, params.nClrBack.value_or(static_cast<int32_t>(GetSysColor(COLOR_WINDOW))), params.oBrush);
  GetFont();
}

void TWindow::Register() const {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), ClassName(), &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  // Each window paints its own brush; the class keeps a system brush that never goes away.
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = ClassName();
  if (!RegisterClassExA(&windowClass)) {
    ThrowFrameworkError("\r\nClass: " + std::string(ClassName()) + "\r\nSystem Error: " + SystemMessage(GetLastError()));
  }
  NoteRegisteredClass(ClassName());
}

void TWindow::Create() {
  if (oWnd != nullptr) nStyle |= WS_CHILD;
  const int x = static_cast<int>(std::trunc(nLeft));
  const int y = static_cast<int>(std::trunc(nTop));
  int width = static_cast<int>(std::trunc(nRight - nLeft + 1));
  int height = static_cast<int>(std::trunc(nBottom - nTop + 1));
  if (static_cast<int>(nBottom) == CW_USEDEFAULT) {
    width = static_cast<int>(nRight);
    height = static_cast<int>(nBottom);
  }
  hWnd = CreateWindowExA(0, ClassName(), cCaption.c_str(), nStyle, x, y, width, height,
                         oWnd != nullptr ? oWnd->hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<intptr_t>(nId)),
                         GetModuleHandleA(nullptr), nullptr);
  if (hWnd == nullptr) {
    ThrowFrameworkError("\r\nClass: " + std::string(ClassName()) + "\r\nCaption: " + cCaption +
                        "\r\nSystem Error: " + SystemMessage(GetLastError()));
  }
  Link();
  if (oIcon) SendMessageA(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(oIcon->hIcon));
}

void TWindow::Link(bool subclass) {
  const size_t slot = RegistryLink(shared_from_this());
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, static_cast<LONG_PTR>(slot));
  if (subclass) nOldProc = SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DispatchProc));
}

void TWindow::Unlink() {
  const auto slot = static_cast<size_t>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  if (nOldProc != 0) SetWindowLongPtrA(hWnd, GWLP_WNDPROC, nOldProc);
  nOldProc = 0;
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
  RegistryUnlink(slot);  // may end this object: nothing may touch it afterwards
}

void TWindow::GetFont() {
  if (oFont) return;
  if (oWnd != nullptr && oWnd->oFont) {
    oFont = oWnd->oFont;
    return;
  }
  if (const auto reported = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0))) {
    LOGFONTA font{};
    GetObjectA(reported, sizeof font, &font);
    oFont = TFont::New(font.lfFaceName, 0, font.lfHeight);
    return;
  }
  // The face the system uses for its own messages, 12 pixels high.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  oFont = TFont::New(metrics.lfMessageFont.lfFaceName[0] != '\0' ? metrics.lfMessageFont.lfFaceName : "MS Shell Dlg", 0, -12);
}

// Operations ----------------------------------------------------------------------------

void TWindow::Activate(TWindowActivation activation) {
  nResult.reset();
  lValidating = false;
  if (activation.bRClicked) bRClicked = std::move(activation.bRClicked);
  if (activation.bPainted) bPainted = std::move(activation.bPainted);
  if (activation.bValid) bValid = std::move(activation.bValid);
  if (activation.bDropFiles) bDropFiles = std::move(activation.bDropFiles);
  AEvalWhen();
  ShowWindow(hWnd, ShowCommand(activation.cShow));
  UpdateWindow(hWnd);
  lVisible = true;

  const bool isApplicationWindow = oWnd == nullptr && GETWNDAPP() == nullptr;
  if (isApplicationWindow) SETWNDAPP(hWnd);
  const WindowPtr self = shared_from_this();  // bInit may end the window
  if (bInit) bInit(*this);
  if (hWnd != nullptr) ReSize(SIZE_RESTORED, 0, 0);
  if (isApplicationWindow) WINRUN(hWnd);
}

bool TWindow::End() {
  if (hWnd == nullptr || lValidating) return false;
  if (!lValid()) return false;
  return PostMessageA(hWnd, WM_CLOSE, 0, 0) != FALSE;
}

bool TWindow::lValid() {
  if (!bValid) return true;
  lValidating = true;
  const bool valid = bValid();
  lValidating = false;
  return valid;
}

bool TWindow::lWhen() const { return !bWhen || bWhen(); }

void TWindow::Show() const { ShowWindow(hWnd, SW_SHOWNA); }

void TWindow::Hide() const { ShowWindow(hWnd, SW_HIDE); }

void TWindow::SetFocus() const {
  if (lWhen()) ::SetFocus(hWnd);
}

void TWindow::Refresh(bool lErase) const { InvalidateRect(hWnd, nullptr, lErase); }

void TWindow::SetBrush(std::shared_ptr<TBrush> brush) {
  oBrush = std::move(brush);
  Refresh();
}

void TWindow::SetColor(int32_t nText, int32_t nPane, std::shared_ptr<TBrush> brush) {
  nClrText = nText;
  nClrPane = nPane;
  oBrush = brush ? std::move(brush) : TBrush::New(nPane);
}

bool TWindow::PostMsg(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) const {
  return PostMessageA(hWnd, nMsg, nWParam, nLParam) != FALSE;
}

LRESULT TWindow::SendMsg(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) const {
  return SendMessageA(hWnd, nMsg, nWParam, nLParam);
}

void TWindow::AEvalWhen() const {
  for (const WindowPtr& control : aControls) {
    if (control->hWnd != nullptr) EnableWindow(control->hWnd, control->lWhen());
  }
}

// Messages ------------------------------------------------------------------------------

Result TWindow::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_DESTROY: return Destroy();
    case WM_MOVE: return Moved(Row(nLParam), Col(nLParam));
    case WM_SIZE: return ReSize(static_cast<int>(nWParam), LOWORD(nLParam), HIWORD(nLParam));
    case WM_SETFOCUS: return GotFocus(reinterpret_cast<HWND>(nWParam));
    case WM_KILLFOCUS: return LostFocus(reinterpret_cast<HWND>(nWParam));
    case WM_PAINT: {
      BeginPaint();
      Paint();
      return EndPaint();
    }
    case WM_CLOSE: return Close(nWParam);
    case WM_QUERYENDSESSION: return QueryEndSession();
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
    case 2056: return DrawItem(nWParam, nLParam);
    case 2061: return HelpF1(nWParam, nLParam);
    case 2063: return DropOver(nWParam, nLParam);
    case 2065: return AsyncSelect(nWParam, nLParam);
    case 2067: return TaskBar(nWParam, nLParam);
    default: return std::nullopt;
  }
}

Result TWindow::Destroy() {
  if (hWnd == nullptr) return std::nullopt;
  TooltipEnd(hWnd);
  oBrush.reset();
  oIcon.reset();
  oFont.reset();
  const bool isApplicationWindow = hWnd == GETWNDAPP();
  Unlink();
  if (isApplicationWindow) PostQuitMessage(0);
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

Result TWindow::BeginPaint() {
  paint_ = std::make_unique<PAINTSTRUCT>();
  paintDC_ = ::BeginPaint(hWnd, paint_.get());
  RECT client{};
  GetClientRect(hWnd, &client);
  // Everything is drawn into a memory bitmap first, then copied at once.
  hDC = CreateCompatibleDC(paintDC_);
  buffer_ = CreateCompatibleBitmap(paintDC_, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
  previousBuffer_ = SelectObject(hDC, buffer_);
  return std::nullopt;
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

Result TWindow::EndPaint() {
  RECT client{};
  GetClientRect(hWnd, &client);
  BitBlt(paintDC_, 0, 0, client.right, client.bottom, hDC, 0, 0, SRCCOPY);
  SelectObject(hDC, previousBuffer_);
  DeleteObject(buffer_);
  DeleteDC(hDC);
  ::EndPaint(hWnd, paint_.get());
  hDC = nullptr;
  buffer_ = nullptr;
  paintDC_ = nullptr;
  return 0;
}

Result TWindow::Close(WPARAM) { return std::nullopt; }

Result TWindow::EraseBkGnd(HDC) { return 1; }

Result TWindow::DrawItem(WPARAM, LPARAM nLParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(nLParam);
  if (item->CtlType == ODT_MENU) return std::nullopt;
  const WindowPtr control = WindowOf(item->hwndItem);
  return control ? control->ReflectedDrawItem(nLParam) : std::nullopt;
}

Result TWindow::MeasureItem(WPARAM, LPARAM nLParam) {
  const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(nLParam);
  if (item->CtlType == ODT_MENU) return std::nullopt;
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
  const WindowPtr control = WindowOf(reinterpret_cast<HWND>(nLParam));
  return control ? control->ReflectedCommand(LOWORD(nWParam), HIWORD(nWParam)) : std::nullopt;
}

Result TWindow::SysCommand(WPARAM nWParam, LPARAM) {
  const WPARAM command = nWParam & 0xFFF0;
  if (command == SC_CLOSE || nWParam == 61539) return End() ? 1 : 0;
  return std::nullopt;
}

Result TWindow::Timer(WPARAM, LPARAM) { return std::nullopt; }

Result TWindow::InitMenuPopup(HMENU, int, bool) { return std::nullopt; }

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
