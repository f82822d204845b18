#include "menu_command_ids.h"

#include "framework_error.h"

namespace memotab {

int MenuCommandIds::Next(const std::function<bool(int)>& inUse) {
  for (int tried = 0; tried <= kLast - kFirst; ++tried) {
    const int id = next_;
    next_ = id == kLast ? kFirst : id + 1;
    if (!inUse(id)) return id;
  }
  ThrowFrameworkError("No menu command identifier is free", EG_ARG);
}

}  // namespace memotab
