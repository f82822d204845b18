#include "paths.h"

#include "disk.h"

namespace memotab {

std::string CurrentDirectoryFile(const std::string& cName) {
  return CURDRIVE() + ":\\" + CURDIR() + "\\" + cName;
}

}  // namespace memotab
