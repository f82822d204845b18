#include "gdi_objects.h"

#include <winternl.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace memotab::test {

namespace {

constexpr size_t kTableField = 0xF8;  // in a 64-bit process environment block
constexpr size_t kEntries = 0x10000;
constexpr size_t kEntrySize = 24;  // object, owner, unique (kind in byte 12), type (byte 14), flags, user data
constexpr size_t kKindByte = 12;  // the full kind (a memory DC apart from a window's DC); low 7 bits
constexpr size_t kTypeByte = 14;  // zero in an unused entry

// The process's GDI handle table, as read from its memory.
std::optional<std::vector<unsigned char>> ReadHandleTable(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return {};
  uint64_t table = 0;
  const auto* tableField = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress) + kTableField;
  if (!ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || table == 0) return {};
  std::vector<unsigned char> entries(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), nullptr)) {
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
  const std::optional<std::vector<unsigned char>> entries = ReadHandleTable(process);
  if (!entries) return -1;
  long long count = 0;
  for (size_t i = 0; i < kEntries; ++i) count += (*entries)[i * kEntrySize + kTypeByte] != 0;
  return count;
}

std::map<std::string, long long> CountGdiObjectsByKind(HANDLE process) {
  std::map<std::string, long long> counts;
  const std::optional<std::vector<unsigned char>> entries = ReadHandleTable(process);
  if (!entries) return counts;
  for (size_t i = 0; i < kEntries; ++i) {
    const unsigned char* entry = entries->data() + i * kEntrySize;
    if (entry[kTypeByte] != 0) ++counts[KindName(entry[kKindByte] & 0x7F)];
  }
  return counts;
}

}  // namespace memotab::test
