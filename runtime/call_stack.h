#pragma once

#include <source_location>
#include <string>
#include <vector>

namespace memotab {

// Marks a routine as running for as long as the object lives, so that an error report can
// list the routines that led to an error. Declare one at the start of a routine.
class Routine {
 public:
  explicit Routine(std::source_location where = std::source_location::current());
  Routine(std::string name, int line);
  ~Routine();
  Routine(const Routine&) = delete;
  Routine& operator=(const Routine&) = delete;
};

// The running routines as "NAME(line)", innermost first.
std::vector<std::string> CallStack();

}  // namespace memotab
