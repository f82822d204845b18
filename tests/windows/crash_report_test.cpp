// Crashes end in a report, as errors do. memotab_crash_probe installs the program's handlers
// and fails on purpose; what it leaves is checked here: the stop box, its exit code and
// Error.log.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "piped_process.h"
#include "current_directory.h"
#include "ui_driver.h"

namespace memotab {
namespace {

struct Outcome {
  std::string box;  // the stop box's text
  int exitCode = 0;
  std::string log;  // Error.log
};

// Runs the probe; its stop box is kept as a picture among the test artifacts.
Outcome Provoke(const std::string& fault) {
  const std::filesystem::path artifacts = std::filesystem::current_path() / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::string picture = (artifacts / ("crash-" + fault + ".bmp")).string();
  test::InTempDirectory here;
  test::PipedProcess probe(test::BesideThisProgram("memotab_crash_probe"), {fault});
  Outcome outcome;
  outcome.box = test::AnswerMessageBox("Stop", probe.Id(), std::chrono::seconds(30), picture);
  if (outcome.box == "(no message box)") probe.Kill();  // it would never end by itself
  outcome.exitCode = probe.Wait();
  std::ifstream log(here.File("Error.log"), std::ios::binary);
  std::stringstream text;
  text << log.rdbuf();
  outcome.log = text.str();
  return outcome;
}

// The report of a crash: the error as the box shows it, the time, the routines that ran.
void ExpectCrashReport(const Outcome& outcome, const std::string& routine) {
  EXPECT_NE(outcome.log.find("   Error description: " + outcome.box + "\r\n"), std::string::npos) << outcome.log;
  EXPECT_TRUE(std::regex_search(outcome.log, std::regex("   Error occurred at: \\d\\d/\\d\\d/\\d{4}, \\d\\d:\\d\\d:\\d\\d\r\n")));
  EXPECT_TRUE(std::regex_search(outcome.log, std::regex("   Called from " + routine + "\\(\\d+\\)\r\n   Called from PROBE\\(")))
      << outcome.log;
  EXPECT_NE(outcome.log.find("System\r\n======\r\n"), std::string::npos);
}

TEST(CrashReport, AccessViolation) {
  const Outcome outcome = Provoke("access-violation");
  EXPECT_EQ(static_cast<DWORD>(outcome.exitCode), EXCEPTION_ACCESS_VIOLATION);
  EXPECT_TRUE(std::regex_match(outcome.box, std::regex("Error MEMOTAB-FW/9001  Access violation writing address "
                                                       "0x0000000000000010: at memotab_crash_probe\\.exe\\+0x[0-9A-F]+ "
                                                       "\\(0x[0-9A-F]{16}\\)")))
      << outcome.box;
  ExpectCrashReport(outcome, "ACCESSVIOLATION");
}

TEST(CrashReport, StackOverflow) {
  const Outcome outcome = Provoke("stack-overflow");
  EXPECT_EQ(static_cast<DWORD>(outcome.exitCode), EXCEPTION_STACK_OVERFLOW);
  EXPECT_TRUE(std::regex_match(outcome.box, std::regex("Error MEMOTAB-FW/9001  Stack overflow: at memotab_crash_probe.*")))
      << outcome.box;
  ExpectCrashReport(outcome, "STACKOVERFLOW");
}

TEST(CrashReport, Terminate) {
  const Outcome outcome = Provoke("terminate");
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_TRUE(std::regex_match(outcome.box, std::regex("Error MEMOTAB-FW/9002  Unexpected end \\(std::terminate\\): "
                                                       "Unexpected failure: la nota no cabe: at .*")))
      << outcome.box;
  ExpectCrashReport(outcome, "TERMINATE");
}

TEST(CrashReport, ExceptionNobodyCatches) {
  const Outcome outcome = Provoke("uncaught-exception");
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_TRUE(outcome.box.starts_with("Error MEMOTAB-FW/9002  Unexpected end (std::terminate): "
                                      "Unexpected failure: nadie la atrapa: at "))
      << outcome.box;
  ExpectCrashReport(outcome, "UNCAUGHT");
}

TEST(CrashReport, ErrorWhileTheReportIsGatheredKeepsTheFirstReport) {
  const Outcome outcome = Provoke("nested-error");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_TRUE(std::regex_match(outcome.box, std::regex("Error MEMOTAB-FW/11  Not enough memory from Errorsys, line:[ \\d]{3}")))
      << outcome.box;
  // The head of the first error's report, and nothing of the nested one.
  EXPECT_NE(outcome.log.find("   Error description: Error MEMOTAB-FW/24  La nota no se pudo guardar\r\n"), std::string::npos)
      << outcome.log;
  EXPECT_TRUE(std::regex_search(outcome.log, std::regex("   Called from NESTEDERROR\\(\\d+\\)\r\n   Called from PROBE\\(")));
  EXPECT_EQ(outcome.log.find("memory"), std::string::npos);
}

}  // namespace
}  // namespace memotab
