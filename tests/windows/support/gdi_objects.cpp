#include "gdi_objects.h"

#include <winternl.h>

#include <cstdint>
#include <vector>

namespace memotab::test {

namespace {

constexpr size_t kTableField = 0xF8;  // in a 64-bit process environment block
constexpr size_t kEntries = 0x10000;
constexpr size_t kEntrySize = 24;  // object, owner, unique, type (byte 14), flags, user data
constexpr size_t kTypeByte = 14;

}  // namespace

long long CountGdiObjects(HANDLE process) {
  if (const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS); counted != 0) return counted;
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
  uint64_t table = 0;
  const auto* tableField = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress) + kTableField;
  if (!ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || table == 0) return -1;
  std::vector<unsigned char> entries(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), nullptr)) {
    return -1;
  }
  long long count = 0;
  for (size_t i = 0; i < kEntries; ++i) count += entries[i * kEntrySize + kTypeByte] != 0;
  return count;
}

}  // namespace memotab::test
