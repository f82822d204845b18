// Dragging a note by its bar with the real pointer: the note follows, the loop sleeps while
// the pointer rests, and the drag ends with the button's release or the loss of the capture.
#include <gtest/gtest.h>

#include "cpu_time.h"
#include "note_windows.h"
#include "notes_fixture.h"
#include "ui_driver.h"

namespace memotab {
namespace {

class NoteDragging : public test::NotesFixture {};

POINT TopLeft(HWND window) {
  const RECT area = test::WindowArea(window);
  return {area.left, area.top};
}

// The window that has the mouse capture in a thread.
HWND CaptureOf(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(threadId, &info);
  return info.hwndCapture;
}

TEST_F(NoteDragging, TheNoteFollowsThePointerRestsWithItAndStopsWhenTheCaptureGoes) {
  NUEVANOTA(true);
  const HWND note = Note(1);
  const DWORD uiThread = GetCurrentThreadId();
  struct Seen {
    bool followed = false;
    double restingCpu = -1;
    bool captureLost = false;
    bool stayedAfterLoss = false;
  };
  std::future<Seen> driven = std::async(std::launch::async, [&] {
    Seen seen;
    test::PressMouse(90, 88);  // on the drag bar
    if (!test::WaitUntil([&] { return CaptureOf(uiThread) == note; })) return seen;
    test::MoveMouse(500, 300);
    seen.followed = test::WaitUntil([&] {
      const POINT at = TopLeft(note);
      return at.x == 500 && at.y == 300;
    });
    const double before = test::CpuSeconds();
    Sleep(1000);
    seen.restingCpu = test::CpuSeconds() - before;
    PostMessageA(note, WM_CANCELMODE, 0, 0);  // as a window that takes the capture would
    seen.captureLost = test::WaitUntil([&] { return CaptureOf(uiThread) == nullptr; });
    test::MoveMouse(700, 450);
    Sleep(300);
    const POINT at = TopLeft(note);
    seen.stayedAfterLoss = at.x == 500 && at.y == 300;
    test::ReleaseMouse();
    return seen;
  });
  EXPECT_TRUE(test::DispatchUntil([&] { return driven.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                  std::chrono::seconds(20)));
  const Seen seen = driven.get();
  EXPECT_TRUE(seen.followed);
  EXPECT_GE(seen.restingCpu, 0);
  EXPECT_LT(seen.restingCpu, 0.3) << "the loop spins while the pointer rests";
  EXPECT_TRUE(seen.captureLost);
  EXPECT_TRUE(seen.stayedAfterLoss);
  // The stored rectangle is not changed by the drag.
  oNota->GoTo(1);
  EXPECT_EQ(oNota->GetNumber(Nota::X1), 5);
}

TEST_F(NoteDragging, ReleasingTheButtonFarFromWhereItStartedEndsTheDrag) {
  NUEVANOTA(true);
  const HWND note = Note(1);
  const DWORD uiThread = GetCurrentThreadId();
  std::future<bool> driven = std::async(std::launch::async, [&] {
    test::PressMouse(90, 88);
    if (!test::WaitUntil([&] { return CaptureOf(uiThread) == note; })) return false;
    test::MoveMouse(900, 600);
    test::WaitUntil([&] { return TopLeft(note).x == 900; });
    test::ReleaseMouse();
    return test::WaitUntil([&] { return CaptureOf(uiThread) == nullptr; });
  });
  EXPECT_TRUE(test::DispatchUntil([&] { return driven.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                  std::chrono::seconds(20)));
  EXPECT_TRUE(driven.get());
  EXPECT_EQ(TopLeft(note).x, 900);
  // Closing the note during a drag also ends it: the window is gone, the loop with it.
  std::future<bool> closing = std::async(std::launch::async, [&] {
    test::PressMouse(950, 608);
    if (!test::WaitUntil([&] { return CaptureOf(uiThread) == note; })) return false;
    PostMessageA(note, WM_CLOSE, 0, 0);
    const bool ended = test::WaitUntil([&] { return !IsWindow(note); });
    test::ReleaseMouse();
    return ended;
  });
  EXPECT_TRUE(test::DispatchUntil([&] { return closing.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                  std::chrono::seconds(20)));
  EXPECT_TRUE(closing.get());
}

}  // namespace
}  // namespace memotab
