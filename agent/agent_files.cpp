#include "agent_files.h"

#include "character_file.h"
#include "disk.h"

namespace memotab {

namespace {

std::vector<std::string> FilesOf(const std::string& directory, const std::string& extension) {
  std::vector<std::string> files;
  for (const std::string& name : DIRECTORY(directory + "\\*" + extension)) files.push_back(directory + "\\" + name);
  return files;
}

}  // namespace

std::string CharactersFolder() { return CURDRIVE() + ":\\" + CURDIR() + "\\" + kCharactersFolderName; }

std::vector<std::string> GETAGENTSAVAILABLES(const std::optional<std::string>& cDirectory) {
  if (cDirectory) return FilesOf(*cDirectory, ".acs");
  std::vector<std::string> installed = FilesOf(GETWINDOWSDIR() + "\\msagent\\chars", ".acs");
  if (installed.empty()) installed = FilesOf(CharactersFolder(), character::kExtension);
  return installed;
}

}  // namespace memotab
