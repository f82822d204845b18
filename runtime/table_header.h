#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "date.h"
#include "file.h"

namespace memotab {

enum class FieldType : char {
  kCharacter = 'C',
  kNumeric = 'N',
  kDate = 'D',
  kLogical = 'L',
  kMemo = 'M',
};

// One field as the table stores it.
struct FieldDescriptor {
  std::string cName;  // upper case, at most 10 characters
  FieldType type = FieldType::kCharacter;
  uint8_t nWidth = 0;
  uint8_t nDecimals = 0;
  uint16_t nOffset = 0;  // position in the record; the deletion flag is byte 0
};

inline constexpr size_t kTablePrefixSize = 32;
inline constexpr size_t kDescriptorSize = 32;
inline constexpr uint8_t kDescriptorEnd = 0x0D;
inline constexpr uint8_t kEndOfFile = 0x1A;
inline constexpr uint8_t kFlagHasMemo = 0x02;

// The header of a table file: the fixed 32-byte prefix and the field descriptors.
struct TableHeader {
  std::array<uint8_t, kTablePrefixSize> prefix{};  // as read, rewritten with the live values
  uint8_t version = 0;
  uint32_t recordCount = 0;
  uint16_t headerLength = 0;
  uint16_t recordLength = 0;
  std::vector<FieldDescriptor> fields;

  bool HasMemoField() const;
  Date LastUpdate() const;
  uint8_t CodePage() const { return prefix[29]; }
  uint64_t RecordOffset(uint32_t recNo) const {
    return headerLength + uint64_t{recNo - 1} * recordLength;
  }
  // The prefix with the record count, the last-update date and the memo flag of now.
  std::array<uint8_t, kTablePrefixSize> EncodePrefix(Date lastUpdate) const;
};

// Reads and checks the header of an open table file. Raises RuntimeError naming the file
// and the problem when the header is damaged or of a kind the engine does not support.
TableHeader ReadTableHeader(const File& file);

// Raises RuntimeError naming `fileName` when these fields cannot make a table: a name that
// is not 1 to 10 letters, digits or "_" starting with a letter, a width the type does not
// allow, a name used twice, or a record longer than 65535 bytes.
void CheckNewFields(const std::vector<FieldDescriptor>& fields, const std::string& fileName);

// Builds the header of a new, empty table with fields that passed CheckNewFields.
std::vector<uint8_t> BuildTableHeader(const std::vector<FieldDescriptor>& fields, uint8_t version,
                                      uint8_t codePage, Date created);

}  // namespace memotab
