#include "t_ini.h"

#include "win.h"

namespace memotab {

namespace {

constexpr DWORD kValueBuffer = 1024;  // values are cut to 1023 characters

std::string LogicalText(bool value) { return value ? ".T." : ".F."; }

std::string Upper(std::string text) {
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string FullPath(std::string name) {
  if (name.empty()) return "win.ini";
  if (name.find(".") == std::string::npos) name += ".ini";
  char full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : name;
}

}  // namespace

TIni::TIni(std::string file) : cIniFile(FullPath(std::move(file))) {}

std::string TIni::ReadText(const std::string& section, const std::string& entry, const std::string& fallback) const {
  char value[kValueBuffer] = {};
  GetPrivateProfileStringA(section.c_str(), entry.c_str(), fallback.c_str(), value, kValueBuffer, cIniFile.c_str());
  return value[0] == '\0' ? fallback : std::string(value);
}

int TIni::Get(const std::string& cSection, const std::string& cEntry, int uDefault) {
  const int value =
      static_cast<int>(GetPrivateProfileIntA(cSection.c_str(), cEntry.c_str(), uDefault, cIniFile.c_str()));
  if (value == uDefault && lAutoSet) Set(cSection, cEntry, uDefault);
  return value;
}

std::string TIni::Get(const std::string& cSection, const std::string& cEntry, const std::string& uDefault) {
  std::string value = ReadText(cSection, cEntry, uDefault);
  if (value == uDefault && lAutoSet) Set(cSection, cEntry, uDefault);
  return value;
}

std::string TIni::Get(const std::string& cSection, const std::string& cEntry, const char* uDefault) {
  return Get(cSection, cEntry, std::string(uDefault));
}

bool TIni::Get(const std::string& cSection, const std::string& cEntry, bool uDefault) {
  const bool value = Upper(ReadText(cSection, cEntry, LogicalText(uDefault))) == ".T.";
  if (value == uDefault && lAutoSet) Set(cSection, cEntry, uDefault);
  return value;
}

Date TIni::Get(const std::string& cSection, const std::string& cEntry, Date uDefault) {
  const Date value = Date::FromText(ReadText(cSection, cEntry, uDefault.ToText()));
  if (value == uDefault && lAutoSet) Set(cSection, cEntry, uDefault);
  return value;
}

void TIni::Set(const std::string& cSection, const std::string& cEntry, int uValue) {
  Set(cSection, cEntry, std::to_string(uValue));
}

void TIni::Set(const std::string& cSection, const std::string& cEntry, const std::string& uValue) {
  WritePrivateProfileStringA(cSection.c_str(), cEntry.c_str(), uValue.c_str(), cIniFile.c_str());
}

void TIni::Set(const std::string& cSection, const std::string& cEntry, const char* uValue) {
  Set(cSection, cEntry, std::string(uValue));
}

void TIni::Set(const std::string& cSection, const std::string& cEntry, bool uValue) {
  Set(cSection, cEntry, LogicalText(uValue));
}

void TIni::Set(const std::string& cSection, const std::string& cEntry, Date uValue) {
  Set(cSection, cEntry, uValue.ToText());
}

}  // namespace memotab
