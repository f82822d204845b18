#pragma once

#include <string>

#include "t_ini.h"

namespace memotab {

// One setting of a settings file, of the default's type; the default when it is missing.
// A value equal to the default is written back, so every key read is in the file afterwards.
template <typename Default>
auto LEEINI(const std::string& cFile, const std::string& cSection, const std::string& cKey, Default uDefault) {
  TIni ini(cFile);
  return ini.Get(cSection, cKey, uDefault);
}

}  // namespace memotab
