#include "system_facts.h"

#include "win.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <chrono>
#include <memory>

namespace memotab {

namespace {

const auto programStart = std::chrono::steady_clock::now();

std::string ProgramPath() {
  std::string path(MAX_PATH, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
}

void ReadCpu(SystemFacts& facts) {
  const char* key = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
  char name[256] = {};
  DWORD size = sizeof name;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key, "ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS) {
    facts.cCpuName = name;
  }
  DWORD mhz = 0;
  size = sizeof mhz;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key, "~MHz", RRF_RT_REG_DWORD, nullptr, &mhz, &size) == ERROR_SUCCESS) {
    facts.nCpuMhz = mhz;
  }
}

// The version as the system really is, without the compatibility answers of GetVersionEx.
std::string WindowsVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto getVersion =
      ntdll != nullptr ? reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                       : nullptr;
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (getVersion == nullptr || getVersion(&version) != 0) return {};
  char servicePack[256] = {};
  WideCharToMultiByte(CP_ACP, 0, version.szCSDVersion, -1, servicePack, sizeof servicePack, nullptr, nullptr);
  return std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) + ", Build " +
         std::to_string(version.dwBuildNumber) + " " + servicePack;
}

std::vector<std::string> RunningPrograms() {
  std::vector<std::string> names;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  const std::unique_ptr<void, decltype(&CloseHandle)> owner(snapshot, CloseHandle);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    names.emplace_back(entry.szExeFile);
  }
  return names;
}

int FreePercent(DWORD used, DWORD quota) {
  return quota == 0 ? 0 : static_cast<int>(100 - std::min<DWORD>(used, quota) * 100 / quota);
}

}  // namespace

SystemFacts ReadProgramFacts() {
  SystemFacts facts;
  facts.cProgramPath = ProgramPath();
  facts.nProgramSize = FileSize(facts.cProgramPath);
  facts.nProgramBits = static_cast<int>(sizeof(void*) * 8);
  return facts;
}

SystemFacts ReadSystemFacts() {
  SystemFacts facts = ReadProgramFacts();
  ReadCpu(facts);
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  if (GlobalMemoryStatusEx(&memory)) {
    facts.nMemoryMegabytes = memory.ullTotalPhys / (1024 * 1024);
    facts.nFreeSystemPercent = 100 - static_cast<int>(memory.dwMemoryLoad);
  }
  // A process may hold 10,000 GDI and 10,000 USER objects.
  facts.nFreeGdiPercent = FreePercent(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), 10000);
  facts.nFreeUserPercent = FreePercent(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), 10000);
  facts.cWindowsVersion = WindowsVersion();
  facts.aRunningPrograms = RunningPrograms();
  PROCESS_MEMORY_COUNTERS counters{};
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    facts.nMemoryInUse = counters.WorkingSetSize;
    facts.nMemoryPeak = counters.PeakWorkingSetSize;
  }
  return facts;
}

double SecondsSinceStart() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - programStart).count();
}

}  // namespace memotab
