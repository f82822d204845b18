#pragma once

#include <string>
#include <vector>

namespace memotab {

// The drive letter of the current directory ("C"), and the current directory without
// drive and leading backslash ("Users\\ana\\Memotab"; "" at the root).
std::string CURDRIVE();
std::string CURDIR();
// The Windows directory, at most 254 characters.
std::string GETWINDOWSDIR();
// The names (without directory) of the ordinary files that match a pattern such as
// "C:\\dir\\*.acs", in the order the file system lists them.
std::vector<std::string> DIRECTORY(const std::string& cPattern);
// Whether a file of that name exists.
bool FILE_EXISTS(const std::string& cPath);

}  // namespace memotab
