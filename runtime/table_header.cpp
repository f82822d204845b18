#include "table_header.h"

#include <algorithm>
#include <cstdio>

#include "engine_error.h"

namespace memotab {

namespace {

// A table's header is read only when the table is opened.
[[noreturn]] void ThrowCorruptHeader(const std::string& fileName, std::string problem) {
  ThrowCorruptTable(fileName, "open", std::move(problem));
}

uint16_t Read16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

uint32_t Read32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

void Write16(uint8_t* bytes, uint16_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

void Write32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string Hex(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

bool IsKnownVersion(uint8_t version) {
  return version == 0x03 || version == 0x30 || version == 0x83 || version == 0xF5;
}

// The width rules of each field type; empty when the width is acceptable.
std::string WidthProblem(const FieldDescriptor& field) {
  switch (field.type) {
    case FieldType::kCharacter:
      return field.nWidth == 0 ? "has width 0" : "";
    case FieldType::kNumeric:
      if (field.nWidth == 0 || field.nWidth > 20) return "has width " + std::to_string(field.nWidth);
      if (field.nDecimals > 0 && field.nDecimals + 2 > field.nWidth) {
        return "has " + std::to_string(field.nDecimals) + " decimals in width " + std::to_string(field.nWidth);
      }
      return "";
    case FieldType::kDate:
      return field.nWidth == 8 ? "" : "has width " + std::to_string(field.nWidth) + " instead of 8";
    case FieldType::kLogical:
      return field.nWidth == 1 ? "" : "has width " + std::to_string(field.nWidth) + " instead of 1";
    case FieldType::kMemo:
      return field.nWidth == 10 || field.nWidth == 4 ? "" : "has width " + std::to_string(field.nWidth) + " instead of 10";
  }
  return "has an unknown type";
}

FieldDescriptor ParseDescriptor(const uint8_t* bytes, uint16_t offset, const std::string& fileName) {
  FieldDescriptor field;
  const auto* nameEnd = std::find(bytes, bytes + 11, uint8_t{0});
  field.cName.assign(bytes, nameEnd);
  std::transform(field.cName.begin(), field.cName.end(), field.cName.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  if (field.cName.empty()) ThrowCorruptHeader(fileName, "a field descriptor has no name");
  const char type = static_cast<char>(bytes[11]);
  if (std::string_view("CNDLM").find(type) == std::string_view::npos) {
    ThrowCorruptHeader(fileName, "field " + field.cName + " has the type '" + std::string(1, type) +
                                     "', which this engine does not read");
  }
  field.type = static_cast<FieldType>(type);
  field.nWidth = bytes[16];
  field.nDecimals = bytes[17];
  field.nOffset = offset;
  if (const std::string problem = WidthProblem(field); !problem.empty()) {
    ThrowCorruptHeader(fileName, "field " + field.cName + " " + problem);
  }
  return field;
}

}  // namespace

bool TableHeader::HasMemoField() const {
  return std::any_of(fields.begin(), fields.end(), [](const FieldDescriptor& f) { return f.type == FieldType::kMemo; });
}

Date TableHeader::LastUpdate() const {
  return Date::FromYmd(1900 + prefix[1], prefix[2], prefix[3]).value_or(Date{});
}

std::array<uint8_t, kTablePrefixSize> TableHeader::EncodePrefix(Date lastUpdate) const {
  std::array<uint8_t, kTablePrefixSize> bytes = prefix;
  if (!lastUpdate.IsEmpty()) {
    bytes[1] = static_cast<uint8_t>(std::clamp(lastUpdate.Year() - 1900, 0, 255));
    bytes[2] = static_cast<uint8_t>(lastUpdate.Month());
    bytes[3] = static_cast<uint8_t>(lastUpdate.Day());
  }
  Write32(&bytes[4], recordCount);
  // No structural index is kept up to date by this engine, so none is announced.
  bytes[28] = HasMemoField() ? kFlagHasMemo : 0;
  return bytes;
}

TableHeader ReadTableHeader(const File& file) {
  const std::string& fileName = file.Path();
  const uint64_t fileSize = file.Size();
  TableHeader header;
  if (file.ReadAt(0, header.prefix) < kTablePrefixSize) {
    ThrowCorruptHeader(fileName, "the header is truncated (the file has " + std::to_string(fileSize) + " bytes)");
  }
  header.version = header.prefix[0];
  if (!IsKnownVersion(header.version)) {
    ThrowCorruptHeader(fileName, "the version byte " + Hex(header.version) + " is not one of a table this engine reads");
  }
  header.recordCount = Read32(&header.prefix[4]);
  header.headerLength = Read16(&header.prefix[8]);
  header.recordLength = Read16(&header.prefix[10]);
  if (header.headerLength < kTablePrefixSize + kDescriptorSize + 1) {
    ThrowCorruptHeader(fileName, "the header length " + std::to_string(header.headerLength) + " is too small to hold a field");
  }
  if (header.headerLength > fileSize) {
    ThrowCorruptHeader(fileName, "the header length " + std::to_string(header.headerLength) +
                                     " is past the end of the file (" + std::to_string(fileSize) + " bytes)");
  }
  std::vector<uint8_t> bytes(header.headerLength);
  if (file.ReadAt(0, bytes) < bytes.size()) ThrowCorruptHeader(fileName, "the header is truncated");

  uint32_t offset = 1;
  size_t position = kTablePrefixSize;
  while (true) {
    if (position < bytes.size() && bytes[position] == kDescriptorEnd) break;
    if (position + kDescriptorSize > bytes.size()) {
      ThrowCorruptHeader(fileName, "the field descriptors are not ended by the byte 0x0D");
    }
    FieldDescriptor field = ParseDescriptor(&bytes[position], static_cast<uint16_t>(offset), fileName);
    for (const FieldDescriptor& earlier : header.fields) {
      if (earlier.cName == field.cName) ThrowCorruptHeader(fileName, "the field " + field.cName + " appears twice");
    }
    offset += field.nWidth;
    header.fields.push_back(std::move(field));
    position += kDescriptorSize;
  }
  if (header.fields.empty()) ThrowCorruptHeader(fileName, "the table has no fields");
  if (offset != header.recordLength) {
    ThrowCorruptHeader(fileName, "the record length " + std::to_string(header.recordLength) +
                                     " does not match the fields, which need " + std::to_string(offset));
  }
  const uint64_t recordsEnd = header.headerLength + uint64_t{header.recordCount} * header.recordLength;
  if (recordsEnd > fileSize) {
    ThrowCorruptHeader(fileName, "the record count " + std::to_string(header.recordCount) +
                                     " reaches past the end of the file (" + std::to_string(fileSize) + " bytes)");
  }
  return header;
}

void CheckNewFields(const std::vector<FieldDescriptor>& fields, const std::string& fileName) {
  const auto fail = [&](const std::string& problem) {
    ThrowEngineError(EG_ARG, SUB_BAD_STRUCTURE, "Cannot create the table: " + problem, fileName, "create");
  };
  if (fields.empty()) fail("it has no fields");
  if (fields.size() > (UINT16_MAX - kTablePrefixSize - 1) / kDescriptorSize) fail("it has too many fields");
  size_t recordLength = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldDescriptor& field = fields[i];
    const std::string& name = field.cName;
    const bool nameOk = !name.empty() && name.size() <= 10 && name[0] >= 'A' && name[0] <= 'Z' &&
                        std::all_of(name.begin(), name.end(), [](char c) {
                          return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
                        });
    if (!nameOk) fail("the field name \"" + name + "\" is not 1 to 10 upper-case letters, digits or _");
    if (std::string_view("CNDLM").find(static_cast<char>(field.type)) == std::string_view::npos) {
      fail("the field " + name + " has an unknown type");
    }
    if (const std::string problem = WidthProblem(field); !problem.empty()) fail("the field " + name + " " + problem);
    for (size_t j = 0; j < i; ++j) {
      if (fields[j].cName == name) fail("the field " + name + " appears twice");
    }
    recordLength += field.nWidth;
  }
  if (recordLength > UINT16_MAX) fail("the record would be longer than 65535 bytes");
}

std::vector<uint8_t> BuildTableHeader(const std::vector<FieldDescriptor>& fields, uint8_t version,
                                      uint8_t codePage, Date created) {
  const size_t headerLength = kTablePrefixSize + fields.size() * kDescriptorSize + 1;
  size_t recordLength = 1;
  for (const FieldDescriptor& field : fields) recordLength += field.nWidth;

  TableHeader header;
  header.version = version;
  header.headerLength = static_cast<uint16_t>(headerLength);
  header.recordLength = static_cast<uint16_t>(recordLength);
  header.fields = fields;
  header.prefix[0] = version;
  Write16(&header.prefix[8], header.headerLength);
  Write16(&header.prefix[10], header.recordLength);
  header.prefix[29] = codePage;

  const auto prefix = header.EncodePrefix(created);
  std::vector<uint8_t> bytes(prefix.begin(), prefix.end());
  bytes.resize(headerLength, 0);
  size_t position = kTablePrefixSize;
  uint16_t offset = 1;
  for (const FieldDescriptor& field : fields) {
    std::copy(field.cName.begin(), field.cName.end(), bytes.begin() + static_cast<std::ptrdiff_t>(position));
    bytes[position + 11] = static_cast<uint8_t>(field.type);
    Write32(&bytes[position + 12], offset);
    bytes[position + 16] = field.nWidth;
    bytes[position + 17] = field.nDecimals;
    offset = static_cast<uint16_t>(offset + field.nWidth);
    position += kDescriptorSize;
  }
  bytes[position] = kDescriptorEnd;
  return bytes;
}

}  // namespace memotab
