#pragma once

#include <string>
#include <vector>

#include "error_block.h"
#include "runtime_error.h"
#include "system_facts.h"

namespace memotab {

// Installs ERRORDIALOG as the handler of every error nobody else handles, and the crash
// handlers (crash_handlers.h).
void ERRORSYS();

// The handler. Silent cases first: a division by zero gives 0; a table that another
// process holds (sharing violation or access denied) or an append lock failure sets
// NETERR() and gives the default. Every other error is written to "Error.log" in the
// current directory and shown in the error dialog: Quit (or closing the dialog) ends the
// program with exit code 1, as does Retry while no event loop runs; otherwise the
// user's choice is the answer. An error raised while an error is reported (while the
// report is gathered, or by a handler running inside the dialog) keeps the first error's
// Error.log, shows the stop box with its message " from Errorsys, line:" and the line,
// and ends the program with exit code 1.
ErrorAnswer ERRORDIALOG(const RuntimeError& error);

// The one-line description of an error.
std::string ERRORMESSAGE(const RuntimeError& error);

// What the report says besides the error itself.
struct ReportContext {
  SystemFacts facts;
  double nSecondsSinceStart = 0;
  std::string cDate;  // dd/mm/yyyy
  std::string cTime;  // hh:mm:ss
  std::vector<std::string> aClasses;
  std::string cCompiler;
};

// The full report, lines ended by "\r\n": its head and then its body.
std::string ErrorReportText(const RuntimeError& error, const ReportContext& context);
// The head of the report: the error, when it occurred and the routines that led to it.
// It needs only the program's facts from the context.
std::string ErrorReportHead(const RuntimeError& error, const ReportContext& context);
// The rest: the system, the routines' variables, the tables, classes and memory.
std::string ErrorReportBody(const RuntimeError& error, const ReportContext& context);
// The "Called from" lines of the report, as the dialog lists them: the innermost
// kReportedRoutines routines.
inline constexpr size_t kReportedRoutines = 72;
std::vector<std::string> CalledFromLines(const RuntimeError& error);

}  // namespace memotab
