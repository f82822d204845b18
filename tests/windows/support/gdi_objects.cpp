#include "gdi_objects.h"

#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui_driver.h"

namespace memotab::test {

namespace {

// Where a 64-bit process finds its GDI handle table, and the table's entries as Wine lays
// them out; a 32-bit build would need other offsets.
static_assert(sizeof(void*) == 8, "the GDI handle table is read as a 64-bit process's");
constexpr size_t kTableField = 0xF8;  // in the process environment block
constexpr size_t kEntries = 0x10000;

struct HandleEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;  // 0 for a free entry
  uint8_t flags;
  uint64_t userData;
};
static_assert(sizeof(HandleEntry) == 24 && offsetof(HandleEntry, type) == 14);

// The used entries of the table of a process under Wine; -1 when it cannot be read.
long long CountTableEntries(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
  uint64_t table = 0;
  const auto* tableField = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress) + kTableField;
  if (!ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || table == 0) return -1;
  std::vector<HandleEntry> entries(kEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(HandleEntry), nullptr)) {
    return -1;
  }
  long long count = 0;
  for (const HandleEntry& entry : entries) count += entry.type != 0;
  return count;
}

}  // namespace

long long CountGdiObjects(HANDLE process) {
  if (const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS); counted != 0) return counted;
  return UnderWine() ? CountTableEntries(process) : -1;
}

}  // namespace memotab::test
