// The figure never keeps the activation: after its own menu, or when the system activates
// it, the window the user was in is active again with its focus where it was.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "character_actor.h"
#include "character_service.h"
#include "event_loop.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::character {
namespace {

using test::DispatchUntil;
using test::WaitUntil;

// A window the user is typing in: a frame with an edit field that has the focus.
class UserWindow {
 public:
  explicit UserWindow(POINT at = {40, 40}, DWORD extendedStyle = 0) {
    frame_ = CreateWindowExA(extendedStyle, "STATIC", "Nota", WS_OVERLAPPEDWINDOW | WS_VISIBLE, at.x, at.y, 240, 120,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, frame_, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  }
  ~UserWindow() { DestroyWindow(frame_); }
  UserWindow(const UserWindow&) = delete;
  UserWindow& operator=(const UserWindow&) = delete;

  HWND Frame() const { return frame_; }
  HWND Edit() const { return edit_; }

 private:
  HWND frame_ = nullptr;
  HWND edit_ = nullptr;
};

// A window of another thread in the foreground, as another program's would be.
class OtherThreadsWindow {
 public:
  OtherThreadsWindow() {
    std::promise<HWND> promised;
    std::future<HWND> window = promised.get_future();
    thread_ = std::thread([this](std::promise<HWND> made) {
      threadId_ = GetCurrentThreadId();
      const HWND frame = CreateWindowExA(0, "STATIC", "Otro programa", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 60, 240,
                                         120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      SetForegroundWindow(frame);
      made.set_value(frame);
      MSG message{};
      while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
      DestroyWindow(frame);
    }, std::move(promised));
    frame_ = window.get();
  }
  ~OtherThreadsWindow() {
    while (!PostThreadMessageA(threadId_, WM_QUIT, 0, 0)) Sleep(10);  // its queue may not be made yet
    thread_.join();
  }
  OtherThreadsWindow(const OtherThreadsWindow&) = delete;
  OtherThreadsWindow& operator=(const OtherThreadsWindow&) = delete;

  HWND Frame() const { return frame_; }

 private:
  std::thread thread_;
  DWORD threadId_ = 0;
  HWND frame_ = nullptr;
};

// The window a click goes to while the figure's menu shows (inside the menu's loop).
HWND clickedDuringMenu = nullptr;

void CALLBACK ClickOnceTheMenuShows(HWND, UINT, UINT_PTR, DWORD) {
  if (clickedDuringMenu == nullptr || test::ShownMenuWindows().empty()) return;
  PostMessageA(clickedDuringMenu, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  clickedDuringMenu = nullptr;
  EndMenu();  // the loop ends before it takes the click
}

class CharacterActivationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto shown = actor.Show();
    ASSERT_TRUE(DispatchUntil([&] { return *shown == RequestStatus::kDone; }));
    const auto moved = actor.MoveTo(400, 300, 0);
    ASSERT_TRUE(DispatchUntil([&] { return *moved == RequestStatus::kDone; }));
    ActivateUserWindow();
  }

  // The user is typing in the user's window (again).
  void ActivateUserWindow() {
    SetActiveWindow(user.Frame());
    SetFocus(user.Edit());
    ASSERT_TRUE(DispatchUntil([&] { return GetActiveWindow() == user.Frame() && GetFocus() == user.Edit(); }));
  }

  HWND Figure() const { return actor.WindowForTesting().Handle(); }

  // Shows the figure's menu and leaves it without a choice, as when the user clicks
  // elsewhere; the window in the foreground while it showed.
  HWND ForegroundDuringMenu() {
    std::future<HWND> during = std::async(std::launch::async, [figure = Figure()] {
      if (!WaitUntil([] { return !test::ShownMenuWindows().empty(); })) return HWND{};
      const HWND foreground = GetForegroundWindow();
      PostMessageA(figure, WM_CANCELMODE, 0, 0);  // the menu ends when its owner cancels modes
      return foreground;
    });
    SendMessageA(Figure(), WM_RBUTTONUP, 0, MAKELPARAM(64, 70));
    return during.get();
  }

  // Shows the figure's menu and ends it as a click on `clicked` outside it does: the click
  // still waits in the queue when the menu's loop is over. Whether it still waited after the
  // menu (it is taken away).
  bool ClickElsewhereDuringMenu(HWND clicked) {
    clickedDuringMenu = clicked;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, ClickOnceTheMenuShows);
    SendMessageA(Figure(), WM_RBUTTONUP, 0, MAKELPARAM(64, 70));
    KillTimer(nullptr, timer);
    clickedDuringMenu = nullptr;
    MSG click{};
    return PeekMessageA(&click, clicked, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) != FALSE;
  }

  CharacterActor actor{BuiltInCharacter()};
  UserWindow user;
};

TEST_F(CharacterActivationTest, AfterTheFiguresMenuTheUserWindowHasTheActivationAndTheFocusAgain) {
  EXPECT_EQ(ForegroundDuringMenu(), Figure());  // the menu needs the foreground
  EXPECT_EQ(GetActiveWindow(), user.Frame());
  EXPECT_EQ(GetFocus(), user.Edit());
  SYSWAIT(0.1);  // nothing arrives later that takes them away
  EXPECT_EQ(GetActiveWindow(), user.Frame());
  EXPECT_EQ(GetFocus(), user.Edit());
  EXPECT_TRUE(actor.Visible());
}

TEST_F(CharacterActivationTest, AfterTheFiguresMenuAnotherProgramsWindowHasTheForegroundAgain) {
  const OtherThreadsWindow other;
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Frame(); }));
  ForegroundDuringMenu();  // (under Wine nobody holds the foreground meanwhile)
  // Another thread's window comes to the foreground through that thread's own messages.
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Frame(); }));
  EXPECT_TRUE(actor.Visible());
}

TEST_F(CharacterActivationTest, AClickThatEndsTheFiguresMenuOnAnotherWindowOfTheProgramLeavesItTheActivation) {
  const UserWindow clicked({40, 220});
  ActivateUserWindow();
  ASSERT_TRUE(ClickElsewhereDuringMenu(clicked.Frame()));
  EXPECT_NE(GetActiveWindow(), user.Frame());  // not handed back: the click activates its window when it is taken
}

TEST_F(CharacterActivationTest, AClickOnAWindowThatTakesNoActivationLeavesItWithTheUsersWindow) {
  const UserWindow showsOnly({40, 220}, WS_EX_NOACTIVATE);
  ActivateUserWindow();
  ASSERT_TRUE(ClickElsewhereDuringMenu(showsOnly.Frame()));
  EXPECT_EQ(GetActiveWindow(), user.Frame());
  EXPECT_EQ(GetFocus(), user.Edit());
}

TEST_F(CharacterActivationTest, TheFigurePassesOnAnActivationTheSystemGaveIt) {
  EXPECT_EQ(SendMessageA(Figure(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Figure()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  SetActiveWindow(Figure());
  EXPECT_TRUE(DispatchUntil([&] { return GetActiveWindow() == user.Frame(); }));
  EXPECT_EQ(GetFocus(), user.Edit());
}

}  // namespace
}  // namespace memotab::character
