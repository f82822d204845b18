// Timers: ticks reach the timer of their window and identifier while the event loop runs.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <iostream>

#include "event_loop.h"
#include "runtime_error.h"
#include "t_control.h"
#include "t_timer.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

WindowPtr Window() { return TWindow::New({.nStyle = static_cast<uint32_t>(WS_POPUP)}); }

TEST(TTimer, RunsOnlyWhileActiveAndIsNotFoundOnceEnded) {
  const WindowPtr window = Window();
  int runs = 0;
  const std::shared_ptr<TTimer> timer = TTimer::New(20, [&] { ++runs; }, window.get());
  EXPECT_FALSE(timer->lActive);
  SYSWAIT(0.2);
  EXPECT_EQ(runs, 0);  // made, never activated
  EXPECT_TRUE(TIMEREVENT(window->hWnd, timer->nId));
  EXPECT_EQ(runs, 0);

  timer->Activate();
  EXPECT_TRUE(test::DispatchUntil([&] { return runs >= 3; }));
  timer->DeActivate();
  SYSWAIT(0.1);  // a tick already queued is ignored too
  const int stopped = runs;
  SYSWAIT(0.2);
  EXPECT_EQ(runs, stopped);
  timer->Activate();
  EXPECT_TRUE(test::DispatchUntil([&] { return runs > stopped; }));

  const uintptr_t id = timer->nId;
  timer->End();
  EXPECT_FALSE(timer->lActive);
  EXPECT_FALSE(TIMEREVENT(window->hWnd, id));
  const int ended = runs;
  SYSWAIT(0.2);
  EXPECT_EQ(runs, ended);
}

// A control of a system class that keeps a timer of its own, as toolbars and date pickers do.
int ownTicks = 0;

LRESULT CALLBACK CountOwnTicks(HWND hWnd, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  if (nMsg == WM_TIMER) ++ownTicks;
  return DefWindowProcA(hWnd, nMsg, nWParam, nLParam);
}

class TickingControl : public TControl {
 public:
  static std::shared_ptr<TickingControl> New(TWindow& window) {
    WNDCLASSA ticking{};
    ticking.lpfnWndProc = CountOwnTicks;
    ticking.hInstance = GetModuleHandleA(nullptr);
    ticking.lpszClassName = "MemotabTicking";
    RegisterClassA(&ticking);
    std::shared_ptr<TickingControl> control(new TickingControl());
    control->CreateIn(window, "MemotabTicking", 0, 0, 0, 10, 10);
    return control;
  }
};

TEST(TTimer, AControlsOwnTimerWithTheSameIdentifierStillGetsItsTicks) {
  const WindowPtr timerWindow = Window();
  const WindowPtr controlWindow = Window();
  int runs = 0;
  const std::shared_ptr<TTimer> timer = TTimer::New(30, [&] { ++runs; }, timerWindow.get());
  timer->Activate();
  const auto control = TickingControl::New(*controlWindow);
  SetTimer(control->hWnd, timer->nId, 30, nullptr);
  EXPECT_TRUE(test::DispatchUntil([&] { return ownTicks >= 3 && runs >= 3; }, std::chrono::seconds(3)))
      << ownTicks << " ticks of the control, " << runs << " runs of the timer";
  KillTimer(control->hWnd, timer->nId);
}

TEST(TTimer, AHundredMillisecondsRunAboutTenTimesASecondWhileTheLoopIsIdle) {
  const WindowPtr window = Window();
  int runs = 0;
  const std::shared_ptr<TTimer> timer = TTimer::New(100, [&] { ++runs; }, window.get());
  timer->Activate();
  SYSWAIT(2.0);
  std::cout << runs << " runs in 2 seconds\n";
  EXPECT_GE(runs, 3);  // it repeats; how often a loaded machine lets it is not the test's to say
  EXPECT_LE(runs, 21);
}

TEST(TTimer, WithoutAWindowItTicksForTheActiveOneAlsoInsideAMessageBox) {
  ASSERT_EQ(GetActiveWindow(), nullptr);
  std::atomic<int> runs{0};
  EXPECT_THROW(TTimer::New(20, [&] { ++runs; }), RuntimeError);  // no window would hear it

  const WindowPtr window = Window();
  ShowWindow(window->hWnd, SW_SHOWNORMAL);
  ASSERT_EQ(GetActiveWindow(), window->hWnd);
  const std::shared_ptr<TTimer> timer = TTimer::New(20, [&] { ++runs; });
  EXPECT_EQ(timer->hWndOwner, window->hWnd);
  timer->Activate();
  // A message box's own loop passes the window's ticks on.
  std::future<bool> ticked = std::async(std::launch::async, [&] {
    const bool ran = test::WaitUntil([&] { return runs >= 3; });
    test::AnswerMessageBox("Memotab v1.6", GetCurrentProcessId(), std::chrono::seconds(5));
    return ran;
  });
  MessageBoxA(nullptr, "Esperando", "Memotab v1.6", MB_OK);
  EXPECT_TRUE(ticked.get()) << runs.load() << " runs";
}

TEST(TTimer, AnActionThatEndsItsTimerEndsIt) {
  const WindowPtr window = Window();
  int runs = 0;
  std::shared_ptr<TTimer> timer = TTimer::New(20, nullptr, window.get());
  timer->bAction = [&] {
    ++runs;
    timer.reset();  // the last reference goes while the action runs
  };
  timer->Activate();
  EXPECT_TRUE(test::DispatchUntil([&] { return runs == 1; }));
  SYSWAIT(0.2);
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace memotab
