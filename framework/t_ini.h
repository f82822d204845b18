#pragma once

#include <string>

#include "date.h"

namespace memotab {

// One settings file of sections and key=value lines, read and written through the
// system's profile functions. Values are kept as text: numbers in decimal, logicals as
// ".T." / ".F.", dates as dd/mm/yyyy.
class TIni {
 public:
  // A name without "." gets ".ini"; a relative name is taken from the current directory
  // (the profile functions would otherwise look in the Windows directory); "" is the
  // system's own settings file.
  explicit TIni(std::string cIniFile = {});

  // The value of the key, of the default's type; the default when the key is missing (or,
  // for text, empty). With lAutoSet, a value equal to the default is written back, so
  // every key read is in the file afterwards.
  int Get(const std::string& cSection, const std::string& cEntry, int uDefault);
  std::string Get(const std::string& cSection, const std::string& cEntry, const std::string& uDefault);
  std::string Get(const std::string& cSection, const std::string& cEntry, const char* uDefault);
  bool Get(const std::string& cSection, const std::string& cEntry, bool uDefault);
  Date Get(const std::string& cSection, const std::string& cEntry, Date uDefault);

  // Writes the value's text form; failures are not reported.
  void Set(const std::string& cSection, const std::string& cEntry, int uValue);
  void Set(const std::string& cSection, const std::string& cEntry, const std::string& uValue);
  void Set(const std::string& cSection, const std::string& cEntry, const char* uValue);
  void Set(const std::string& cSection, const std::string& cEntry, bool uValue);
  void Set(const std::string& cSection, const std::string& cEntry, Date uValue);

  std::string cIniFile;
  bool lAutoSet = true;

 private:
  std::string ReadText(const std::string& section, const std::string& entry, const std::string& fallback) const;
};

}  // namespace memotab
