#include "error_log.h"

#include "win.h"

#include <ctime>
#include <optional>
#include <span>

#include "date.h"
#include "error_report.h"
#include "file.h"
#include "system_facts.h"
#include "window_registry.h"

namespace memotab {

namespace {

std::string Now(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string ErrorLogPath() {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  std::string path = directory;
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + "Error.log";
}

void WriteErrorLog(const RuntimeError& error) {
  ReportContext context;
  context.facts = ReadProgramFacts();
  context.nSecondsSinceStart = SecondsSinceStart();
  context.cDate = Date::Today().ToText();
  context.cTime = Now("%H:%M:%S");
  const std::string head = ErrorReportHead(error, context);
  std::optional<File> log;
  try {
    log = File::Create(ErrorLogPath(), FileCreation::kReplace);
    log->WriteAt(0, Bytes(head));
  } catch (const RuntimeError&) {
    return;  // the report is also on the screen
  }

  context.facts = ReadSystemFacts();
  context.aClasses = RegisteredWindowClasses();
#ifdef __VERSION__
  context.cCompiler = "GCC " __VERSION__;
#endif
  const std::string body = ErrorReportBody(error, context);
  try {
    log->WriteAt(head.size(), Bytes(body));
    log->Close();
  } catch (const RuntimeError&) {
    // The head is there; the rest is skipped.
  }
}

void ShowStopBox(const char* text) {
  MessageBoxA(nullptr, text, "Stop", MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace memotab
