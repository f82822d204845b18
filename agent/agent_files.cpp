#include "agent_files.h"

#include "disk.h"

namespace memotab {

std::vector<std::string> GETAGENTSAVAILABLES(const std::optional<std::string>& cDirectory) {
  const std::string directory = cDirectory.value_or(GETWINDOWSDIR() + "\\msagent\\chars");
  std::vector<std::string> characters;
  for (const std::string& name : DIRECTORY(directory + "\\*.acs")) characters.push_back(directory + "\\" + name);
  return characters;
}

}  // namespace memotab
