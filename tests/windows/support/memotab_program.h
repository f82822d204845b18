#pragma once

#include <string>

#include "child_process.h"

namespace memotab::test {

// memotab.exe beside the test program (MEMOTAB_EXE_RELATIVE names it from there).
inline std::string ProgramPath() { return BesideTestProgram(MEMOTAB_EXE_RELATIVE).string(); }

// One running copy of memotab.exe, started in a folder holding its files.
class Program : public ChildProcess {
 public:
  explicit Program(const std::string& directory) : ChildProcess(Quoted(ProgramPath()), directory) {}
};

}  // namespace memotab::test
