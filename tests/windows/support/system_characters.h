#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "disk.h"

namespace memotab::test {

// The name of the character file some tests put in the system's character folder.
inline constexpr const char* kTestsCharacter = "Memotab prueba.acs";

inline std::string SystemCharactersFolder() { return GETWINDOWSDIR() + "\\msagent\\chars"; }

// Removes the tests' character file from the system's character folder, where a run killed
// before it could take it away leaves it (the test system is used again): the tests that
// expect no system character call it first.
inline void RemoveLeftOverCharacter() {
  std::error_code ignored;
  std::filesystem::remove(SystemCharactersFolder() + "\\" + kTestsCharacter, ignored);
}

}  // namespace memotab::test
