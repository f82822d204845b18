#pragma once

#include <string>

#include "version.h"

namespace memotab {

inline constexpr const char* kProgramTitle = MEMOTAB_PROGRAM_TITLE;

// The program: prepares the note table and the settings, runs the hidden main window's
// event loop and shuts everything down in order when it is closed. Returns at once, with
// no window made, when another copy of the program holds the note table.
void MAIN();

// The character file the assistant uses: the configured one when it exists, else the first
// installed character, else "".
std::string CHOOSECHARACTER(const std::string& cConfigured);
// A character's name: its file name without folder and extension.
std::string CHARACTERNAME(const std::string& cFile);

}  // namespace memotab
