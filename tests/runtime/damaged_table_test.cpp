// Damaged tables: every kind of damage gives an error that names the file and the
// problem, and the engine leaves both files exactly as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "note_table.h"
#include "runtime_error.h"
#include "table.h"
#include "test_files.h"

namespace memotab {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

struct Damage {
  const char* name;
  std::function<void(Bytes& dbf, Bytes& fpt)> apply;
  const char* damagedFile;   // "DBF" or "FPT": the file the error must name
  const char* problemWords;  // words the description must contain
  bool failsAtOpen = true;   // otherwise the first record's memo fails to read
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

void Put32(Bytes& bytes, size_t at, uint32_t value, bool bigEndian) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (bigEndian ? 24 - 8 * i : 8 * i));
  }
}

size_t HeaderLength(const Bytes& dbf) { return dbf[8] | dbf[9] << 8; }
constexpr size_t kTextoOffset = 1 + 4 * 3 + 2 * 8;  // after the flag, the rectangle and the colours

std::vector<Damage> Damages() {
  return {
      {"TruncatedHeader", [](Bytes& dbf, Bytes&) { dbf.resize(20); }, "DBF", "header is truncated"},
      {"UnknownVersion", [](Bytes& dbf, Bytes&) { dbf[0] = 0x04; }, "DBF", "version byte 0x04"},
      {"HeaderLengthPastEnd", [](Bytes& dbf, Bytes&) { dbf[8] = 0xFF; dbf[9] = 0x7F; }, "DBF",
       "header length 32767 is past the end"},
      {"RecordLengthDisagrees", [](Bytes& dbf, Bytes&) { dbf[10] = static_cast<uint8_t>(dbf[10] + 1); }, "DBF",
       "record length"},
      {"RecordCountPastEnd", [](Bytes& dbf, Bytes&) { Put32(dbf, 4, 3, false); }, "DBF", "record count 3"},
      {"NoDescriptorTerminator", [](Bytes& dbf, Bytes&) { dbf[HeaderLength(dbf) - 1] = 0x20; }, "DBF",
       "not ended by the byte 0x0D"},
      {"UnreadableFieldType", [](Bytes& dbf, Bytes&) { dbf[32 + 11] = 'I'; }, "DBF", "field X1 has the type 'I'"},
      {"MissingMemoFile", [](Bytes&, Bytes& fpt) { fpt.clear(); }, "DBF", "memo file MEMOTAB.FPT"},
      {"TruncatedMemoHeader", [](Bytes&, Bytes& fpt) { fpt.resize(100); }, "FPT", "header is truncated"},
      {"ZeroBlockSize", [](Bytes&, Bytes& fpt) { fpt[6] = 0; fpt[7] = 0; }, "FPT", "block size is 0"},
      {"MemoPointerPastMemoFile",
       [](Bytes& dbf, Bytes&) {
         const std::string pointer = "       999";
         std::copy(pointer.begin(), pointer.end(), dbf.begin() + static_cast<std::ptrdiff_t>(HeaderLength(dbf) + kTextoOffset));
       },
       "FPT", "record 1, field TEXTO: the memo block 999 is past the end", false},
      {"MemoPointerNotANumber",
       [](Bytes& dbf, Bytes&) { dbf[HeaderLength(dbf) + kTextoOffset + 9] = 'x'; }, "DBF",
       "record 1, field TEXTO: the memo pointer", false},
      {"MemoLengthPastEnd", [](Bytes&, Bytes& fpt) { Put32(fpt, 8 * 64 + 4, 100000, true); }, "FPT",
       "memo length 100000 at block 8 is past the end", false},
  };
}

class DamagedTableTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedTableTest, IsReportedAndLeftUntouched) {
  const Damage& damage = GetParam();
  TempDir dir;
  const std::string dbfPath = test::CreateNoteTable(dir);
  const std::string fptPath = dir.File("MEMOTAB.FPT");
  {
    Table table = Table::Open(dbfPath, FileAccess::kReadWriteAlone);
    table.AppendBlank();
    table.SetText(Nota::TEXTO, "texto de la nota");
  }
  Bytes dbf = ReadBytes(dbfPath);
  Bytes fpt = ReadBytes(fptPath);
  damage.apply(dbf, fpt);
  WriteBytes(dbfPath, dbf);
  if (fpt.empty()) {
    std::filesystem::remove(fptPath);
  } else {
    WriteBytes(fptPath, fpt);
  }

  const std::string expectedFile = std::string(damage.damagedFile) == "DBF" ? dbfPath : fptPath;
  for (const FileAccess access : {FileAccess::kReadWriteAlone, FileAccess::kReadOnly}) {
    try {
      Table table = Table::Open(dbfPath, access);
      ASSERT_FALSE(damage.failsAtOpen) << "the damaged table opened";
      table.GoTop();
      EXPECT_THROW(table.CheckRecord(), RuntimeError);
      (void)table.GetText(Nota::TEXTO);
      ADD_FAILURE() << "the damaged memo was read";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.cFileName, expectedFile);
      EXPECT_NE(error.cDescription.find(damage.problemWords), std::string::npos) << error.cDescription;
      EXPECT_EQ(error.cOperation, damage.failsAtOpen ? "open" : "read");
      EXPECT_FALSE(error.IsInUse());
    }
  }
  EXPECT_EQ(ReadBytes(dbfPath), dbf);
  if (!fpt.empty()) {
    EXPECT_EQ(ReadBytes(fptPath), fpt);
  }
}

std::string DamageName(const ::testing::TestParamInfo<Damage>& damage) { return damage.param.name; }

INSTANTIATE_TEST_SUITE_P(Damages, DamagedTableTest, ::testing::ValuesIn(Damages()), DamageName);

TEST(DamagedTable, ErrorsNameTheOperationThatMetTheDamage) {
  TempDir dir;
  const std::string dbfPath = test::CreateNoteTable(dir);
  constexpr uint32_t kRecords = 2000;  // more than one read-ahead holds
  {
    Table table = Table::Open(dbfPath, FileAccess::kReadWriteAlone);
    for (uint32_t i = 0; i < kRecords; ++i) table.AppendBlank();
  }
  Bytes dbf = ReadBytes(dbfPath);
  dbf[HeaderLength(dbf) + kTextoOffset + 9] = 'x';
  WriteBytes(dbfPath, dbf);
  Table table = Table::Open(dbfPath, FileAccess::kReadWriteAlone);
  const auto operationOf = [](const std::function<void()>& action) {
    try {
      action();
    } catch (const RuntimeError& error) {
      return error.cOperation;
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(operationOf([&] { table.CheckRecord(); }), "read");
  EXPECT_EQ(operationOf([&] { table.SetText(Nota::TEXTO, "nuevo"); }), "assign");
#ifndef _WIN32
  // Another process cut the table short under this one (only where locks are advisory).
  std::filesystem::resize_file(dbfPath, HeaderLength(dbf) + 10);
  EXPECT_EQ(operationOf([&] { table.GoTo(kRecords); }), "read");
  EXPECT_EQ(operationOf([&] { table.Pack(); }), "pack");
#endif
}

TEST(DamagedTable, RecordWithAStrayDeletionFlagFailsTheCheck) {
  TempDir dir;
  const std::string dbfPath = test::CreateNoteTable(dir);
  {
    Table table = Table::Open(dbfPath, FileAccess::kReadWriteAlone);
    table.AppendBlank();
  }
  Bytes dbf = ReadBytes(dbfPath);
  dbf[HeaderLength(dbf)] = 'Q';
  WriteBytes(dbfPath, dbf);
  Table table = Table::Open(dbfPath, FileAccess::kReadOnly);
  EXPECT_THROW(table.CheckRecord(), RuntimeError);
}

}  // namespace
}  // namespace memotab
