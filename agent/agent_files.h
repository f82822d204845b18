#pragma once

#include <optional>
#include <string>
#include <vector>

namespace memotab {

// The folder of the working directory that holds Memotab's own characters.
inline constexpr const char* kCharactersFolderName = "Personajes";
// Its full path, built from the current drive and directory.
std::string CharactersFolder();

// The character files installed for the assistant: the full path of every "*.acs" file in
// the directory (default: the Windows directory + "\msagent\chars"), in the order the file
// system lists them. Without a directory, when the system's folder holds none, Memotab's
// own characters: the character files of the "Personajes" folder of the working
// directory. Empty when there are none or the directory does not exist.
std::vector<std::string> GETAGENTSAVAILABLES(const std::optional<std::string>& cDirectory = std::nullopt);

}  // namespace memotab
