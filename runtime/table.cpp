#include "table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine_error.h"
#include "text.h"

namespace memotab {

namespace {

constexpr uint8_t kLiveFlag = ' ';
constexpr uint8_t kDeletedFlag = '*';
constexpr size_t kReadAheadBytes = 64 * 1024;

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return upper(x) == upper(y);
  });
}

// "NAME.DBF" -> "NAME" + extension; the extension keeps the letter case of the table's.
std::string SiblingName(const std::string& path, const char* upperExtension, const char* lowerExtension) {
  std::string name = path.substr(DirectoryOf(path).size());
  const size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  const bool lower = !extension.empty() && std::all_of(extension.begin(), extension.end(),
                                                       [](char c) { return c < 'A' || c > 'Z'; });
  return name.substr(0, dot) + (lower ? lowerExtension : upperExtension);
}

std::string MemoName(const std::string& tablePath) { return SiblingName(tablePath, ".FPT", ".fpt"); }

std::string Context(uint32_t recNo, const FieldDescriptor& field) {
  return "record " + std::to_string(recNo) + ", field " + field.cName;
}

}  // namespace

Table Table::Open(const std::string& path, FileAccess access) {
  File dbf = File::Open(path, access);
  TableHeader header = ReadTableHeader(dbf);
  std::optional<MemoFile> memo;
  if (header.HasMemoField()) {
    const std::string memoName = MemoName(path);
    const std::optional<std::string> memoPath = FindBeside(path, memoName);
    if (!memoPath) {
      ThrowEngineError(EG_OPEN, SUB_MISSING_MEMO, "The memo file " + memoName + " of the table is missing", path,
                       "open", OS_FILE_NOT_FOUND);
    }
    memo = MemoFile::Open(*memoPath, access);
  }
  Table table(path, std::move(dbf), std::move(header), std::move(memo));
  table.GoTop();
  return table;
}

Table::Table(std::string path, File dbf, TableHeader header, std::optional<MemoFile> memo)
    : path_(std::move(path)),
      dbf_(std::move(dbf)),
      header_(std::move(header)),
      memo_(std::move(memo)),
      writable_(dbf_->IsWritable()),
      writtenPrefix_(header_.prefix) {}

void Table::Close() {
  std::optional<File> dbf = std::move(dbf_);
  std::optional<MemoFile> memo = std::move(memo_);
  dbf_.reset();
  memo_.reset();
  if (dbf) dbf->Close();
  if (memo) memo->Close();
}

File& Table::Dbf() {
  if (!dbf_) ThrowEngineError(EG_UNSUPPORTED, SUB_CLOSED, "The table is closed", path_);
  return *dbf_;
}

const File& Table::Dbf() const { return const_cast<Table*>(this)->Dbf(); }

MemoFile& Table::Memo() {
  Dbf();
  return *memo_;  // open tables with a memo field always have their memo file
}

const MemoFile& Table::Memo() const { return const_cast<Table*>(this)->Memo(); }

// Navigation ----------------------------------------------------------------------------

void Table::LoadRecord(uint32_t recNo, const char* operation) {
  Dbf();
  const uint16_t length = header_.recordLength;
  if (recNo < 1 || recNo > header_.recordCount) {
    recNo_ = header_.recordCount + 1;
    record_.assign(length, ' ');
    return;
  }
  const bool ahead = readAheadCount_ > 0 && recNo >= readAheadFirst_ && recNo - readAheadFirst_ < readAheadCount_;
  if (!ahead) {
    const uint32_t wanted = std::min<uint32_t>(std::max<uint32_t>(1, kReadAheadBytes / length),
                                               header_.recordCount - recNo + 1);
    readAhead_.resize(size_t{wanted} * length);
    const size_t got = Dbf().ReadAt(header_.RecordOffset(recNo), readAhead_);
    readAheadFirst_ = recNo;
    readAheadCount_ = static_cast<uint32_t>(got / length);
    if (readAheadCount_ == 0) {
      ThrowCorruptTable(path_, operation, "record " + std::to_string(recNo) + " is truncated");
    }
  }
  const auto first = readAhead_.begin() + static_cast<std::ptrdiff_t>(size_t{recNo - readAheadFirst_} * length);
  record_.assign(first, first + length);
  recNo_ = recNo;
}

void Table::SkipHiddenRecords() {
  while (deletedHidden_ && !Eof() && record_[0] == kDeletedFlag) LoadRecord(recNo_ + 1, "read");
}

void Table::GoTop() {
  LoadRecord(1, "read");
  SkipHiddenRecords();
}

void Table::Skip() {
  if (Eof()) return;
  LoadRecord(recNo_ + 1, "read");
  SkipHiddenRecords();
}

void Table::GoTo(uint32_t recNo) { LoadRecord(recNo, "read"); }

bool Table::Deleted() const { return !Eof() && record_[0] == kDeletedFlag; }

// Changes -------------------------------------------------------------------------------

void Table::RequireWritableRecord(const char* operation) const {
  Dbf();
  if (!writable_) ThrowEngineError(EG_READONLY, SUB_READ_ONLY, "The table is open read-only", path_, operation);
  if (Eof()) ThrowEngineError(EG_UNSUPPORTED, SUB_NO_RECORD, "There is no current record", path_, operation);
}

void Table::WriteRecord(uint32_t recNo, const std::vector<uint8_t>& bytes) {
  Dbf().WriteAt(header_.RecordOffset(recNo), bytes);
  if (readAheadCount_ > 0 && recNo >= readAheadFirst_ && recNo - readAheadFirst_ < readAheadCount_) {
    std::copy(bytes.begin(), bytes.end(),
              readAhead_.begin() + static_cast<std::ptrdiff_t>(size_t{recNo - readAheadFirst_} * bytes.size()));
  }
}

void Table::WriteHeaderIfChanged() {
  const auto prefix = header_.EncodePrefix(Date::Today());
  if (prefix == writtenPrefix_) return;
  Dbf().WriteAt(0, prefix);
  writtenPrefix_ = prefix;
}

void Table::StoreBytes(size_t offset, std::string_view bytes, const char* operation) {
  RequireWritableRecord(operation);
  std::vector<uint8_t> changed = record_;
  std::copy(bytes.begin(), bytes.end(), changed.begin() + static_cast<std::ptrdiff_t>(offset));
  if (changed == record_) return;
  WriteRecord(recNo_, changed);
  record_ = std::move(changed);
  WriteHeaderIfChanged();
}

void Table::AppendBlank() {
  Dbf();
  if (!writable_) ThrowEngineError(EG_READONLY, SUB_READ_ONLY, "The table is open read-only", path_, "append");
  if (header_.recordCount == UINT32_MAX) ThrowEngineError(EG_WRITE, SUB_WRITE, "The table is full", path_, "append");
  // The record and the end mark first, then the header that counts the record.
  std::vector<uint8_t> bytes(header_.recordLength + 1, ' ');
  bytes.back() = kEndOfFile;
  Dbf().WriteAt(header_.RecordOffset(header_.recordCount + 1), bytes);
  ++header_.recordCount;
  WriteHeaderIfChanged();
  recNo_ = header_.recordCount;
  record_.assign(header_.recordLength, ' ');
}

void Table::Delete() { StoreBytes(0, std::string_view("*", 1), "delete"); }

// Fields --------------------------------------------------------------------------------

const FieldDescriptor& Table::Field(std::string_view name) const {
  Dbf();
  for (const FieldDescriptor& field : header_.fields) {
    if (EqualIgnoringCase(field.cName, name)) return field;
  }
  ThrowEngineError(EG_ARG, SUB_NO_FIELD, "There is no field " + std::string(name), path_);
}

const FieldDescriptor& Table::FieldOfType(std::string_view name, FieldType type, const char* typeName) const {
  const FieldDescriptor& field = Field(name);
  if (field.type != type) {
    ThrowEngineError(EG_DATATYPE, SUB_FIELD_TYPE, "The field " + field.cName + " is not " + typeName, path_);
  }
  return field;
}

std::string_view Table::Raw(const FieldDescriptor& field) const {
  return {reinterpret_cast<const char*>(record_.data()) + field.nOffset, field.nWidth};
}

uint32_t Table::MemoBlockOf(const FieldDescriptor& field, const char* operation) const {
  const std::string_view raw = Raw(field);
  if (field.nWidth == 4) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(raw.data());
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
  }
  const std::string_view digits = Trim(raw);
  uint64_t block = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') {
      ThrowCorruptTable(path_, operation,
                        Context(recNo_, field) + ": the memo pointer \"" + std::string(raw) + "\" is not a number");
    }
    block = block * 10 + static_cast<uint64_t>(c - '0');
  }
  if (block > UINT32_MAX) {
    ThrowCorruptTable(path_, operation,
                      Context(recNo_, field) + ": the memo pointer " + std::string(digits) + " is too large");
  }
  return static_cast<uint32_t>(block);
}

uint32_t Table::MemoBlock(std::string_view field) const {
  return MemoBlockOf(FieldOfType(field, FieldType::kMemo, "a memo"), "read");
}

void Table::CheckRecord() const {
  if (Eof()) return;
  if (record_[0] != kLiveFlag && record_[0] != kDeletedFlag) {
    ThrowCorruptTable(path_, "read", "record " + std::to_string(recNo_) + " has the deletion flag " +
                                         std::to_string(record_[0]) + " instead of a blank or \"*\"");
  }
  for (const FieldDescriptor& field : header_.fields) {
    if (field.type == FieldType::kMemo) Memo().Read(MemoBlockOf(field, "read"), Context(recNo_, field));
  }
}

std::string Table::GetText(std::string_view name) const {
  const FieldDescriptor& field = Field(name);
  if (field.type == FieldType::kCharacter) return std::string(Raw(field));
  if (field.type == FieldType::kMemo) return Memo().Read(MemoBlockOf(field, "read"), Context(recNo_, field));
  ThrowEngineError(EG_DATATYPE, SUB_FIELD_TYPE, "The field " + field.cName + " is not a character or memo field", path_);
}

double Table::GetNumber(std::string_view name) const {
  return Val(Raw(FieldOfType(name, FieldType::kNumeric, "numeric")));
}

Date Table::GetDate(std::string_view name) const {
  return Date::FromStored(Raw(FieldOfType(name, FieldType::kDate, "a date field")));
}

bool Table::GetLogical(std::string_view name) const {
  const char value = Raw(FieldOfType(name, FieldType::kLogical, "a logical field"))[0];
  return value == 'T' || value == 't' || value == 'Y' || value == 'y';
}

void Table::SetText(std::string_view name, std::string_view value) {
  const FieldDescriptor& field = Field(name);
  if (field.type == FieldType::kCharacter) {
    std::string bytes(value.substr(0, field.nWidth));
    bytes.resize(field.nWidth, ' ');
    StoreBytes(field.nOffset, bytes, "assign");
    return;
  }
  if (field.type != FieldType::kMemo) {
    ThrowEngineError(EG_DATATYPE, SUB_FIELD_TYPE, "The field " + field.cName + " is not a character or memo field", path_);
  }
  RequireWritableRecord("assign");
  // An unchanged text takes no new blocks.
  if (Memo().Holds(MemoBlockOf(field, "assign"), value)) return;
  const uint32_t block = Memo().Write(value);
  std::string pointer;
  if (field.nWidth == 4) {
    for (int i = 0; i < 4; ++i) pointer += static_cast<char>(block >> (8 * i));
  } else if (block == 0) {
    pointer.assign(field.nWidth, ' ');
  } else {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%10u", block);
    pointer = digits;
  }
  StoreBytes(field.nOffset, pointer, "assign");
}

void Table::SetNumber(std::string_view name, double value) {
  const FieldDescriptor& field = FieldOfType(name, FieldType::kNumeric, "numeric");
  if (!std::isfinite(value)) {
    ThrowEngineError(EG_DATATYPE, SUB_FIELD_TYPE, "The value for the field " + field.cName + " is not a number", path_);
  }
  char text[400];
  const int length = std::snprintf(text, sizeof text, "%*.*f", field.nWidth, field.nDecimals, value == 0 ? 0.0 : value);
  if (length < 0 || length > field.nWidth) {
    ThrowEngineError(EG_DATAWIDTH, SUB_FIELD_WIDTH,
                     "The value " + std::string(text) + " does not fit the field " + field.cName + " (width " +
                         std::to_string(field.nWidth) + ")",
                     path_);
  }
  StoreBytes(field.nOffset, std::string_view(text, static_cast<size_t>(length)), "assign");
}

void Table::SetDate(std::string_view name, Date value) {
  StoreBytes(FieldOfType(name, FieldType::kDate, "a date field").nOffset, value.ToStored(), "assign");
}

void Table::SetLogical(std::string_view name, bool value) {
  StoreBytes(FieldOfType(name, FieldType::kLogical, "a logical field").nOffset, value ? "T" : "F", "assign");
}

// Creation ------------------------------------------------------------------------------

void CreateTable(const std::string& path, const std::vector<FieldDescriptor>& fields, uint8_t version,
                 uint8_t codePage) {
  CheckNewFields(fields, path);
  std::vector<uint8_t> bytes = BuildTableHeader(fields, version, codePage, Date::Today());
  bytes.push_back(kEndOfFile);
  const bool hasMemo =
      std::any_of(fields.begin(), fields.end(), [](const FieldDescriptor& f) { return f.type == FieldType::kMemo; });
  bool created = false;
  try {
    {
      File table = File::Create(path, FileCreation::kNew);
      created = true;
      table.WriteAt(0, bytes);
      table.Close();
    }
    if (hasMemo) MemoFile::Create(DirectoryOf(path) + MemoName(path), FileCreation::kNew).Close();
  } catch (const RuntimeError&) {
    if (created) RemoveFile(path);  // leave no half-made table behind
    throw;
  }
}

}  // namespace memotab
