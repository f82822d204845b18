#pragma once

#include <string>

namespace memotab {

// The system's own text for one of its error codes (GetLastError() on Windows, errno
// elsewhere), without a trailing line break or full stop.
std::string SystemMessage(unsigned long code);

}  // namespace memotab
