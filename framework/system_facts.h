#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace memotab {

// Facts about the computer and the program for the error report. Where the system does
// not offer a fact, the value is empty or 0.
struct SystemFacts {
  std::string cProgramPath;
  uint64_t nProgramSize = 0;
  int nProgramBits = 0;
  std::string cCpuName;
  unsigned nCpuMhz = 0;
  uint64_t nMemoryMegabytes = 0;
  int nFreeSystemPercent = 0;
  int nFreeGdiPercent = 0;
  int nFreeUserPercent = 0;
  std::string cWindowsVersion;  // "major.minor, Build n service pack"
  std::vector<std::string> aRunningPrograms;
  uint64_t nMemoryInUse = 0;
  uint64_t nMemoryPeak = 0;
};

SystemFacts ReadSystemFacts();
// Only the facts about the program file (path, size, bits), which are quick to read.
SystemFacts ReadProgramFacts();

// Seconds since the program started.
double SecondsSinceStart();

}  // namespace memotab
