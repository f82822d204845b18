// The reminder dialog of a note, driven as a user would: what it opens with, the time check
// and its spoken messages, Accept and Cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <vector>

#include "app_fixture.h"
#include "gdi_objects.h"
#include "reminder_dialog.h"
#include "screen_shot.h"
#include "t_timer.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

class ReminderDialogTest : public test::AppFixture {
 protected:
  struct Seen {
    std::string status;
    COLORREF statusColour = 0;
    SYSTEMTIME date{};
    std::string time;
  };

  // What the dialog shows as it opens; then `act` drives it.
  static Seen Look(HWND dialog, const std::string& picture) {
    Seen seen;
    const HWND status = GetDlgItem(dialog, 800);
    seen.status = test::WindowText(status);
    const HDC screen = GetDC(nullptr);
    const HDC probe = CreateCompatibleDC(screen);
    SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(probe), reinterpret_cast<LPARAM>(status));
    seen.statusColour = GetTextColor(probe);
    DeleteDC(probe);
    ReleaseDC(nullptr, screen);
    SendMessageA(GetDlgItem(dialog, 101), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&seen.date));
    seen.time = test::ControlText(GetDlgItem(dialog, 102));
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath(picture));
    return seen;
  }
  static void TypeTime(HWND dialog, const char* time) {
    const HWND edit = GetDlgItem(dialog, 102);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(time));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
  }
  // Opens the note's reminder dialog, looks at it (keeping a picture), types `time` when
  // one is given and accepts.
  static Seen OpenAndAccept(uint32_t note, const std::string& picture, const char* time = nullptr) {
    std::future<Seen> seen = test::WhenWindowAppears<Seen>("Recordatorio", [picture, time](HWND dialog) {
      const Seen result = Look(dialog, picture);
      if (time != nullptr) TypeTime(dialog, time);
      test::ClickLikeUser(GetDlgItem(dialog, 103));
      return result;
    });
    RECORDATORIO(note);
    return seen.get();
  }
  // Reads and closes every message box that opens until `done`; returns their texts.
  static std::vector<std::string> CloseMessages(const std::function<bool()>& done) {
    std::vector<std::string> told;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      if (const HWND box = test::FindVisibleWindow("Nota")) {
        told.push_back(test::WindowText(GetDlgItem(box, 0xFFFF)));
        test::ClickButton(box, IDOK);
        test::WaitUntil([&] { return !IsWindow(box); });
      }
      Sleep(20);
    }
    return told;
  }
  static std::function<bool()> QuietFor(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    return [until] { return std::chrono::steady_clock::now() >= until; };
  }
  static constexpr const char* kHoursMessage = "Las horas van de 00 a 23. Corrija e intente de nuevo.";

  std::string Fields(uint32_t recNo) {
    oNota->GoTo(recNo);
    return oNota->GetDate(Nota::FECHA).ToStored() + "|" + oNota->GetText(Nota::HORA) + "|" +
           oNota->GetText(Nota::STATUS);
  }
};

TEST_F(ReminderDialogTest, ANoteWithoutReminderOpensOnTodayAndAcceptStoresIt) {
  const uint32_t note = AddNote("Comprar pan", Date{}, "     ", " ");
  const Seen result = OpenAndAccept(note, "reminder-dialog-no-reminder.bmp", "13:00");
  EXPECT_EQ(result.status, "Esta Nota NO tiene recordatorio");
  EXPECT_EQ(result.statusColour, RGB(128, 0, 0));
  EXPECT_EQ(result.date.wYear, 2026);
  EXPECT_EQ(result.date.wMonth, 12);
  EXPECT_EQ(result.date.wDay, 8);
  EXPECT_EQ(result.time, "  :  ");
  EXPECT_EQ(Fields(note), "20261208|13:00|.");
}

TEST_F(ReminderDialogTest, AnAnnouncedReminderOpensWithItsDateAndTimeAndAcceptRearmsIt) {
  const uint32_t note = AddNote("Dentista", *Date::FromYmd(2027, 1, 15), "09:05", "X");
  const Seen result = OpenAndAccept(note, "reminder-dialog-with-reminder.bmp");
  EXPECT_EQ(result.status, "Esta Nota ya tiene recordatorio programado");
  EXPECT_EQ(result.statusColour, RGB(0, 0, 128));
  EXPECT_EQ(result.date.wYear, 2027);
  EXPECT_EQ(result.date.wDay, 15);
  EXPECT_EQ(result.time, "09:05");
  EXPECT_EQ(Fields(note), "20270115|09:05|.");
}

TEST_F(ReminderDialogTest, CancelAndEscapeChangeNothing) {
  const uint32_t note = AddNote("Dentista", *Date::FromYmd(2027, 1, 15), "09:05", "X");
  const std::string before = Fields(note);
  for (const bool escape : {false, true}) {
    std::future<void> done = test::WhenWindowAppears<void>("Recordatorio", [escape](HWND dialog) {
      TypeTime(dialog, "10:10");
      if (escape) {
        test::PressKey(GetDlgItem(dialog, 102), VK_ESCAPE);
      } else {
        test::ClickLikeUser(GetDlgItem(dialog, 104));
      }
    });
    oNota->GoTo(note);
    RECORDATORIO(note);
    done.get();
    EXPECT_EQ(Fields(note), before);
  }
}

// A dialog that came and went gives back the pictures of its picture controls, those the
// controls loaded for themselves from the template among them.
TEST_F(ReminderDialogTest, DialogsOpenedAndCancelledKeepNoGdiObjects) {
  constexpr int kDialogs = 8;
  const uint32_t note = AddNote("Dentista", Date{}, "     ", " ");
  const auto openAndCancel = [note] {
    std::future<void> done = test::WhenWindowAppears<void>(
        "Recordatorio", [](HWND dialog) { test::ClickLikeUser(GetDlgItem(dialog, 104)); });
    oNota->GoTo(note);
    RECORDATORIO(note);
    done.get();
  };
  // Bitmaps only: Wine's cache of window DCs (a DC, a region and one more object each) fills
  // meanwhile up to its fixed size.
  const auto bitmaps = [] { return test::CountGdiObjectsByKind()["bitmap"]; };
  openAndCancel();  // the system's own bitmaps for such a dialog are made here
  const long long before = bitmaps();
  ASSERT_GT(before, 0);
  for (int i = 0; i < kDialogs; ++i) openAndCancel();
  EXPECT_LT(bitmaps() - before, kDialogs);  // two a dialog were kept before
}

TEST_F(ReminderDialogTest, AWrongTimeIsToldOncePerAttemptAndBlocksAccept) {
  const uint32_t note = AddNote("Dentista", Date{}, "     ", " ");
  oAgent->Hide();  // the messages come in boxes, which the user closes one by one
  // What each attempt made the program say.
  std::future<std::vector<std::vector<std::string>>> seen =
      test::WhenWindowAppears<std::vector<std::vector<std::string>>>("Recordatorio", [](HWND dialog) {
        std::vector<std::vector<std::string>> told;
        const HWND edit = GetDlgItem(dialog, 102);
        TypeTime(dialog, "24:00");
        test::PressKey(edit, VK_TAB);  // leaving the field checks it
        told.push_back(CloseMessages(QuietFor(std::chrono::milliseconds(1500))));
        test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
        test::ClickButton(dialog, 103);  // Accept checks once more and stores nothing
        told.push_back(CloseMessages(QuietFor(std::chrono::milliseconds(1500))));
        test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
        TypeTime(dialog, "10:10");  // a right time lets Cancel through, storing nothing
        test::ClickLikeUser(GetDlgItem(dialog, 104));
        told.push_back(CloseMessages([dialog] { return !IsWindow(dialog); }));
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // so that the test ends
        return told;
      });
  RECORDATORIO(note);
  EXPECT_EQ(seen.get(), (std::vector<std::vector<std::string>>{{kHoursMessage}, {kHoursMessage}, {}}));
  EXPECT_EQ(Fields(note), "        |     | ");
}

TEST_F(ReminderDialogTest, EscapeAndTheCloseBoxAfterAWrongTimeEndWithoutCheckingOrStoring) {
  const uint32_t note = AddNote("Dentista", Date{}, "     ", " ");
  oAgent->Hide();
  for (const bool escape : {true, false}) {
    std::future<std::vector<std::vector<std::string>>> seen =
        test::WhenWindowAppears<std::vector<std::vector<std::string>>>("Recordatorio", [escape](HWND dialog) {
          std::vector<std::vector<std::string>> told;
          const HWND edit = GetDlgItem(dialog, 102);
          TypeTime(dialog, "24:00");
          test::PressKey(edit, VK_TAB);
          told.push_back(CloseMessages(QuietFor(std::chrono::milliseconds(1500))));
          test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
          if (escape) {
            test::PressKey(edit, VK_ESCAPE);
          } else {
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
          }
          told.push_back(CloseMessages([dialog] { return !IsWindow(dialog); }));
          told.push_back(CloseMessages(QuietFor(std::chrono::milliseconds(1000))));  // nothing comes late
          if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
          return told;
        });
    oNota->GoTo(note);
    RECORDATORIO(note);
    const std::vector<std::vector<std::string>> told = seen.get();
    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(told[0], std::vector<std::string>{kHoursMessage}) << escape;  // the refused time was told once
    EXPECT_EQ(told[1], std::vector<std::string>{}) << escape;  // ending it checks nothing more
    EXPECT_EQ(told[2], std::vector<std::string>{}) << escape;
    EXPECT_EQ(Fields(note), "        |     | ") << escape;
  }
}

TEST_F(ReminderDialogTest, TheTimeCheckReadsEachPieceAsANumber) {
  const std::string hours = "Speak(BSTR:Las horas van de 00 a 23. Corrija e intente de nuevo.)";
  const std::string minutes = "Speak(BSTR:Los minutos van de 00 a 59. Corrija e intente de nuevo.)";
  // One message per check: the hours first, the minutes only when the hours are right.
  const auto told = [this](const std::string& message) {
    const std::string calls = Sent();
    return Count(calls, message) == 1 && Count(calls, "Speak(") == 1;
  };
  Sent();
  EXPECT_FALSE(VALIDAHORA("24:00"));
  EXPECT_TRUE(told(hours));
  EXPECT_FALSE(VALIDAHORA("23:60"));
  EXPECT_TRUE(told(minutes));
  EXPECT_FALSE(VALIDAHORA("25:75"));
  EXPECT_TRUE(told(hours));
  EXPECT_FALSE(VALIDAHORA("-1:00"));
  EXPECT_TRUE(told(hours));
  for (const char* accepted : {"  :  ", "12345", "00:00", "23:59", " 9: 5", "ab:cd", "7"}) {
    EXPECT_TRUE(VALIDAHORA(accepted)) << accepted;
  }
  EXPECT_EQ(Count(Sent(), "Speak("), 0);
}

TEST_F(ReminderDialogTest, AcceptStoresIntoTheNoteTheDialogWasOpenedFor) {
  const uint32_t note = AddNote("Esta", Date{}, "     ", " ");
  const uint32_t other = AddNote("Otra", Date{}, "     ", " ");
  // Another note takes the focus, and with it the table's current record, while the
  // dialog is open.
  std::atomic<int> moves = 0;
  const auto focus = TTimer::New(50, [other, &moves] {
    oNota->GoTo(other);
    ++moves;
  }, oWndMain.get());
  focus->Activate();
  std::future<bool> moved = test::WhenWindowAppears<bool>("Recordatorio", [&moves](HWND dialog) {
    TypeTime(dialog, "18:30");
    const int before = moves;
    const bool seen = test::WaitUntil([&] { return moves > before; });
    test::ClickLikeUser(GetDlgItem(dialog, 103));
    return seen;
  });
  oNota->GoTo(note);
  RECORDATORIO(note);
  EXPECT_TRUE(moved.get());  // the record moved after the time was typed, before Accept
  focus->End();
  EXPECT_EQ(Fields(note), "20261208|18:30|.");
  EXPECT_EQ(Fields(other), "        |     | ");
}

}  // namespace
}  // namespace memotab
