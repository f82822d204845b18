#pragma once

#include <string>
#include <vector>

#include "error_block.h"
#include "runtime_error.h"
#include "system_facts.h"

namespace memotab {

// Installs ERRORDIALOG as the handler of every error nobody else handles.
void ERRORSYS();

// The handler. Silent cases first: a division by zero gives 0; a table that another
// process holds (sharing violation or access denied) or an append lock failure sets
// NETERR() and gives the default. Every other error is written to "Error.log" in the
// current directory and shown in the error dialog: Quit (or closing the dialog) ends the
// program with exit code 1, as does Retry while no event loop runs; otherwise the
// user's choice is the answer.
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

// The full report, lines ended by "\r\n".
std::string ErrorReportText(const RuntimeError& error, const ReportContext& context);
// The "Called from" lines of the report, as the dialog lists them.
std::vector<std::string> CalledFromLines(const RuntimeError& error);

}  // namespace memotab
