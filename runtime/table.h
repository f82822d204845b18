#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"
#include "file.h"
#include "memo_file.h"
#include "table_header.h"

namespace memotab {

// A table file with its memo file, open for the whole life of the object. Records are
// visited in record-number order (1-based); one record is current. Every change is
// written to the files at once, in an order that leaves a table that opens whenever the
// process stops: record bytes before the header that counts them, memo text before the
// record that points to it.
//
// Failures raise RuntimeError naming the file: a table held by another process fails to
// open with IsInUse(); a damaged table or memo file fails to open, or fails to read the
// damaged memo, and is never changed by this engine.
class Table {
 public:
  // Opens `path` and the memo file beside it, found as the same name with the extension
  // ".fpt" in any letter case. With kReadWriteAlone nobody else can open either file.
  static Table Open(const std::string& path, FileAccess access);

  Table(Table&&) noexcept = default;
  Table& operator=(Table&&) noexcept = default;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;
  ~Table() = default;

  const std::string& Path() const { return path_; }
  bool IsOpen() const { return dbf_.has_value(); }
  void Close();

  const std::vector<FieldDescriptor>& Fields() const { return header_.fields; }
  Date LastUpdate() const { return header_.LastUpdate(); }
  uint8_t Version() const { return header_.version; }
  uint8_t CodePage() const { return header_.CodePage(); }

  // Whether navigation passes over records marked deleted. Off at opening.
  void SetDeletedHidden(bool hidden) { deletedHidden_ = hidden; }
  bool DeletedHidden() const { return deletedHidden_; }

  // Navigation. At the end of the table RecNo() is LastRec() + 1.
  void GoTop();
  void Skip();
  void GoTo(uint32_t recNo);  // a number outside 1..LastRec() goes to the end
  bool Eof() const { return recNo_ > header_.recordCount; }
  uint32_t RecNo() const { return recNo_; }
  uint32_t LastRec() const { return header_.recordCount; }  // deleted records included
  bool Deleted() const;

  // Appends a record with every field empty and makes it current.
  void AppendBlank();
  // Marks the current record deleted.
  void Delete();
  // Removes the deleted records; the others keep their order and are numbered from 1.
  // The packed table is built beside the original and then put in its place in one step.
  void Pack();

  // Field values of the current record; at the end of the table, the empty values.
  // Names are matched without regard to letter case.
  std::string GetText(std::string_view field) const;  // character (blank-padded) and memo fields
  double GetNumber(std::string_view field) const;     // empty: 0
  Date GetDate(std::string_view field) const;         // empty: the empty date
  bool GetLogical(std::string_view field) const;      // empty: false

  // Assignments to the current record. Character values longer than the field are cut.
  void SetText(std::string_view field, std::string_view value);
  void SetNumber(std::string_view field, double value);
  void SetDate(std::string_view field, Date value);
  void SetLogical(std::string_view field, bool value);

  // The memo block a record's memo field points to (0: no text), for checks.
  uint32_t MemoBlock(std::string_view field) const;
  // Raises RuntimeError when the current record is damaged: a deletion flag other than
  // blank or "*", or a memo that cannot be read.
  void CheckRecord() const;

 private:
  Table(std::string path, File dbf, TableHeader header, std::optional<MemoFile> memo);

  const FieldDescriptor& Field(std::string_view name) const;
  const FieldDescriptor& FieldOfType(std::string_view name, FieldType type, const char* typeName) const;
  std::string_view Raw(const FieldDescriptor& field) const;
  // `operation` is the one a damaged record fails, as errors name it.
  uint32_t MemoBlockOf(const FieldDescriptor& field, const char* operation) const;
  void LoadRecord(uint32_t recNo, const char* operation);
  void SkipHiddenRecords();
  void RequireWritableRecord(const char* operation) const;
  // Puts `bytes` into the current record at `offset` and writes the record when it changed.
  void StoreBytes(size_t offset, std::string_view bytes, const char* operation);
  void WriteRecord(uint32_t recNo, const std::vector<uint8_t>& bytes);
  void WriteHeaderIfChanged();
  // Opens the table file again after a pack closed it. A file that another program holds
  // for a moment (a virus scanner looking at the new file) is waited for; one it keeps
  // fails the pack with an error to report, and leaves the table closed.
  File ReopenAfterPack();
  // The open files; raise RuntimeError when the table is closed.
  File& Dbf();
  const File& Dbf() const;
  MemoFile& Memo();
  const MemoFile& Memo() const;

  std::string path_;
  std::optional<File> dbf_;
  TableHeader header_;
  std::optional<MemoFile> memo_;
  bool writable_ = false;
  bool deletedHidden_ = false;
  uint32_t recNo_ = 1;
  std::vector<uint8_t> record_;  // the current record, blank at the end of the table
  std::array<uint8_t, kTablePrefixSize> writtenPrefix_{};

  // Records read ahead for scans in record order.
  std::vector<uint8_t> readAhead_;
  uint32_t readAheadFirst_ = 0;
  uint32_t readAheadCount_ = 0;
};

// Creates a new, empty table and, when it has a memo field, its memo file ("<name>.FPT"
// beside it). Fails when either file exists.
void CreateTable(const std::string& path, const std::vector<FieldDescriptor>& fields, uint8_t version,
                 uint8_t codePage);

}  // namespace memotab
