#include "gdi_objects.h"

#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
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
  uint16_t unique;  // the object's full kind in the low byte (a memory DC apart from a window's DC)
  uint8_t type;     // 0 for a free entry
  uint8_t flags;
  uint64_t userData;
};
static_assert(sizeof(HandleEntry) == 24 && offsetof(HandleEntry, type) == 14);

// The GDI handle table of a process under Wine, as read from its memory.
std::optional<std::vector<HandleEntry>> ReadHandleTable(HANDLE process) {
  if (!UnderWine()) return {};
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return {};
  uint64_t table = 0;
  const auto* tableField = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress) + kTableField;
  if (!ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || table == 0) return {};
  std::vector<HandleEntry> entries(kEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(HandleEntry), nullptr)) {
    return {};
  }
  return entries;
}

// Wine's numbers for the kinds of GDI object (measured by making one of each).
std::string KindName(unsigned char kind) {
  switch (kind) {
    case 0x01: return "dc";
    case 0x41: return "memory dc";
    case 0x21: return "metafile dc";
    case 0x66: return "old metafile dc";
    case 0x04: return "region";
    case 0x09: return "bitmap";
    case 0x10: return "brush";
    case 0x30: return "pen";
    case 0x50: return "extended pen";
    case 0x0a: return "font";
    case 0x08: return "palette";
    default: return "kind " + std::to_string(kind);
  }
}

}  // namespace

long long CountGdiObjects(HANDLE process) {
  if (const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS); counted != 0) return counted;
  const std::optional<std::vector<HandleEntry>> entries = ReadHandleTable(process);
  if (!entries) return -1;
  long long count = 0;
  for (const HandleEntry& entry : *entries) count += entry.type != 0;
  return count;
}

std::map<std::string, long long> CountGdiObjectsByKind(HANDLE process) {
  std::map<std::string, long long> counts;
  const std::optional<std::vector<HandleEntry>> entries = ReadHandleTable(process);
  if (!entries) return counts;
  for (const HandleEntry& entry : *entries) {
    if (entry.type != 0) ++counts[KindName(static_cast<unsigned char>(entry.unique & 0x7F))];
  }
  return counts;
}

}  // namespace memotab::test
