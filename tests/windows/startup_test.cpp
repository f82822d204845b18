// The start-up routines that can run inside a test: paths, the character choice, and one
// whole start and shutdown of the program with the resources it holds counted.
#include "startup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <set>

#include "app_state.h"
#include "clock.h"
#include "current_directory.h"
#include "error_answers.h"
#include "note_table.h"
#include "paths.h"
#include "system_characters.h"
#include "ui_driver.h"
#include "win.h"
#include "window_registry.h"

namespace memotab {
namespace {

TEST(Paths, FilesOfTheWorkingDirectoryCarryTheDrive) {
  test::InTempDirectory here;
  EXPECT_EQ(CurrentDirectoryFile("MEMOTAB.DBF"), here.File("MEMOTAB.DBF"));
  EXPECT_EQ(SettingsFile(), here.File("Memotab.INI"));
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path("C:\\");
  EXPECT_EQ(CurrentDirectoryFile("MEMOTAB.DBF"), "C:\\\\MEMOTAB.DBF");
  std::filesystem::current_path(previous);
}

TEST(Character, ConfiguredFileWinsWhenItExists) {
  test::InTempDirectory here;
  const std::string pepe = here.File("Pepe.acs");
  std::ofstream(pepe) << "x";
  EXPECT_EQ(CHOOSECHARACTER(pepe), pepe);
  EXPECT_EQ(CHOOSECHARACTER(here.File("Missing.acs")), CHOOSECHARACTER(""));
  EXPECT_EQ(CHARACTERNAME("C:\\Personajes\\Lapicero.acs"), "Lapicero");
  EXPECT_EQ(CHARACTERNAME(""), "");
}

TEST(Character, WithoutSystemCharactersOurFirstOneIsTaken) {
  test::InTempDirectory here;
  test::RemoveLeftOverCharacter();
  EXPECT_EQ(CHOOSECHARACTER(""), "");
  std::filesystem::create_directory(here.File("Personajes"));
  std::ofstream(here.File("Personajes\\Nota.mtpj")) << "x";
  EXPECT_EQ(CHOOSECHARACTER(""), here.File("Personajes\\Nota.mtpj"));
  EXPECT_EQ(CHOOSECHARACTER(here.File("Missing.acs")), here.File("Personajes\\Nota.mtpj"));
  EXPECT_EQ(CHARACTERNAME(CHOOSECHARACTER("")), "Nota");
}

// Windows of this thread, children included.
int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM counter) {
        ++*reinterpret_cast<int*>(counter);
        EnumChildWindows(
            window, [](HWND, LPARAM inner) { return ++*reinterpret_cast<int*>(inner), TRUE; }, counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(Program, StartAndShutdownGiveBackWhatTheyTook) {
  test::InTempDirectory here;
  const std::string table = test::CreateNoteTable(here.Dir());
  TWindow::New({})->SendMsg(WM_CLOSE);  // the window class and the system's one-time setup
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  const int windowsBefore = ThreadWindows();

  // The program runs until its main window is closed the way the close box would.
  std::future<bool> mainSeen = std::async(std::launch::async, [] {
    for (int i = 0; i < 500; ++i) {
      if (const HWND main = test::FindProcessWindow("TWINDOW", "Memotab v1.6")) {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
      }
      Sleep(20);
    }
    return false;
  });
  MAIN();
  EXPECT_TRUE(mainSeen.get());

  EXPECT_FALSE(oNota.has_value());
  EXPECT_EQ(ThreadWindows(), windowsBefore);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
  for (size_t slot = 1; slot <= RegistrySize(); ++slot) EXPECT_EQ(RegistryAt(slot), nullptr);
  // The main window's validation ran on the way out: the table is closed and intact.
  Table closedTable = Table::Open(table, FileAccess::kReadWriteAlone);
  EXPECT_EQ(closedTable.LastRec(), 0u);
}

// Three notes to show at start-up; the second one's text cannot be read, and the third one's
// reminder falls due in the start minute, to be announced in its window. Returns the table.
std::string PrepareThreeNotesWithADamagedSecond(const test::InTempDirectory& here, Date today) {
  const std::string path = test::CreateNoteTable(here.Dir());
  {
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    for (const char* text : {"primera", "segunda", "tercera"}) {
      table.AppendBlank();
      table.SetNumber(Nota::X1, 5);
      table.SetNumber(Nota::Y1, 5);
      table.SetNumber(Nota::X2, 30);
      table.SetNumber(Nota::Y2, 20);
      table.SetText(Nota::TEXTO, text);
    }
    table.SetDate(Nota::FECHA, today);
    table.SetText(Nota::HORA, "09:05");
    table.SetText(Nota::STATUS, ".");
  }
  test::DamageNoteText(path, 2);
  std::ofstream(here.File("Memotab.INI")) << "[INICIO]\r\nVER=SI\r\n[AGENTE]\r\nUSAR=.F.\r\n";
  return path;
}

// The program's start-up with a clock stopped at 09:05:03 on a test day.
class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() { ForTestingSetClock([this] { return LocalTime{today, 9 * 3600 + 5 * 60 + 3}; }); }
  ~StartUpTest() override { ForTestingSetClock({}); }

  test::InTempDirectory here;
  Date today = *Date::FromYmd(2026, 12, 8);
};

TEST_F(StartUpTest, ANoteWhoseTextCannotBeReadIsReportedAndTheOtherNotesAndTheTimerStillStart) {
  const std::string table = PrepareThreeNotesWithADamagedSecond(here, today);
  const test::AnswerErrors answered;
  // Once the reminder timer has announced the third note, the notes shown are noted and the
  // program is closed as the close box would.
  std::future<std::set<std::string>> shown = std::async(std::launch::async, [] {
    std::set<std::string> notes;
    if (!test::WaitUntil([] { return test::FindVisibleWindow("Recordatorio") != nullptr; }, std::chrono::seconds(20))) {
      notes.insert("(no announcement)");
    }
    for (const char* title : {"Nota 1", "Nota 2", "Nota 3"}) {
      if (test::FindVisibleWindow(title) != nullptr) notes.insert(title);
    }
    if (const HWND main = test::FindProcessWindow("TWINDOW", "Memotab v1.6")) {
      PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return notes;
  });
  EXPECT_NO_THROW(MAIN());
  EXPECT_EQ(shown.get(), (std::set<std::string>{"Nota 1", "Nota 3"}));
  ASSERT_EQ(answered.errors.size(), 1u);
  EXPECT_EQ(answered.skipOffered, std::vector<bool>{true});  // the error dialog offers to skip the note
  EXPECT_FALSE(oTray);
  Table closedTable = Table::Open(table, FileAccess::kReadWriteAlone);
  closedTable.GoTo(3);
  EXPECT_EQ(closedTable.GetText(Nota::STATUS), "X");
  for (uint32_t recNo = 1; recNo <= 3; ++recNo) {
    closedTable.GoTo(recNo);
    EXPECT_FALSE(closedTable.GetLogical(Nota::ACTIVADA)) << recNo;
  }
}

TEST_F(StartUpTest, AStartUpThatThrowsStillEndsTheTrayIconTheTimerAndTheTable) {
  const std::string table = PrepareThreeNotesWithADamagedSecond(here, today);
  // An error nobody handles: here the error handler itself gives up on the damaged note.
  SetErrorBlock([](const RuntimeError&) -> ErrorAnswer { throw std::runtime_error("gave up"); });
  EXPECT_THROW(MAIN(), std::runtime_error);
  SetErrorBlock(nullptr);
  EXPECT_FALSE(test::HasTrayIcon(GetCurrentProcessId()));
  EXPECT_FALSE(oTray);
  EXPECT_FALSE(oTimer);
  EXPECT_FALSE(oAgent);
  EXPECT_FALSE(oNota.has_value());
  EXPECT_NO_THROW(Table::Open(table, FileAccess::kReadWriteAlone));
  for (const WindowPtr& note : aNoteWindows) {
    if (note && note->hWnd != nullptr) DestroyWindow(note->hWnd);
  }
  if (oWndMain && oWndMain->hWnd != nullptr) DestroyWindow(oWndMain->hWnd);
}

}  // namespace
}  // namespace memotab
