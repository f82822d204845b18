#include "t_window.h"

#include <gtest/gtest.h>

#include "event_loop.h"
#include "free_routines.h"
#include "note_window.h"
#include "piped_process.h"
#include "runtime_error.h"
#include "t_button.h"
#include "t_dialog.h"
#include "tooltip.h"
#include "ui_driver.h"
#include "win.h"
#include "window_registry.h"

namespace memotab {
namespace {

// Shows a window without activating it through the framework, which would make the
// first one the application window and run the event loop.
void Show(const WindowPtr& window) {
  ShowWindow(window->hWnd, SW_SHOWNORMAL);
  UpdateWindow(window->hWnd);
}

RECT Bounds(HWND hWnd) {
  RECT rect{};
  GetWindowRect(hWnd, &rect);
  return rect;
}

TEST(TWindow, TextUnitsBecomePixelsIncludingBothEdges) {
  const WindowPtr note = test::NoteWindow();
  const RECT note_rect = Bounds(note->hWnd);
  EXPECT_EQ(note_rect.left, 40);
  EXPECT_EQ(note_rect.top, 80);
  EXPECT_EQ(note_rect.right - note_rect.left, 201);
  EXPECT_EQ(note_rect.bottom - note_rect.top, 241);

  // Fractions are cut only when the numbers reach the system.
  const WindowPtr main = TWindow::New({.nTop = 0, .nLeft = 5, .nBottom = 4.4, .nRight = 45.5, .cTitle = "Memotab v1.6",
                                       .nStyle = static_cast<uint32_t>(NOR(131072))});
  EXPECT_DOUBLE_EQ(main->nBottom, 70.4);
  EXPECT_DOUBLE_EQ(main->nRight, 364);
  const RECT main_rect = Bounds(main->hWnd);
  EXPECT_EQ(main_rect.left, 40);
  EXPECT_EQ(main_rect.top, 0);
  EXPECT_EQ(main_rect.right - main_rect.left, 325);
  EXPECT_EQ(main_rect.bottom - main_rect.top, 71);
  EXPECT_EQ(main->nStyle, 0x20000u);
  const auto style = static_cast<uint32_t>(GetWindowLongA(main->hWnd, GWL_STYLE));
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_SYSMENU | WS_MAXIMIZEBOX | WS_THICKFRAME), static_cast<uint32_t>(WS_MINIMIZEBOX));
  EXPECT_EQ(main->ClassName(), std::string("TWINDOW"));
}

TEST(TWindow, StyleIsComputedFromTheFlagsUnlessGiven) {
  const WindowPtr plain = TWindow::New({});
  EXPECT_EQ(plain->nStyle, static_cast<uint32_t>(WS_CLIPCHILDREN | WS_THICKFRAME | WS_CAPTION | WS_SYSMENU |
                                                 WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  const WindowPtr bare = TWindow::New({.lVScroll = true, .cBorder = "NONE", .lCaption = false});
  EXPECT_EQ(bare->nStyle, static_cast<uint32_t>(WS_CLIPCHILDREN | WS_POPUP | WS_VSCROLL));
  EXPECT_EQ(test::NoteWindow()->nStyle, 0x80800000u);
}

TEST(TWindow, HandlerResultsEndTheMessageOnlyWhereAllowed) {
  const WindowPtr window = test::NoteWindow();
  int rightClicks = 0;
  window->bLClicked = [](int nRow, int nCol, int, TWindow&) -> Result { return nRow * 1000 + nCol; };
  window->bRClicked = [&](int, int, int, TWindow&) { ++rightClicks; };
  window->bMMoved = [](int, int, int) -> Result { return std::nullopt; };
  EXPECT_EQ(SendMessageA(window->hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(7, 3)), 3007);
  EXPECT_EQ(SendMessageA(window->hWnd, WM_RBUTTONDOWN, 0, MAKELPARAM(7, 3)), 0);
  EXPECT_EQ(rightClicks, 1);
  EXPECT_EQ(SendMessageA(window->hWnd, WM_ERASEBKGND, 0, 0), 1);  // Paint fills the background instead

  // An empty result passes the message on: the system's default closes the window.
  const size_t slot = static_cast<size_t>(GetWindowLongPtrA(window->hWnd, GWLP_USERDATA));
  const HWND handle = window->hWnd;
  SendMessageA(handle, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window->hWnd, nullptr);
  EXPECT_EQ(RegistryAt(slot), nullptr);
}

TEST(TWindow, FreedRegistrySlotIsReusedBeforeTheRegistryGrows) {
  const WindowPtr first = test::NoteWindow();
  const WindowPtr second = test::NoteWindow();
  const auto firstSlot = GetWindowLongPtrA(first->hWnd, GWLP_USERDATA);
  const size_t size = RegistrySize();
  DestroyWindow(first->hWnd);
  const WindowPtr third = test::NoteWindow();
  EXPECT_EQ(GetWindowLongPtrA(third->hWnd, GWLP_USERDATA), firstSlot);
  EXPECT_EQ(RegistrySize(), size);
  EXPECT_EQ(WindowOf(third->hWnd), third);
}

HWND noteHandle = nullptr;
bool noteGoneWhileLoopRan = false;

TEST(TWindow, OnlyTheFirstTopLevelActivationRunsTheLoop) {
  const WindowPtr main = test::NoteWindow();
  WindowPtr note;
  bool noteActivateReturned = false;
  main->bInit = [&](TWindow& window) {
    EXPECT_EQ(GETWNDAPP(), window.hWnd);
    note = test::NoteWindow();
    note->Activate();
    noteActivateReturned = true;
    noteHandle = note->hWnd;
    EXPECT_TRUE(note->End());
    // A little later the note is gone while the loop still runs; then the main window closes.
    SetTimer(window.hWnd, 1, 200, [](HWND hWnd, UINT, UINT_PTR, DWORD) {
      KillTimer(hWnd, 1);
      noteGoneWhileLoopRan = !IsWindow(noteHandle) && LWRUNNING();
      PostMessageA(hWnd, WM_CLOSE, 0, 0);
    });
  };
  main->Activate();
  EXPECT_TRUE(noteActivateReturned);
  EXPECT_TRUE(noteGoneWhileLoopRan);
  EXPECT_EQ(note->hWnd, nullptr);
  EXPECT_EQ(main->hWnd, nullptr);
  EXPECT_FALSE(LWRUNNING());
}

TEST(TWindow, TheApplicationWindowIsForgottenWhenItIsDestroyed) {
  const WindowPtr main = test::NoteWindow();
  main->bInit = [](TWindow& window) { PostMessageA(window.hWnd, WM_CLOSE, 0, 0); };
  main->Activate();
  EXPECT_EQ(GETWNDAPP(), nullptr);

  // A dialog shown afterwards (during the shutdown) is not given the dead window as owner.
  const DialogPtr dialog = TDialog::New({.cResName = "AVISO"});
  TButton::ReDefine(102, [&] { dialog->End(1); }, *dialog);
  std::future<void> clicked = test::WhenWindowAppears<void>("Recordatorio", [](HWND window) {
    if (window != nullptr) test::ClickLikeUser(GetDlgItem(window, 102));
  });
  EXPECT_NO_THROW(dialog->Activate());
  clicked.get();
  EXPECT_EQ(dialog->nResult, 1);
}

TEST(TWindow, EndAsksValidationFirst) {
  const WindowPtr window = test::NoteWindow();
  bool allow = false;
  int asked = 0;
  window->bValid = [&] {
    ++asked;
    return allow;
  };
  EXPECT_FALSE(window->End());
  SYSREFRESH();
  EXPECT_NE(window->hWnd, nullptr);
  allow = true;
  EXPECT_TRUE(window->End());
  SYSREFRESH();
  EXPECT_EQ(window->hWnd, nullptr);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(window->End());  // ending a closed window does nothing
  EXPECT_EQ(asked, 2);

  // The close box and Alt+F4 come through the same validation.
  const WindowPtr other = test::NoteWindow();
  other->bValid = [] { return false; };
  SendMessageA(other->hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  SYSREFRESH();
  EXPECT_NE(other->hWnd, nullptr);
}

TEST(TWindow, PaintFillsTheWindowWithItsOwnBrush) {
  const WindowPtr window = test::NoteWindow();
  bool painted = false;
  window->bPainted = [&](HDC hDC, const tagPAINTSTRUCT&, TWindow&) -> Result {
    painted = true;
    EXPECT_EQ(GetPixel(hDC, 10, 10), static_cast<COLORREF>(65535));  // already filled, in the buffer
    return std::nullopt;
  };
  Show(window);
  SYSREFRESH();
  EXPECT_TRUE(painted);
  EXPECT_EQ(window->hDC, nullptr);
}

TEST(TWindow, TooltipAppearsForWindowsWithText) {
  const WindowPtr note = test::NoteWindow();
  note->cToolTip = "1) Primera línea \r\n2) Segunda";
  Show(note);
  SendMessageA(note->hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  const HWND tooltip = CurrentTooltip();
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 120);
  EXPECT_EQ(GetWindowLongA(tooltip, GWL_STYLE) & TTS_BALLOON, TTS_BALLOON);

  const WindowPtr plain = test::NoteWindow();
  SendMessageA(plain->hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(CurrentTooltip(), nullptr);
  EXPECT_FALSE(IsWindow(tooltip));
}

TEST(TWindow, FocusRunsTheSlotAndSkipsTheDefault) {
  const WindowPtr window = test::NoteWindow();
  int gained = 0;
  window->bGotFocus = [&] { ++gained; };
  EXPECT_EQ(SendMessageA(window->hWnd, WM_SETFOCUS, 0, 0), 0);
  EXPECT_TRUE(window->lFocused);
  EXPECT_EQ(gained, 1);
  SendMessageA(window->hWnd, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(window->lFocused);
}

TEST(TWindow, CreationFailureRaisesTheFrameworkError) {
  try {
    TWindow::New({.cTitle = "Huérfana", .nStyle = WS_CHILD});  // a child without a parent
    ADD_FAILURE() << "the window was created";
  } catch (const RuntimeError& error) {
    EXPECT_NE(error.cDescription.find("\r\nClass: TWINDOW\r\nCaption: Huérfana\r\nSystem Error: "), std::string::npos)
        << error.cDescription;
  }
}

TEST(GdiResources, AProgramWhoseVariablesHoldAWindowAndItsBrushUntilTheEndExitsCleanly) {
  test::PipedProcess probe(test::BesideThisProgram("memotab_exit_probe"), {});
  EXPECT_EQ(probe.Wait(), 0);
}

TEST(FreeRoutines, ColoursAndFlags) {
  EXPECT_EQ(NRGB(255, 0, 255), 16711935);
  EXPECT_EQ(NRGB(255, 255, 128), 8454143);
  EXPECT_EQ(NRGB(256 + 222, 205, 99), 6540766);
  EXPECT_EQ(NOR(), 0);
  EXPECT_EQ(NOR(0x80000000, 0x800000), 0x80800000);
}

TEST(FreeRoutines, CursorPositionFeedsMoveWindowDirectly) {
  const WindowPtr window = test::NoteWindow();
  Show(window);
  SetCursorPos(300, 200);
  const std::array<int, 2> position = GETCURSORPOS();
  EXPECT_EQ(position[0], 200);
  EXPECT_EQ(position[1], 300);
  ASSERT_TRUE(MOVEWINDOW(window->hWnd, position[0], position[1]));
  const RECT rect = Bounds(window->hWnd);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.top, 200);
  EXPECT_EQ(rect.right - rect.left, 201);  // the size is kept
  EXPECT_FALSE(MOVEWINDOW(nullptr, 0, 0));
  EXPECT_EQ(GETCLIENTRECT(nullptr), (std::array<int, 4>{0, 0, 0, 0}));
  const std::array<int, 4> client = GETCLIENTRECT(window->hWnd);
  EXPECT_EQ(client[0], 0);
  EXPECT_GT(client[3], 190);
}

TEST(FreeRoutines, SetWindowPosPutsAWindowInTheTopMostBand) {
  const WindowPtr window = test::NoteWindow();
  ASSERT_TRUE(SETWINDOWPOS(window->hWnd, -1, 0, 0, 0, 0, 3));
  EXPECT_NE(GetWindowLongA(window->hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(Bounds(window->hWnd).left, 40);  // neither moved nor sized
}

}  // namespace
}  // namespace memotab
