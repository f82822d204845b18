// memotab.exe as a user meets it: started in a folder holding the note table, closed,
// started twice, started on a damaged or missing table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "memotab_program.h"
#include "note_table.h"
#include "table.h"
#include "test_files.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

using test::Program;
using test::ProgramPath;
using test::ReadBytes;

constexpr const char* kErrorCaption = "Memotab Framework - Runtime Error";

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ProgramTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir.Path().string(); }

  test::TempDir dir;
};

TEST_F(ProgramTest, StartUpPacksTheTableAndMarksEveryNoteClosed) {
  const std::string table = test::CreateNoteTable(dir);
  {
    Table notes = Table::Open(table, FileAccess::kReadWriteAlone);
    for (int i = 1; i <= 4; ++i) {
      notes.AppendBlank();
      notes.SetNumber(Nota::X1, i);
      notes.SetText(Nota::TEXTO, "nota " + std::to_string(i));
      notes.SetLogical(Nota::ACTIVADA, i != 3);
    }
    notes.GoTo(2);
    notes.Delete();
  }
  Program program(Folder());
  ASSERT_TRUE(program.Started()) << ProgramPath();
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr) << "no main window that hides itself once the program has started";
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(main); }));
  // The assistant has its character, from Memotab's own service, shown as the settings ask.
  HWND character = nullptr;
  EXPECT_TRUE(test::WaitUntil([&] {
    character = test::FindProcessWindow("MemotabCharacter", nullptr, program.Id());
    return character != nullptr && IsWindowVisible(character);
  }));
  RECT bar{};
  GetWindowRect(main, &bar);
  EXPECT_EQ(bar.right - bar.left, 325);
  EXPECT_EQ(bar.bottom - bar.top, 71);

  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(program.WaitForExit(10000), 0u);

  Table notes = Table::Open(table, FileAccess::kReadOnly);
  ASSERT_EQ(notes.LastRec(), 3u);
  std::vector<std::string> texts;
  for (notes.GoTop(); !notes.Eof(); notes.Skip()) {
    EXPECT_FALSE(notes.Deleted());
    EXPECT_FALSE(notes.GetLogical(Nota::ACTIVADA));
    texts.push_back(notes.GetText(Nota::TEXTO));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"nota 1", "nota 3", "nota 4"}));
  EXPECT_EQ(FileText(dir.File("Memotab.INI")).find("[AGENTE]\r\nVISIBLE=.T.\r\nUSAR=.T.\r\nARCHIVO=\r\n"), 0u);
}

TEST_F(ProgramTest, MainWindowToolbarAndAboutBoxAsAUserSeesThem) {
  test::CreateNoteTable(dir);
  Program program(Folder());
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  HWND bar = nullptr;  // made while the program starts
  ASSERT_TRUE(test::WaitUntil([&] { return (bar = FindWindowExA(main, nullptr, TOOLBARCLASSNAMEA, nullptr)) != nullptr; }));
  const std::filesystem::path artifacts = std::filesystem::current_path() / "artifacts";
  std::filesystem::create_directories(artifacts);
  // Shown as the tray icon will. The start-up hides the window when it ends, which may come
  // after this: it is shown again until it stays shown and painted.
  const std::string picture = (artifacts / "main-window.bmp").string();
  EXPECT_TRUE(test::WaitUntil([&] {
    ShowWindow(main, SW_SHOWNA);
    UpdateWindow(main);
    return IsWindowVisible(main) && test::SaveWindowPicture(main, picture) > 20;
  }));

  PostMessageA(main, WM_COMMAND, 5, reinterpret_cast<LPARAM>(bar));  // "Acerca de"
  HWND about = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (about = test::FindVisibleWindow("Acerca de..", program.Id())) != nullptr; }));
  const std::string aboutPicture = (artifacts / "about-box.bmp").string();
  EXPECT_TRUE(test::WaitUntil([&] { return test::SaveWindowPicture(about, aboutPicture) > 20; }));  // once painted
  EXPECT_EQ(test::WindowText(GetDlgItem(about, 500)), "Memotab v1.6");
  test::ClickButton(about, 400);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(about); }));

  PostMessageA(main, WM_COMMAND, 7, reinterpret_cast<LPARAM>(bar));  // "Salir de Memotab v1.6"
  EXPECT_EQ(program.WaitForExit(10000), 0u);
}

TEST_F(ProgramTest, SecondCopyShowsTheInUseMessageAndEnds) {
  const std::string table = test::CreateNoteTable(dir);
  const auto tableBefore = ReadBytes(table);
  const auto memoBefore = ReadBytes(dir.File("MEMOTAB.FPT"));
  Program first(Folder());
  const HWND main = first.MainWindow();
  ASSERT_NE(main, nullptr);

  Program second(Folder());
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(test::AnswerMessageBox("Memotab v1.6", second.Id(), std::chrono::seconds(10)),
            "Memotab v1.6 ya está siendo usado!");
  EXPECT_EQ(second.WaitForExit(10000), 0u);
  EXPECT_EQ(first.WaitForExit(300), STILL_ACTIVE);  // the first copy runs on

  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(first.WaitForExit(10000), 0u);
  EXPECT_EQ(ReadBytes(table), tableBefore);
  EXPECT_EQ(ReadBytes(dir.File("MEMOTAB.FPT")), memoBefore);
}

struct ErrorDialogSeen {
  bool found = false;
  bool retry = false;
  bool defaults = false;
  bool seeLog = false;
};

std::future<ErrorDialogSeen> AnswerErrorDialog(DWORD processId, int button) {
  return test::WhenWindowAppears<ErrorDialogSeen>(
      kErrorCaption,
      [button](HWND dialog) {
        ErrorDialogSeen seen;
        if (dialog == nullptr) return seen;
        const auto visible = [&](int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; };
        seen = {true, visible(212), visible(213), visible(214)};
        test::ClickButton(dialog, button);
        return seen;
      },
      std::chrono::seconds(10), processId);
}

TEST_F(ProgramTest, DamagedTableIsReportedAndLeftAsItWas) {
  const std::string table = test::CreateNoteTable(dir);
  std::vector<uint8_t> damaged = ReadBytes(table);
  damaged[0] = 0x07;
  test::WriteBytes(table, damaged);
  const auto memo = ReadBytes(dir.File("MEMOTAB.FPT"));

  Program program(Folder());
  std::future<ErrorDialogSeen> seen = AnswerErrorDialog(program.Id(), 211);  // Quit
  const ErrorDialogSeen dialog = seen.get();
  EXPECT_TRUE(dialog.found);
  EXPECT_FALSE(dialog.retry);
  EXPECT_FALSE(dialog.defaults);
  EXPECT_TRUE(dialog.seeLog);
  EXPECT_EQ(program.WaitForExit(10000), 1u);

  const std::string report = FileText(dir.File("Error.log"));
  EXPECT_NE(report.find("Corrupt table: the version byte 0x07"), std::string::npos) << report;
  EXPECT_NE(report.find(table), std::string::npos);
  EXPECT_NE(report.find("   Error occurred at: "), std::string::npos);
  EXPECT_NE(report.find("   Called from MAIN("), std::string::npos);
  EXPECT_NE(report.find("Memory Analysis\r\n"), std::string::npos);  // the whole report
  EXPECT_EQ(ReadBytes(table), damaged);
  EXPECT_EQ(ReadBytes(dir.File("MEMOTAB.FPT")), memo);
}

TEST_F(ProgramTest, MissingTableIsReportedAndNeverCreated) {
  Program program(Folder());
  std::future<ErrorDialogSeen> seen = AnswerErrorDialog(program.Id(), 213);  // Default: the open fails
  EXPECT_TRUE(seen.get().defaults);
  EXPECT_EQ(program.WaitForExit(10000), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("MEMOTAB.DBF")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("MEMOTAB.FPT")));
  const std::string report = FileText(dir.File("Error.log"));
  EXPECT_NE(report.find("(DOS Error 2) DBFFPT/1001  Cannot open file"), std::string::npos) << report;
  EXPECT_NE(report.find(dir.File("MEMOTAB.DBF")), std::string::npos);
}

}  // namespace
}  // namespace memotab
