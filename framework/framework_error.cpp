#include "framework_error.h"

namespace memotab {

void ThrowFrameworkError(std::string description, int genCode) {
  throw RuntimeError(genCode, kFrameworkName, genCode, std::move(description));
}

}  // namespace memotab
