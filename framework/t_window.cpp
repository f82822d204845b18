#include "t_window.h"

#include "win.h"

#include <cmath>

#include "disk.h"
#include "event_loop.h"
#include "framework_error.h"
#include "handler_guard.h"
#include "menu_lists.h"
#include "scoped_flag.h"
#include "system_message.h"
#include "t_c5_menu.h"
#include "window_registry.h"

namespace memotab {

namespace {

// The dispatch procedure of every linked window: finds the object by the slot in the
// user-data word and lets it handle the message. No C++ exception leaves it.
LRESULT CALLBACK DispatchProc(HWND hWnd, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  const WindowPtr window = RegistryAt(static_cast<size_t>(GetWindowLongPtrA(hWnd, GWLP_USERDATA)));
  if (!window) return DefWindowProcA(hWnd, nMsg, nWParam, nLParam);
  const auto previous = reinterpret_cast<WNDPROC>(window->nOldProc);
  const Result result = GuardHandler([&] { return window->HandleEvent(nMsg, nWParam, nLParam); }, Result{});
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

}  // namespace

// Construction --------------------------------------------------------------------------

WindowPtr TWindow::New(const TWindowParams& params) {
  WindowPtr window(new TWindow());
  window->Construct(params);
  return window;
}

TWindow::TWindow() = default;
TWindow::~TWindow() {
  // Controls and menus the application keeps may outlive the window: they forget it.
  for (const WindowPtr& control : aControls) {
    if (control->oWnd == this) control->oWnd = nullptr;
  }
  for (TC5Menu* menu : LiveMenus()) {
    if (menu->oWnd == this) menu->oWnd = nullptr;
  }
}

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
  owner_ = params.oWnd == nullptr && params.oOwner != nullptr ? params.oOwner->hWnd : nullptr;
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
                         oWnd != nullptr ? oWnd->hWnd : owner_, reinterpret_cast<HMENU>(static_cast<intptr_t>(nId)),
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

  const bool isApplicationWindow = oWnd == nullptr && owner_ == nullptr && GETWNDAPP() == nullptr;
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
  const ScopedFlag validating(lValidating);
  return bValid();
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
  // A copy: the conditions, and the focus changes that enabling causes, run application
  // code that may end controls, which takes them out of aControls.
  for (const WindowPtr& control : std::vector(aControls)) {
    const bool enabled = control->lWhen();
    if (control->hWnd != nullptr) EnableWindow(control->hWnd, enabled);
  }
}

}  // namespace memotab
