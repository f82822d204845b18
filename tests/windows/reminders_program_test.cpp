// Reminders and options in memotab.exe itself, driven with the X pointer as a user would:
// a reminder set through the note menu and its dialog is announced once in its minute;
// the options chosen from the tray menu give a new note its colour.
#include <gtest/gtest.h>

#include <functional>

#include "note_table.h"
#include "memotab_program.h"
#include "program_character.h"
#include "program_menus.h"
#include "screen_shot.h"
#include "t_ini.h"
#include "table.h"
#include "test_files.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

using test::CentreOf;

// A window the program tells something in: how a test finds it among the program's
// windows, reads what it says and closes it as a user would.
struct AnnouncementWindow {
  const char* name;
  std::function<HWND(DWORD processId)> find;
  std::function<std::string(HWND)> text;
  std::function<void(HWND)> dismiss;
};

// The character's speech balloon: its window text is what it has said so far.
AnnouncementWindow SpeechBalloon() {
  return {.name = "speech-balloon",
          .find = test::ShownSpeechBalloon,
          .text = test::SaidText,
          .dismiss = test::DismissSpeechBalloon};
}

class RemindersProgramTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir.Path().string(); }
  std::string Settings() const { return dir.File("Memotab.INI"); }

  // A table with one note, open at start-up.
  void OneNote(const std::string& text) {
    Table notes = Table::Open(test::CreateNoteTable(dir), FileAccess::kReadWriteAlone);
    notes.AppendBlank();
    notes.SetNumber(Nota::X1, 20);
    notes.SetNumber(Nota::Y1, 8);
    notes.SetNumber(Nota::X2, 45);
    notes.SetNumber(Nota::Y2, 22);
    notes.SetNumber(Nota::CLRNOTA, 65535);
    notes.SetText(Nota::TEXTO, text);
  }

  // Sets a reminder `minutesAhead` minutes from now through the note's menu and the
  // reminder dialog; returns the time typed, "HH:MM".
  std::string SetReminderThroughTheNoteMenu(const test::Program& program, int minutesAhead) {
    HWND note = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] {
      note = test::FindProcessWindow("TWINDOW", "Nota 1", program.Id());
      return note != nullptr && IsWindowVisible(note);
    }));
    if (note == nullptr) return {};
    const HWND menu = test::RightClickForMenu(program.Id(), CentreOf(note));
    EXPECT_TRUE(menu != nullptr && test::ChooseMenuItem(program.Id(), menu, test::kNoteMenuLayout, 5));  // Recordatorio
    HWND dialog = nullptr;
    EXPECT_TRUE(test::WaitUntil([&] { return (dialog = test::FindVisibleWindow("Recordatorio", program.Id())) != nullptr; }));
    if (dialog == nullptr) return {};
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int minute = now.wHour * 60 + now.wMinute + minutesAhead;
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", minute / 60, minute % 60);
    const HWND edit = GetDlgItem(dialog, 102);
    const POINT onEdit = CentreOf(edit);
    test::ClickMouse(onEdit.x, onEdit.y);
    test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(time));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
    const POINT onAccept = CentreOf(GetDlgItem(dialog, 103));
    test::ClickMouse(onAccept.x, onAccept.y);
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog); }));
    return time;
  }

  // Waits for announcements in `where` until the minute after `time` is over; returns, for
  // each, its text and the minute it appeared in, and closes it as a user would.
  std::vector<std::pair<std::string, std::string>> Announcements(const test::Program& program, const std::string& time,
                                                                 const AnnouncementWindow& where) {
    std::vector<std::pair<std::string, std::string>> seen;
    const auto minuteNow = [] {
      SYSTEMTIME now{};
      GetLocalTime(&now);
      char text[8];
      std::snprintf(text, sizeof text, "%02d:%02d", now.wHour, now.wMinute);
      return std::string(text);
    };
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::minutes(4)) {
      if (const HWND window = where.find(program.Id())) {
        const std::string minute = minuteNow();
        seen.emplace_back(where.text(window), minute);
        test::SaveWindowPicture(window, test::ArtifactPath(std::string("announced-") + where.name + ".bmp"));
        where.dismiss(window);
        test::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
      }
      if (!seen.empty() && minuteNow() > time && std::chrono::steady_clock::now() - start > std::chrono::seconds(10)) {
        // One more tick past the minute: nothing more may come.
        if (!test::WaitUntil([&] { return where.find(program.Id()) != nullptr; }, std::chrono::seconds(7))) break;
      }
      Sleep(100);
    }
    return seen;
  }

  void CloseAndExpectStatus(const test::Program& program, const std::string& time) {
    PostMessageA(program.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(program.WaitForExit(15000), 0u);
    Table notes = Table::Open(dir.File(kNoteTableName), FileAccess::kReadOnly);
    notes.GoTo(1);
    EXPECT_EQ(notes.GetText(Nota::HORA), time);
    EXPECT_EQ(notes.GetText(Nota::STATUS), "X");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(notes.GetDate(Nota::FECHA), Date::FromYmd(now.wYear, now.wMonth, now.wDay));
  }

  // A note with that text gets a reminder two minutes ahead through its menu; the program
  // announces it once, in that minute, in `where`, and marks it announced.
  void ExpectAnnouncedOnceInItsMinute(const std::string& text, const AnnouncementWindow& where) {
    if (NearMidnight()) GTEST_SKIP() << "the reminder would fall on another day";
    OneNote(text);
    test::Program program(Folder());
    ASSERT_NE(program.MainWindow(), nullptr);
    const std::string time = SetReminderThroughTheNoteMenu(program, 2);
    ASSERT_FALSE(time.empty());
    const auto seen = Announcements(program, time, where);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, text);
    EXPECT_EQ(seen[0].second, time);
    CloseAndExpectStatus(program, time);
  }

  static bool NearMidnight() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour == 23 && now.wMinute >= 55;
  }

  test::TempDir dir;
};

TEST_F(RemindersProgramTest, TheCharacterSaysTheReminderOnceInItsSpeechBalloon) {
  ExpectAnnouncedOnceInItsMinute("Llamar al dentista", SpeechBalloon());
}

TEST_F(RemindersProgramTest, WithTheAssistantNotUsedTheReminderComesOnceInItsOwnWindow) {
  TIni(Settings()).Set("AGENTE", "USAR", false);
  ExpectAnnouncedOnceInItsMinute("Comprar pan", {.name = "Recordatorio",
                                                 .find = [](DWORD id) { return test::FindVisibleWindow("Recordatorio", id); },
                                                 .text = [](HWND window) { return test::ControlText(GetDlgItem(window, 101)); },
                                                 .dismiss = [](HWND window) { test::ClickButton(window, 102); }});
}

TEST_F(RemindersProgramTest, TheDefaultNoteColourChosenInTheOptionsColoursTheNextNewNote) {
  OneNote("Primera");
  test::Program program(Folder());
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(test::WaitUntil([] { return test::TrayIcon() != nullptr; }));
  ASSERT_TRUE(test::ChooseTrayItem(program.Id(), 5));  // Configurar

  HWND options = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (options = test::FindVisibleWindow("Opciones", program.Id())) != nullptr; }));
  // The colours page: its tab is the second one, right of "&Notas".
  HWND colours = nullptr;
  EnumChildWindows(
      options,
      [](HWND child, LPARAM found) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "ComboBox" && GetDlgCtrlID(child) == 101 &&
            (GetWindowLongA(child, GWL_STYLE) & CBS_OWNERDRAWFIXED) != 0 && *reinterpret_cast<HWND*>(found) == nullptr) {
          *reinterpret_cast<HWND*>(found) = child;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&colours));
  ASSERT_NE(colours, nullptr);
  RECT tabs{};
  GetWindowRect(GetDlgItem(options, 101), &tabs);
  for (int x = tabs.left + 50; x < tabs.left + 140 && !IsWindowVisible(colours); x += 15) {
    test::ClickMouse(x, tabs.top + 10);
    test::WaitUntil([&] { return IsWindowVisible(colours) != FALSE; }, std::chrono::milliseconds(700));
  }
  ASSERT_TRUE(IsWindowVisible(colours));
  test::SaveWindowPicture(options, test::ArtifactPath("options-from-the-tray.bmp"));
  const POINT onColours = CentreOf(colours);
  test::ClickMouse(onColours.x, onColours.y);  // drops the list down
  test::WaitUntil([&] { return SendMessageA(colours, CB_GETDROPPEDSTATE, 0, 0) != 0; });
  test::Xdotool("key Up Return");  // Amarillo -> Magenta Brillante
  ASSERT_TRUE(test::WaitUntil([&] { return SendMessageA(colours, CB_GETCURSEL, 0, 0) == 13; }));
  const POINT onAccept = CentreOf(GetDlgItem(options, 102));
  test::ClickMouse(onAccept.x, onAccept.y);
  // The character tells that the changes wait for a restart.
  const AnnouncementWindow balloon = SpeechBalloon();
  HWND told = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (told = balloon.find(program.Id())) != nullptr; }));
  EXPECT_EQ(balloon.text(told), "Los cambios tendrán efecto cuando reinicie Memotab v1.6");
  balloon.dismiss(told);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(told); }));

  ASSERT_TRUE(test::ChooseTrayItem(program.Id(), 2));  // Nueva nota
  HWND second = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] {
    second = test::FindProcessWindow("TWINDOW", "Nota 2", program.Id());
    return second != nullptr && IsWindowVisible(second);
  }));
  RECT noteArea{};
  GetWindowRect(second, &noteArea);
  const RECT inside{noteArea.left + 4, noteArea.bottom - 12, noteArea.right - 4, noteArea.bottom - 4};
  EXPECT_TRUE(test::WaitUntil([&] { return test::ScreenShot(inside).Holds(inside, RGB(255, 0, 255)); }));

  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(program.WaitForExit(15000), 0u);
  TIni ini(Settings());
  ini.lAutoSet = false;
  EXPECT_EQ(ini.Get("COLORES", "NOTA", 0), 14);
  Table notes = Table::Open(dir.File(kNoteTableName), FileAccess::kReadOnly);
  ASSERT_EQ(notes.LastRec(), 2u);
  notes.GoTo(2);
  EXPECT_EQ(static_cast<int32_t>(notes.GetNumber(Nota::CLRNOTA)), 0xFF00FF);
}

}  // namespace
}  // namespace memotab
