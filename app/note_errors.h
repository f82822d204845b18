#pragma once

#include <exception>

#include "error_block.h"

namespace memotab {

// Runs `step`, the work on one note. Its error goes to the error handler with "Default"
// offered, which leaves that note out and lets the work on the other notes go on.
// False when the step failed and the note was left out.
template <typename Step>
bool SkipNoteOnError(Step&& step) {
  return GuardErrors(
      [&] {
        try {
          step();
        } catch (...) {
          RuntimeError error = AsRuntimeError(std::current_exception());
          error.lCanDefault = true;
          throw error;
        }
        return true;
      },
      false);
}

}  // namespace memotab
