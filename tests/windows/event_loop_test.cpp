#include "event_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

#include "cpu_time.h"
#include "note_window.h"
#include "t_dialog.h"
#include "t_window.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

TEST(EventLoop, WaitKeepsDispatchingAndLastsAsAsked) {
  const WindowPtr window = test::NoteWindow();
  int moves = 0;
  window->bMMoved = [&](int, int, int) -> Result {
    ++moves;
    return 0;
  };
  PostMessageA(window->hWnd, WM_MOUSEMOVE, 0, 0);
  const ULONGLONG start = GetTickCount64();
  SYSWAIT(0.3);
  EXPECT_GE(GetTickCount64() - start, 290u);
  EXPECT_EQ(moves, 1);
}

TEST(EventLoop, RefreshHandsAQuitBackToTheRunningLoop) {
  PostQuitMessage(0);
  EXPECT_TRUE(SYSREFRESH());  // no loop runs: nothing to hand it to
  SETLWRUNNING(true);
  PostQuitMessage(0);
  EXPECT_FALSE(SYSREFRESH());
  SETLWRUNNING(false);
  MSG message{};
  EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A popup menu shown by the test, with a thread timer whose handler runs inside the menu's own
// loop as the reminder timer's does. The handler sends real keys that choose the first item:
// posted key messages are not input, and a pass of events rightly dispatches them.
class EventLoopInsideAMenu : public ::testing::Test {
 protected:
  struct Ticks {
    std::function<void()> second;  // runs on the second tick, when the menu is up
    int count = 0;
  };
  static inline Ticks* ticks = nullptr;

  // Much later than the second tick it ends a menu left open.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (++ticks->count == 2) {
      ticks->second();
    } else if (ticks->count == 40) {
      EndMenu();
    }
  }

  // Shows the menu over the owner, brought to the front first (keys go to the foreground
  // window), and returns the item it returned.
  int Choose(const std::function<void()>& onSecondTick) {
    ShowWindow(owner->hWnd, SW_SHOWNORMAL);
    UpdateWindow(owner->hWnd);
    SetForegroundWindow(owner->hWnd);
    if (!test::DispatchUntil([&] { return GetForegroundWindow() == owner->hWnd; })) {
      ADD_FAILURE() << "the menu's owner never came to the front";
      return 0;
    }
    Ticks state{.second = onSecondTick};
    ticks = &state;
    const HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 41, "Primero");
    AppendMenuA(menu, MF_STRING, 42, "Segundo");
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 10, 10, 0, owner->hWnd, nullptr);
    KillTimer(nullptr, timer);
    DestroyMenu(menu);
    ticks = nullptr;
    EXPECT_LT(state.count, 40) << "the menu was ended by the test, not by the keys";
    return chosen;
  }

  // Down and Enter, pressed and released on the keyboard.
  static void PressDownAndEnter() {
    INPUT keys[4] = {};
    const WORD order[4][2] = {{VK_DOWN, 0}, {VK_DOWN, KEYEVENTF_KEYUP}, {VK_RETURN, 0}, {VK_RETURN, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
      keys[i].type = INPUT_KEYBOARD;
      keys[i].ki.wVk = order[i][0];
      keys[i].ki.dwFlags = order[i][1];
    }
    ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
  }

  const WindowPtr owner = test::NoteWindow();
};

// Messages of three kinds, in the order they are posted; taken by ranges of message numbers
// they would come out backwards.
constexpr UINT kPosted[] = {WM_APP + 7, WM_COMMAND, WM_CLOSE};
std::vector<UINT>* recorded = nullptr;

LRESULT CALLBACK RecordPosted(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (std::ranges::find(kPosted, message) == std::end(kPosted)) return DefWindowProcA(hWnd, message, wParam, lParam);
  recorded->push_back(message);
  return 0;
}

TEST_F(EventLoopInsideAMenu, ARefreshLeavesTheMenuItsInputAndRunsTheRestInOrder) {
  const HWND recorder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(recorder, nullptr);
  SetWindowLongPtrA(recorder, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordPosted));
  std::vector<UINT> dispatched;
  recorded = &dispatched;
  bool painted = false;
  owner->bPainted = [&](HDC, const tagPAINTSTRUCT&, TWindow&) -> Result {
    painted = true;
    return std::nullopt;
  };
  bool paintedByTheRefresh = false;
  std::vector<UINT> dispatchedByTheRefresh;

  const int chosen = Choose([&] {
    PressDownAndEnter();
    for (const UINT message : kPosted) PostMessageA(recorder, message, 0, 0);  // behind the keys
    painted = false;
    InvalidateRect(owner->hWnd, nullptr, TRUE);
    SYSREFRESH();
    paintedByTheRefresh = painted;
    dispatchedByTheRefresh = dispatched;
  });
  recorded = nullptr;
  DestroyWindow(recorder);

  EXPECT_EQ(chosen, 41);  // the keys waited for the menu
  EXPECT_TRUE(paintedByTheRefresh);
  EXPECT_EQ(dispatchedByTheRefresh, std::vector<UINT>(std::begin(kPosted), std::end(kPosted)));
}

TEST_F(EventLoopInsideAMenu, AWaitLastsItsTimeWithoutSpinningOnTheMenusInput) {
  ULONGLONG waited = 0;
  double busy = 0;
  const int chosen = Choose([&] {
    PressDownAndEnter();
    const ULONGLONG start = GetTickCount64();
    const double startBusy = test::ThreadCpuSeconds();
    SYSWAIT(0.3);
    waited = GetTickCount64() - start;
    busy = test::ThreadCpuSeconds() - startBusy;
  });

  EXPECT_EQ(chosen, 41);
  EXPECT_GE(waited, 290u);
  EXPECT_LT(busy, 0.15);  // a wait woken by the waiting keys at every turn spins all along
}

TEST_F(EventLoopInsideAMenu, AQuitMetInsideAMenuEndsTheMenuAndReachesTheProgramsLoop) {
  bool refreshed = true;
  SETLWRUNNING(true);  // as while the program's own loop runs outside the menu
  const int chosen = Choose([&] {
    PostQuitMessage(5);
    refreshed = SYSREFRESH();
  });
  SETLWRUNNING(false);

  EXPECT_FALSE(refreshed);
  EXPECT_EQ(chosen, 0);  // nothing chosen, and the menu did not wait for its end by the test
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 5u);
}

TEST_F(EventLoopInsideAMenu, TheApplicationWindowClosedInsideAMenuEndsTheMenuAndTheProgramsLoop) {
  const WindowPtr application = TWindow::New({});
  SETWNDAPP(application->hWnd);
  const int chosen = Choose([&] { PostMessageA(application->hWnd, WM_CLOSE, 0, 0); });  // the menu's loop closes it
  const bool destroyed = application->hWnd == nullptr;
  if (!destroyed) {
    SETWNDAPP(nullptr);
    DestroyWindow(application->hWnd);
  }

  EXPECT_TRUE(destroyed);
  EXPECT_EQ(chosen, 0);
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

TEST(EventLoop, AModalLoopKeepsModelessDialogsWorkingAndHandsBackAQuit) {
  const WindowPtr host = TWindow::New({});
  const DialogPtr dialog = TDialog::New({.cResName = "RECORDATORIO", .oWnd = host.get()});
  dialog->Activate({.lModal = false});
  const HWND first = GetNextDlgTabItem(dialog->hWnd, nullptr, FALSE);
  SetFocus(first);
  ASSERT_EQ(GetFocus(), first);
  PostMessageA(first, WM_KEYDOWN, VK_TAB, 0);  // Tab moves on in a modeless dialog too
  const UINT_PTR ticks = SetTimer(nullptr, 0, 50, nullptr);  // so that the loop wakes up to see the time
  const ULONGLONG deadline = GetTickCount64() + 5000;
  EXPECT_TRUE(RunModalLoop(nullptr, [&] { return GetFocus() != first || GetTickCount64() > deadline; }));
  EXPECT_NE(GetFocus(), first);
  KillTimer(nullptr, ticks);

  PostQuitMessage(3);
  EXPECT_FALSE(RunModalLoop(nullptr, [] { return false; }));
  MSG message{};
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
  DestroyWindow(dialog->hWnd);
}

}  // namespace
}  // namespace memotab
