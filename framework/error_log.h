#pragma once

#include <string>

#include "runtime_error.h"

namespace memotab {

// "Error.log" in the current directory.
std::string ErrorLogPath();

// Writes the report of `error` to "Error.log", replacing the last one, in two steps: first
// the report's head (the error, when it occurred, the routines that led to it), then its
// body (the system, the tables...). A file that cannot be written is skipped. Anything
// else raised while the body is gathered goes to the caller and leaves the head on disk.
void WriteErrorLog(const RuntimeError& error);

// The stop box, for when the error dialog cannot be shown: the text, an OK button and the
// stop icon, above every other window.
void ShowStopBox(const char* text);

}  // namespace memotab
