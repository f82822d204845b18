#pragma once

#include <exception>
#include <functional>
#include <optional>

#include "runtime_error.h"

namespace memotab {

// What the error handler decides for a failed operation.
enum class ErrorAnswer {
  kRetry,    // run the operation again
  kDefault,  // carry on with the operation's default result
  kZero,     // carry on with the result 0 (division by zero)
};

// The one handler of errors nobody else handles. ERRORSYS installs ERRORDIALOG; until then
// (and in tests that install their own) whatever was set here decides.
using ErrorBlock = std::function<ErrorAnswer(const RuntimeError& error)>;
void SetErrorBlock(ErrorBlock block);
ErrorAnswer HandleError(const RuntimeError& error);

// A C++ exception that is not a RuntimeError, as the error the handler reports.
RuntimeError AsRuntimeError(std::exception_ptr exception);

// Runs `operation`; an exception it raises goes to the error handler, whose answer either
// runs the operation again or gives `fallback`. No exception leaves this call, so it is
// the boundary wherever system code (a window procedure) calls the program.
template <typename Operation, typename Value>
Value GuardErrors(Operation&& operation, Value fallback) {
  while (true) {
    std::optional<RuntimeError> error;
    try {
      return operation();
    } catch (...) {
      error = AsRuntimeError(std::current_exception());
    }
    if (HandleError(*error) != ErrorAnswer::kRetry) return fallback;
  }
}

}  // namespace memotab
