#pragma once

#include <optional>
#include <string>
#include <vector>

namespace memotab {

// The character files installed for the assistant: the full path of every "*.acs" file in
// the directory (default: the Windows directory + "\msagent\chars"), in the order the file
// system lists them. Empty when there are none or the directory does not exist.
std::vector<std::string> GETAGENTSAVAILABLES(const std::optional<std::string>& cDirectory = std::nullopt);

}  // namespace memotab
