#pragma once

#include <string>

namespace memotab {

inline constexpr const char* kSettingsName = "Memotab.INI";

// A file of the program's working directory, as drive letter + ":\" + the current
// directory + "\" + name (at the root the backslash is doubled, which the system accepts).
// Built anew at every call, from the process's current directory, never from where the
// program file is.
std::string CurrentDirectoryFile(const std::string& cName);

// The settings file Memotab.INI in the working directory.
inline std::string SettingsFile() { return CurrentDirectoryFile(kSettingsName); }

}  // namespace memotab
