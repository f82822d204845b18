// The reminder timer's tick, driven by direct calls with the clock set by the test: each
// due reminder announced once (by the assistant or in a top-most window), the idle
// animations, and no reminder missed when ticks come late or the clock jumps.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <utility>
#include <vector>

#include "app_fixture.h"
#include "character_window.h"
#include "options.h"
#include "speech_balloon.h"
#include "error_block.h"
#include "reminder_timer.h"
#include "screen_shot.h"
#include "ui_driver.h"
#include "test_files.h"
#include "thread_timer.h"
#include "win.h"

namespace memotab {
namespace {

class ReminderTimerTest : public test::AppFixture {
 protected:
  // The idle animations among the calls: one of the nine, or the call for attention (which
  // plays its three parts).
  static int IdleAnimations(const std::string& calls) {
    int count = Count(calls, "Play(BSTR:GetAttention)");
    for (const std::string& name : aAnimations) count += Count(calls, "Play(BSTR:" + name + ")");
    return count;
  }
};

TEST_F(ReminderTimerTest, ADueNoteIsSpokenOnceInItsMinuteAtTheAssistantsPlace) {
  WriteSetting("AGENTE", "X", "40");
  WriteSetting("AGENTE", "Y", "60");
  const uint32_t due = AddNote("  Comprar pan   ", today, "09:05", ".");
  const uint32_t announced = AddNote("Ya dicha", today, "09:05", "X");
  const uint32_t past = AddNote("Ayer", *Date::FromYmd(2026, 12, 7), "09:05", ".");
  const uint32_t blank = AddNote("Sin hora", today, "  :  ", ".");
  const uint32_t second = AddNote("Llamar", today, "09:05", " ");
  oNota->GoTo(past);
  SetClock(9, 5, 3);
  Sent();
  CHECAAVISOS();
  const std::string calls = Sent();
  EXPECT_EQ(Count(calls, "Speak("), 2) << calls;
  EXPECT_LT(calls.find("Speak(BSTR:Comprar pan)"), calls.find("Speak(BSTR:Llamar)"));
  EXPECT_NE(calls.find("MoveTo(I4:40,I4:60,I4:1000)"), std::string::npos);
  EXPECT_EQ(StatusOf(due), "X");
  EXPECT_EQ(StatusOf(second), "X");
  EXPECT_EQ(StatusOf(announced), "X");
  EXPECT_EQ(StatusOf(past), ".");
  EXPECT_EQ(StatusOf(blank), ".");
  oNota->GoTo(past);
  SetClock(9, 5, 9);
  CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Speak("), 0);
  EXPECT_EQ(oNota->RecNo(), past);  // the scan puts the table back where it found it
  EXPECT_FALSE(oTimer);             // no timer made, none switched on
}

TEST_F(ReminderTimerTest, WithoutTheAssistantEachDueNoteOpensATopMostWindow) {
  WriteSetting("AGENTE", "USAR", ".F.");
  const uint32_t first = AddNote(" Dentista a las 10 ", today, "09:05", ".");
  const uint32_t second = AddNote("Llamar a José", today, "09:05", ".");
  SetClock(9, 5, 30);
  Sent();
  CHECAAVISOS();  // returns at once: the windows stay open
  EXPECT_EQ(StatusOf(first), "X");
  EXPECT_EQ(StatusOf(second), "X");
  EXPECT_EQ(Count(Sent(), "Speak("), 0);

  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        if (IsWindowVisible(window) && test::WindowText(window) == "Recordatorio") {
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  ASSERT_EQ(windows.size(), 2u);
  std::vector<std::string> texts;
  for (const HWND window : windows) {
    char text[128] = {};
    GetWindowTextA(GetDlgItem(window, 101), text, sizeof text);
    texts.emplace_back(text);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  }
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"Dentista a las 10", "Llamar a José"}));
  RECT one{};
  RECT other{};
  GetWindowRect(windows[0], &one);
  GetWindowRect(windows[1], &other);
  EXPECT_EQ(one.left, other.left);
  EXPECT_EQ(one.top, other.top);
  test::DispatchUntil([] { return false; }, std::chrono::milliseconds(300));
  test::SaveWindowPicture(windows[0], test::ArtifactPath("announcement-window.bmp"));
  for (const HWND window : windows) test::ClickButton(window, 102);
  EXPECT_TRUE(test::DispatchUntil([&] { return !IsWindow(windows[0]) && !IsWindow(windows[1]); }));
}

bool tickedInMenu = false;

// Runs the reminder tick once inside a popup menu's loop, then ends the menu.
void CALLBACK TickInsideTheMenu(HWND, UINT, UINT_PTR, DWORD) {
  if (!std::exchange(tickedInMenu, true)) CHECAAVISOS();
  EndMenu();
}

// The assistant's waits inside a menu's loop would hold back the menu's clicks for a whole
// speech: a reminder that falls due while a menu is up is left for the first tick after it.
TEST_F(ReminderTimerTest, ATickInsideAMenuLeavesTheReminderToTheNextTickAfterTheMenu) {
  const uint32_t due = AddNote("Comprar pan", today, "09:05", ".");
  SetClock(9, 4, 55);
  CHECAAVISOS();
  SetClock(9, 5, 3);
  Sent();
  tickedInMenu = false;
  const HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 41, "Primero");
  {
    const test::ThreadTimer tick(50, TickInsideTheMenu);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 10, 10, 0, oWndMain->hWnd, nullptr);
  }
  DestroyMenu(menu);
  ASSERT_TRUE(tickedInMenu);
  EXPECT_EQ(Count(Sent(), "Speak("), 0);
  EXPECT_EQ(StatusOf(due), ".");

  SetClock(9, 6, 1);  // the next tick, in the next minute
  CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Speak(BSTR:Comprar pan)"), 1);
  EXPECT_EQ(StatusOf(due), "X");
}

TEST_F(ReminderTimerTest, TenTicksGiveOneIdleAnimationOfAVisibleAssistantAndNoneOfAHiddenOne) {
  Sent();
  for (int tick = 1; tick <= 9; ++tick) CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Play("), 0);
  CHECAAVISOS();
  EXPECT_EQ(IdleAnimations(Sent()), 1);
  EXPECT_EQ(nTicks, 0);
  for (int tick = 1; tick <= 20; ++tick) CHECAAVISOS();
  EXPECT_EQ(IdleAnimations(Sent()), 2);
  oAgent->Hide();
  Sent();
  for (int tick = 1; tick <= 10; ++tick) CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Play("), 0);
  EXPECT_EQ(nTicks, 0);  // counted all the same
}

TEST_F(ReminderTimerTest, WithoutMainWindowOnlyTheIdleStepRuns) {
  const uint32_t due = AddNote("Comprar pan", today, "09:05", ".");
  DestroyWindow(oWndMain->hWnd);
  CHECAAVISOS();
  EXPECT_EQ(StatusOf(due), ".");
  EXPECT_EQ(nTicks, 1);
}

TEST_F(ReminderTimerTest, TheTimerTicksEverySixSecondsForTheMainWindowAndEndsForGood) {
  ACTIVATEMPO();
  ASSERT_TRUE(oTimer);
  EXPECT_EQ(oTimer->nInterval, 6000);
  EXPECT_EQ(oTimer->hWndOwner, oWndMain->hWnd);
  EXPECT_TRUE(oTimer->lActive);
  // A tick switches the timer off during its scan and on again afterwards.
  AddNote("Comprar pan", today, "09:05", ".");
  oTimer->bAction();
  EXPECT_TRUE(oTimer->lActive);
  const std::weak_ptr<TTimer> ended = oTimer;
  ENDTEMPO();
  EXPECT_FALSE(oTimer);
  EXPECT_TRUE(ended.expired());
}

// The mend: no reminder is missed while the program runs.

TEST_F(ReminderTimerTest, AReminderSavedForTheCurrentMinuteAfterItsFirstTickIsAnnounced) {
  SetClock(9, 5, 1);
  CHECAAVISOS();
  const uint32_t late = AddNote("Guardada tarde", today, "09:05", ".");
  SetClock(9, 5, 7);
  Sent();
  CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Speak(BSTR:Guardada tarde)"), 1);
  EXPECT_EQ(StatusOf(late), "X");
}

TEST_F(ReminderTimerTest, AReminderSavedInTheLastSecondsOfItsMinuteIsAnnouncedInTheNext) {
  SetClock(9, 5, 1);
  CHECAAVISOS();
  SetClock(9, 5, 55);
  CHECAAVISOS();  // the last tick of 09:05
  const uint32_t late = AddNote("Guardada a las 09:05:58", today, "09:05", ".");
  SetClock(9, 6, 3);
  Sent();
  CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Speak(BSTR:Guardada a las 09:05:58)"), 1);
  EXPECT_EQ(StatusOf(late), "X");
  SetClock(9, 6, 9);
  CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Speak("), 0);
}

TEST_F(ReminderTimerTest, AJumpForwardAnnouncesTheSkippedMinutesOnceAndNothingFromBeforeTheStart) {
  const uint32_t beforeStart = AddNote("Antes", today, "08:59", ".");
  AddNote("Nueve y media", today, "09:30", ".");
  AddNote("Casi once", today, "10:59", ".");
  AddNote("Once", today, "11:00", ".");
  const uint32_t future = AddNote("Después", today, "11:01", ".");
  SetClock(9, 0, 2);
  CHECAAVISOS();  // the first scan covers 09:00 alone
  SetClock(11, 0, 4);  // the computer slept
  Sent();
  CHECAAVISOS();
  const std::string calls = Sent();
  EXPECT_EQ(Count(calls, "Speak("), 3) << calls;
  EXPECT_LT(calls.find("Nueve y media"), calls.find("Casi once"));
  EXPECT_LT(calls.find("Casi once"), calls.find("BSTR:Once"));
  EXPECT_EQ(StatusOf(beforeStart), ".");  // left to the pending report
  EXPECT_EQ(StatusOf(future), ".");
  SetClock(11, 0, 10);
  CHECAAVISOS();
  EXPECT_EQ(Count(Sent(), "Speak("), 0);
}

TEST_F(ReminderTimerTest, AClockSetBackAnnouncesNothingTwiceAndStillTheRepeatedHour) {
  const uint32_t first = AddNote("Primera vez", today, "02:30", ".");
  SetClock(2, 30, 1);
  CHECAAVISOS();
  SetClock(3, 10, 0);
  CHECAAVISOS();
  SetClock(2, 10, 0);  // the end of summer time
  Sent();
  CHECAAVISOS();
  const uint32_t repeated = AddNote("Hora repetida", today, "02:30", ".");
  SetClock(2, 31, 0);  // the tick of 02:30 came late
  CHECAAVISOS();
  const std::string calls = Sent();
  EXPECT_EQ(Count(calls, "Speak("), 1) << calls;
  EXPECT_EQ(Count(calls, "Speak(BSTR:Hora repetida)"), 1);
  EXPECT_EQ(StatusOf(first), "X");
  EXPECT_EQ(StatusOf(repeated), "X");
}

TEST_F(ReminderTimerTest, ATableMovedByAHandlerDuringTheScanMakesItSkipOrRepeatNothing) {
  *standIns->requestMilliseconds = 60;  // each speech lets events through while it lasts
  for (const char* text : {"Uno", "Dos", "Tres"}) AddNote(text, today, "09:05", ".");
  const uint32_t current = AddNote("Sin recordatorio", Date{}, "     ", " ");
  int moves = 0;
  const auto mover = TTimer::New(10, [&] {
    ++moves;
    oNota->GoTo(1);  // as a note taking the focus does
  }, oWndMain.get());
  mover->Activate();
  oNota->GoTo(current);
  Sent();
  CHECAAVISOS();
  mover->End();
  const std::string calls = Sent();
  EXPECT_GT(moves, 0);
  EXPECT_EQ(Count(calls, "Speak("), 3) << calls;
  EXPECT_LT(calls.find("BSTR:Uno"), calls.find("BSTR:Dos"));
  EXPECT_LT(calls.find("BSTR:Dos"), calls.find("BSTR:Tres"));
}

// Damages the memo block of a note's text; the table is closed meanwhile.
void DamageTextOf(uint32_t recNo) {
  const std::string tablePath = oNota->Path();
  oNota->Close();
  test::DamageNoteText(tablePath, recNo);
  oNota.emplace(Table::Open(tablePath, FileAccess::kReadWriteAlone));
  oNota->SetDeletedHidden(true);
}

TEST_F(ReminderTimerTest, ANoteWhoseTextCannotBeReadIsReportedOnceAndTheNotesAfterItAreAnnounced) {
  const uint32_t damaged = AddNote("Dañada", today, "09:05", ".");
  const uint32_t after = AddNote("Después de la dañada", today, "09:05", ".");
  DamageTextOf(damaged);
  std::vector<bool> timerOnWhileReported;
  std::vector<bool> skipOffered;
  SetErrorBlock([&](const RuntimeError& error) {
    timerOnWhileReported.push_back(oTimer->lActive);
    skipOffered.push_back(error.lCanDefault);
    return ErrorAnswer::kDefault;
  });
  ACTIVATEMPO();
  Sent();
  EXPECT_NO_THROW({
    for (const double second : {3.0, 9.0, 15.0}) {
      SetClock(9, 5, second);
      oTimer->bAction();
    }
    SetClock(9, 6, 3);
    oTimer->bAction();
  });
  SetErrorBlock(nullptr);
  EXPECT_EQ(timerOnWhileReported, std::vector<bool>{false});  // once, with no tick able to nest
  EXPECT_EQ(skipOffered, std::vector<bool>{true});            // the error dialog offers Default
  EXPECT_TRUE(oTimer->lActive);
  EXPECT_EQ(Count(Sent(), "Speak(BSTR:Después de la dañada)"), 1);
  EXPECT_EQ(StatusOf(after), "X");
  EXPECT_EQ(StatusOf(damaged), ".");  // left as it was
}

class ReminderOnOurCharacterTest : public test::AppFixture {
 protected:
  ReminderOnOurCharacterTest() { UseOurCharacter(); }
};

bool figureGoingAtTick = false;
bool ticked = false;

// The reminder tick, run once from inside whatever the program is waiting for; it notes
// whether the figure was still on the screen then.
void CALLBACK TickOnce(HWND, UINT, UINT_PTR, DWORD) {
  if (std::exchange(ticked, true)) return;
  figureGoingAtTick = IsWindowVisible(test::FindProcessWindow(character::kCharacterWindowClass, nullptr));
  CHECAAVISOS();
}

TEST_F(ReminderOnOurCharacterTest, AReminderDueWhileTheFigureHidesIsSaidByTheFigureShownAgain) {
  const uint32_t due = AddNote("Comprar pan", today, "09:05", ".");
  SetClock(9, 5, 3);
  CHECAAGENTE(false);  // shown at its place, as at start-up
  ASSERT_TRUE(oAgent->IsVisible());
  std::future<bool> said = std::async(std::launch::async, [] {
    return test::WaitUntil([] {
      const HWND balloon = test::FindProcessWindow(character::kSpeechBalloonClass, nullptr);
      return IsWindowVisible(balloon) && test::WindowText(balloon) == "Comprar pan";
    }, std::chrono::seconds(15));  // the figure goes, comes back and speaks
  });
  figureGoingAtTick = false;
  ticked = false;
  const test::ThreadTimer tick(20, TickOnce);
  oAgent->Hide();  // "Ocultar Agente" waits for the figure to go; the tick comes meanwhile
  ASSERT_TRUE(figureGoingAtTick);
  EXPECT_EQ(StatusOf(due), "X");
  EXPECT_TRUE(said.get());
  EXPECT_EQ(AsNumber(oAgent->oResp->Send("STATUS"), -1), 0);  // the speech was said, it did not fail
  EXPECT_TRUE(oAgent->IsVisible());
}

class ReminderWithoutCharacterTest : public test::AppFixture {
 protected:
  ReminderWithoutCharacterTest() { UseNoCharacter(); }
};

TEST_F(ReminderWithoutCharacterTest, AMinuteThatPassesWhileABoxIsOpenIsAnnouncedWhenItCloses) {
  const uint32_t first = AddNote("Primera", today, "09:05", ".");
  const uint32_t second = AddNote("Segunda", today, "09:06", ".");
  SetClock(9, 5, 10);
  std::future<std::string> box = test::WhenWindowAppears<std::string>("Asistente", [this](HWND window) {
    if (window == nullptr) return std::string();
    const std::string text = test::WindowText(GetDlgItem(window, 0xFFFF));
    SetClock(9, 7, 0);  // the box stayed open past the next minute
    test::ClickButton(window, IDOK);
    return text;
  });
  CHECAAVISOS();
  EXPECT_EQ(box.get(), "Primera");
  EXPECT_EQ(StatusOf(first), "X");
  EXPECT_EQ(StatusOf(second), ".");
  std::future<std::string> next = test::WhenWindowAppears<std::string>("Asistente", [](HWND window) {
    if (window == nullptr) return std::string();
    const std::string text = test::WindowText(GetDlgItem(window, 0xFFFF));
    test::ClickButton(window, IDOK);
    return text;
  });
  SetClock(9, 7, 2);
  CHECAAVISOS();
  EXPECT_EQ(next.get(), "Segunda");
  EXPECT_EQ(StatusOf(second), "X");
}

}  // namespace
}  // namespace memotab
