#include "error_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "current_directory.h"
#include "event_loop.h"
#include "net_error.h"
#include "t_window.h"
#include "table.h"
#include "work_areas.h"
#include "ui_driver.h"

namespace memotab {
namespace {

constexpr const char* kDialogCaption = "Memotab Framework - Runtime Error";

RuntimeError TableError(int genCode, int osCode, bool canDefault) {
  RuntimeError error(genCode, "DBFFPT", 1001, "Cannot open file", "C:\\notas\\MEMOTAB.DBF", "open", osCode);
  error.lCanDefault = canDefault;
  return error;
}

TEST(ErrorMessage, NamesKindSubsystemDescriptionAndFile) {
  EXPECT_EQ(ERRORMESSAGE(TableError(EG_OPEN, 0, true)), "Error DBFFPT/1001  Cannot open file: C:\\notas\\MEMOTAB.DBF");
  EXPECT_EQ(ERRORMESSAGE(TableError(EG_OPEN, 2, true)),
            "(DOS Error 2) DBFFPT/1001  Cannot open file: C:\\notas\\MEMOTAB.DBF");
  RuntimeError warning(EG_ARG, "", 7, "algo", "", "GoTop");
  warning.nSeverity = 1;
  EXPECT_EQ(ERRORMESSAGE(warning), "Warning \?\?\?/7  algo: GoTop");
}

// Fails the test when the error dialog shows up within a second; answers it with Default.
std::future<bool> ExpectNoDialog() {
  return test::WhenWindowAppears<bool>(
      kDialogCaption,
      [](HWND dialog) {
        if (dialog != nullptr) test::ClickButton(dialog, 213);
        return dialog == nullptr;
      },
      std::chrono::seconds(1));
}

TEST(ErrorDialog, SilentCasesShowNothing) {
  test::InTempDirectory here;
  std::future<bool> noDialog = ExpectNoDialog();
  EXPECT_EQ(ERRORDIALOG(RuntimeError(EG_ZERODIV, "BASE", 1340, "Zero divisor")), ErrorAnswer::kZero);
  SETNETERR(false);
  EXPECT_EQ(ERRORDIALOG(TableError(EG_OPEN, OS_SHARING_VIOLATION, true)), ErrorAnswer::kDefault);
  EXPECT_TRUE(NETERR());
  SETNETERR(false);
  EXPECT_EQ(ERRORDIALOG(TableError(EG_OPEN, OS_ACCESS_DENIED, true)), ErrorAnswer::kDefault);
  EXPECT_TRUE(NETERR());
  SETNETERR(false);
  EXPECT_EQ(ERRORDIALOG(TableError(EG_APPENDLOCK, 0, true)), ErrorAnswer::kDefault);
  EXPECT_TRUE(NETERR());
  EXPECT_TRUE(noDialog.get());
  EXPECT_FALSE(std::filesystem::exists(here.File("Error.log")));
}

TEST(ErrorDialog, OtherErrorsAreReportedAndAnswered) {
  test::InTempDirectory here;
  RuntimeError error = TableError(EG_OPEN, OS_FILE_NOT_FOUND, true);
  error.lCanRetry = true;
  error.aCallStack = {"OCULTARNOTAS(20)", "MAIN(75)"};
  struct Seen {
    bool quit, retry, defaults, seeLog;
    std::string description;
    std::string firstStackLine;
  };
  std::future<Seen> seen = test::WhenWindowAppears<Seen>(kDialogCaption, [](HWND dialog) {
    Seen state{};
    if (dialog == nullptr) return state;
    const auto visible = [&](int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; };
    state = {visible(211), visible(212), visible(213), visible(214), test::WindowText(GetDlgItem(dialog, 201)), ""};
    char line[256] = {};
    SendDlgItemMessageA(dialog, 203, LB_GETTEXT, static_cast<WPARAM>(SendDlgItemMessageA(dialog, 203, LB_GETCURSEL, 0, 0)),
                        reinterpret_cast<LPARAM>(line));
    state.firstStackLine = line;
    test::ClickButton(dialog, 213);  // Default
    return state;
  });
  EXPECT_EQ(ERRORDIALOG(error), ErrorAnswer::kDefault);
  const Seen dialog = seen.get();
  EXPECT_TRUE(dialog.quit && dialog.retry && dialog.defaults && dialog.seeLog);
  EXPECT_EQ(dialog.description, "   Error description: " + ERRORMESSAGE(error));
  EXPECT_EQ(dialog.firstStackLine, "   Called from OCULTARNOTAS(20)");

  // The report on disk holds the same error, in its sections, in order.
  std::ifstream log(here.File("Error.log"), std::ios::binary);
  std::stringstream text;
  text << log.rdbuf();
  const std::string report = text.str();
  size_t position = 0;
  for (const char* part : {"Application\r\n===========\r\n", "   Error description: (DOS Error 2) DBFFPT/1001",
                           "Stack Calls\r\n===========\r\n   Called from OCULTARNOTAS(20)\r\n   Called from MAIN(75)",
                           "System\r\n======\r\n   CPU type: ", "   Windows version: ",
                           "Variables in use\r\n================\r\n", "Linked RDDs\r\n===========\r\n   DBFFPT",
                           "DataBases in use\r\n================\r\n", "Classes in use:\r\n===============\r\n",
                           "Memory Analysis\r\n===============\r\n"}) {
    const size_t found = report.find(part, position);
    EXPECT_NE(found, std::string::npos) << "missing or out of order: " << part;
    if (found != std::string::npos) position = found;
  }
}

TEST(ErrorDialog, RetryIsAnAnswerOnlyWhileTheLoopRuns) {
  test::InTempDirectory here;
  RuntimeError error(EG_WRITE, "DBFFPT", 1004, "Cannot write file");
  error.lCanRetry = true;
  std::future<bool> retried = test::WhenWindowAppears<bool>(kDialogCaption, [](HWND dialog) {
    const bool shown = dialog != nullptr && IsWindowVisible(GetDlgItem(dialog, 212)) &&
                       !IsWindowVisible(GetDlgItem(dialog, 213));
    if (dialog != nullptr) test::ClickButton(dialog, 212);
    return shown;
  });
  SETLWRUNNING(true);
  EXPECT_EQ(ERRORDIALOG(error), ErrorAnswer::kRetry);
  SETLWRUNNING(false);
  EXPECT_TRUE(retried.get());
}

TEST(ErrorBlock, GuardRetriesOrFallsBackAsTheHandlerSays) {
  std::vector<std::string> seen;
  bool retryNext = true;
  SetErrorBlock([&](const RuntimeError& error) {
    seen.push_back(error.cDescription);
    return std::exchange(retryNext, false) ? ErrorAnswer::kRetry : ErrorAnswer::kDefault;
  });
  int attempts = 0;
  const int result = GuardErrors(
      [&]() -> int {
        ++attempts;
        throw RuntimeError(EG_WRITE, "X", 1, "fallo " + std::to_string(attempts));
      },
      -1);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(attempts, 2);
  EXPECT_EQ(seen, (std::vector<std::string>{"fallo 1", "fallo 2"}));

  seen.clear();
  EXPECT_EQ(GuardErrors([]() -> int { throw std::runtime_error("boom"); }, 7), 7);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].find("boom"), std::string::npos);
  SetErrorBlock(nullptr);
}

TEST(ErrorBlock, ErrorsInsideWindowProceduresStopThere) {
  int handled = 0;
  SetErrorBlock([&](const RuntimeError&) {
    ++handled;
    return ErrorAnswer::kDefault;
  });
  const WindowPtr window = TWindow::New({});
  window->bLClicked = [](int, int, int, TWindow&) -> Result { throw RuntimeError(EG_ARG, "X", 1, "en un clic"); };
  EXPECT_EQ(SendMessageA(window->hWnd, WM_LBUTTONDOWN, 0, 0), 0);
  EXPECT_EQ(handled, 1);
  SetErrorBlock(nullptr);
}

TEST(ErrorReport, ListsOpenTablesAndArguments) {
  test::InTempDirectory here;
  const std::string path = test::CreateNoteTable(here.Dir());
  Table table = Table::Open(path, FileAccess::kReadWriteAlone);
  table.AppendBlank();
  const int area = UseWorkArea("Nota", table);
  RuntimeError error(EG_ARG, "BASE", 1081, "Argument error", "", "+");
  error.aArgs = {{'C', "\"abc\""}, {'N', "5"}};
  const std::string report = ErrorReportText(error, ReportContext{});
  CloseWorkArea(area);
  EXPECT_NE(report.find("   Args:\r\n     [   1] = C   \"abc\"\r\n     [   2] = N   5\r\n"), std::string::npos);
  EXPECT_NE(report.find("  1: => Nota" + std::string(11 + 20, ' ') + "RddName: DBFFPT"), std::string::npos) << report;
  EXPECT_NE(report.find("     RecNo    RecCount    BOF   EOF\r\n         1           1    .F.   .F."), std::string::npos);
}

TEST(ErrorReport, ListsTheInnermostRoutinesOfADeepStack) {
  RuntimeError error(EG_ARG, "BASE", 1, "muy hondo");
  error.aCallStack.clear();
  for (int level = 1; level <= 5000; ++level) error.aCallStack.push_back("NIVEL(" + std::to_string(level) + ")");
  const std::vector<std::string> lines = CalledFromLines(error);
  ASSERT_EQ(lines.size(), kReportedRoutines);
  EXPECT_EQ(lines.front(), "   Called from NIVEL(1)");
  EXPECT_EQ(lines.back(), "   Called from NIVEL(72)");
  const std::string report = ErrorReportText(error, ReportContext{});
  EXPECT_EQ(report.find("NIVEL(73)"), std::string::npos);
  size_t variables = 0;
  for (size_t at = 0; (at = report.find("\n   NIVEL\r\n", at)) != std::string::npos; ++at) ++variables;
  EXPECT_EQ(variables, kReportedRoutines);
}

}  // namespace
}  // namespace memotab
