#pragma once

#include <string>

#include "child_process.h"
#include "system_characters.h"

namespace memotab::test {

// memotab.exe beside the test program (MEMOTAB_EXE_RELATIVE names it from there).
inline std::string ProgramPath() { return BesideTestProgram(MEMOTAB_EXE_RELATIVE).string(); }

// One running copy of memotab.exe, started in a folder holding its files. The program takes
// the system's characters before its own, so a test character a killed run left goes first.
class Program : public ChildProcess {
 public:
  explicit Program(const std::string& directory) : ChildProcess(CommandLine(), directory) {}

 private:
  static std::wstring CommandLine() {
    RemoveLeftOverCharacter();
    return Quoted(ProgramPath());
  }
};

}  // namespace memotab::test
