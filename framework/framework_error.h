#pragma once

#include <string>

#include "runtime_error.h"

namespace memotab {

// The window framework's name in error reports.
inline constexpr const char* kFrameworkName = "MEMOTAB-FW";

// Raises the framework's RuntimeError with this description (GenCode EG_CREATE unless given).
[[noreturn]] void ThrowFrameworkError(std::string description, int genCode = EG_CREATE);

}  // namespace memotab
