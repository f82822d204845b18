// The start-up routines that can run inside a test: paths, the character choice, and one
// whole start and shutdown of the program with the resources it holds counted.
#include "startup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app_state.h"
#include "current_directory.h"
#include "note_table.h"
#include "paths.h"
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

}  // namespace
}  // namespace memotab
