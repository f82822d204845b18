#include "table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "note_table.h"
#include "runtime_error.h"
#include "test_files.h"

namespace memotab {
namespace {

using test::ReadBytes;
using test::TempDir;

uint32_t Little32(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}
uint32_t Big32(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t{bytes[at]} << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}
std::string Slice(const std::vector<uint8_t>& bytes, size_t at, size_t count) {
  return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
}

class NoteTableTest : public ::testing::Test {
 protected:
  Table OpenAlone() { return Table::Open(path, FileAccess::kReadWriteAlone); }
  std::string MemoPath() const { return dir.File("MEMOTAB.FPT"); }

  TempDir dir;
  std::string path = test::CreateNoteTable(dir);
};

TEST_F(NoteTableTest, NewTableIsAnEmptyFoxProPair) {
  const auto dbf = ReadBytes(path);
  EXPECT_EQ(dbf[0], 0xF5);
  EXPECT_EQ(dbf[29], 0x03);                     // Windows-1252
  EXPECT_EQ(Little32(dbf, 4), 0u);              // no records
  EXPECT_EQ(dbf.size(), 32u + 11 * 32 + 1 + 1);  // header, then the end mark
  EXPECT_EQ(dbf.back(), 0x1A);
  const auto fpt = ReadBytes(MemoPath());
  EXPECT_EQ(fpt.size(), 512u);
  EXPECT_EQ(Big32(fpt, 0), 8u);  // first free block after the 512-byte header
  EXPECT_EQ(fpt[6] << 8 | fpt[7], 64);

  Table table = OpenAlone();
  EXPECT_EQ(table.LastRec(), 0u);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecNo(), 1u);
  EXPECT_EQ(table.Fields().size(), 11u);
  EXPECT_EQ(table.LastUpdate(), Date::Today());
}

TEST_F(NoteTableTest, CreatingOverAnExistingTableFailsAndKeepsIt) {
  const auto before = ReadBytes(path);
  EXPECT_THROW(test::CreateNoteTable(dir), RuntimeError);
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(NoteTableTest, AppendedRecordIsBlankCurrentAndCounted) {
  {
    Table table = OpenAlone();
    table.AppendBlank();
    EXPECT_EQ(table.RecNo(), 1u);
    EXPECT_FALSE(table.Eof());
    EXPECT_EQ(table.GetNumber(Nota::X1), 0);
    EXPECT_EQ(table.GetNumber(Nota::CLRNOTA), 0);
    EXPECT_TRUE(table.GetDate(Nota::FECHA).IsEmpty());
    EXPECT_EQ(table.GetText(Nota::HORA), "     ");
    EXPECT_EQ(table.GetText(Nota::STATUS), " ");
    EXPECT_FALSE(table.GetLogical(Nota::ACTIVADA));
    EXPECT_EQ(table.GetText(Nota::TEXTO), "");
  }
  // The header counts it and the end mark follows it at once.
  const auto dbf = ReadBytes(path);
  EXPECT_EQ(Little32(dbf, 4), 1u);
  const size_t headerLength = dbf[8] | dbf[9] << 8;
  const size_t recordLength = dbf[10] | dbf[11] << 8;
  EXPECT_EQ(dbf.size(), headerLength + recordLength + 1);
  EXPECT_EQ(dbf.back(), 0x1A);
}

TEST_F(NoteTableTest, FieldsAreStoredInTheirTextForms) {
  const Date christmas = *Date::FromYmd(2026, 12, 24);
  {
    Table table = OpenAlone();
    table.AppendBlank();
    table.SetNumber(Nota::X1, 5);
    table.SetNumber(Nota::CLRNOTA, 65535);
    table.SetNumber(Nota::CLRTEXTO, 0);
    table.SetDate(Nota::FECHA, christmas);
    table.SetText(Nota::HORA, "09:05");
    table.SetText(Nota::STATUS, ".");
    table.SetLogical(Nota::ACTIVADA, true);
  }
  const auto dbf = ReadBytes(path);
  const size_t record = dbf[8] | dbf[9] << 8;
  // Field order: X1 Y1 X2 Y2 (3) CLRTEXTO CLRNOTA (8) TEXTO (10) FECHA (8) HORA (5) STATUS (1) ACTIVADA (1)
  EXPECT_EQ(Slice(dbf, record, 1), " ");
  EXPECT_EQ(Slice(dbf, record + 1, 3), "  5");
  EXPECT_EQ(Slice(dbf, record + 13, 8), "       0");
  EXPECT_EQ(Slice(dbf, record + 21, 8), "   65535");
  EXPECT_EQ(Slice(dbf, record + 39, 8), "20261224");
  EXPECT_EQ(Slice(dbf, record + 47, 5), "09:05");
  EXPECT_EQ(Slice(dbf, record + 52, 1), ".");
  EXPECT_EQ(Slice(dbf, record + 53, 1), "T");

  Table table = OpenAlone();
  EXPECT_EQ(table.GetNumber("x1"), 5);
  EXPECT_EQ(table.GetNumber(Nota::CLRNOTA), 65535);
  EXPECT_EQ(table.GetNumber(Nota::CLRTEXTO), 0);
  EXPECT_EQ(table.GetDate(Nota::FECHA), christmas);
  EXPECT_EQ(table.GetText(Nota::HORA), "09:05");
  EXPECT_TRUE(table.GetLogical(Nota::ACTIVADA));
  table.SetLogical(Nota::ACTIVADA, false);
  EXPECT_FALSE(table.GetLogical(Nota::ACTIVADA));
}

TEST_F(NoteTableTest, AssignmentsOutsideTheFieldRulesFail) {
  Table table = OpenAlone();
  table.AppendBlank();
  table.SetText(Nota::HORA, "12:3456");
  EXPECT_EQ(table.GetText(Nota::HORA), "12:34");  // cut to the width

  const auto codeOf = [](auto&& call) {
    try {
      call();
    } catch (const RuntimeError& error) {
      return error.nGenCode;
    }
    return 0;
  };
  EXPECT_EQ(codeOf([&] { table.SetNumber(Nota::X1, 1000); }), EG_DATAWIDTH);
  EXPECT_EQ(codeOf([&] { table.SetNumber(Nota::CLRNOTA, 123456789); }), EG_DATAWIDTH);
  EXPECT_EQ(codeOf([&] { table.SetNumber(Nota::HORA, 1); }), EG_DATATYPE);
  EXPECT_EQ(codeOf([&] { table.SetText(Nota::X1, "1"); }), EG_DATATYPE);
  EXPECT_EQ(codeOf([&] { (void)table.GetDate(Nota::HORA); }), EG_DATATYPE);
  EXPECT_EQ(codeOf([&] { (void)table.GetText("NOSUCH"); }), EG_ARG);
  EXPECT_EQ(table.GetNumber(Nota::X1), 0);  // failed assignments changed nothing
}

TEST_F(NoteTableTest, MemoTextIsStoredByteForByte) {
  const std::string text = "Comprar pan\r\nLlamar a José — mañana €5\r\n";
  {
    Table table = OpenAlone();
    table.AppendBlank();
    table.SetText(Nota::TEXTO, text);
  }
  {
    Table table = OpenAlone();
    EXPECT_EQ(table.GetText(Nota::TEXTO), text);
    EXPECT_EQ(table.MemoBlock(Nota::TEXTO), 8u);
  }
  const auto fpt = ReadBytes(MemoPath());
  EXPECT_EQ(Big32(fpt, 8 * 64), 1u);  // a text block
  EXPECT_EQ(Big32(fpt, 8 * 64 + 4), text.size());
  EXPECT_EQ(Slice(fpt, 8 * 64 + 8, text.size()), text);
}

TEST_F(NoteTableTest, ChangedMemoTakesNewBlocksAndUnchangedTextNone) {
  Table table = OpenAlone();
  table.AppendBlank();
  table.SetText(Nota::TEXTO, "short");
  const uint32_t first = table.MemoBlock(Nota::TEXTO);
  const std::string longer(1000, 'x');
  table.SetText(Nota::TEXTO, longer);
  const uint32_t second = table.MemoBlock(Nota::TEXTO);
  EXPECT_EQ(second, first + 1);  // the short text used one block
  EXPECT_EQ(table.GetText(Nota::TEXTO), longer);

  const auto sizeBefore = std::filesystem::file_size(MemoPath());
  table.SetText(Nota::TEXTO, longer);
  EXPECT_EQ(table.MemoBlock(Nota::TEXTO), second);
  EXPECT_EQ(std::filesystem::file_size(MemoPath()), sizeBefore);

  table.SetText(Nota::TEXTO, "");
  EXPECT_EQ(table.MemoBlock(Nota::TEXTO), 0u);
  EXPECT_EQ(table.GetText(Nota::TEXTO), "");
  table.Close();
  const auto fpt = ReadBytes(MemoPath());
  EXPECT_EQ(Big32(fpt, 0), second + (8 + 1000 + 63) / 64);
}

TEST_F(NoteTableTest, NavigationPassesOverHiddenDeletedRecords) {
  Table table = OpenAlone();
  for (int i = 1; i <= 4; ++i) {
    table.AppendBlank();
    table.SetNumber(Nota::X1, i);
  }
  table.GoTo(1);
  table.Delete();
  table.GoTo(3);
  table.Delete();
  EXPECT_TRUE(table.Deleted());
  EXPECT_EQ(table.RecNo(), 3u);  // deleting keeps the record current

  std::vector<uint32_t> visited;
  for (table.GoTop(); !table.Eof(); table.Skip()) visited.push_back(table.RecNo());
  EXPECT_EQ(visited, (std::vector<uint32_t>{1, 2, 3, 4}));

  table.SetDeletedHidden(true);
  visited.clear();
  for (table.GoTop(); !table.Eof(); table.Skip()) visited.push_back(table.RecNo());
  EXPECT_EQ(visited, (std::vector<uint32_t>{2, 4}));
  EXPECT_EQ(table.RecNo(), 5u);

  table.GoTo(3);  // going to a number reaches even a hidden record
  EXPECT_EQ(table.RecNo(), 3u);
  EXPECT_EQ(table.GetNumber(Nota::X1), 3);
  table.GoTo(0);
  EXPECT_TRUE(table.Eof());
  table.GoTo(9);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecNo(), 5u);
  EXPECT_EQ(table.GetNumber(Nota::X1), 0);  // the end of the table reads as empty
  EXPECT_THROW(table.SetNumber(Nota::X1, 1), RuntimeError);

  // A note created after deletions takes the number after the last record, deleted or not.
  EXPECT_EQ(table.LastRec(), 4u);
  table.AppendBlank();
  EXPECT_EQ(table.RecNo(), 5u);
}

TEST_F(NoteTableTest, PackRemovesDeletedRecordsAndRenumbers) {
  {
    Table table = OpenAlone();
    for (int i = 1; i <= 5; ++i) {
      table.AppendBlank();
      table.SetNumber(Nota::X1, i);
      table.SetText(Nota::TEXTO, "nota " + std::to_string(i));
    }
    table.GoTo(2);
    table.Delete();
    table.GoTo(5);
    table.Delete();
    table.Pack();
    EXPECT_EQ(table.LastRec(), 3u);
    EXPECT_EQ(table.RecNo(), 1u);
    table.AppendBlank();  // the table stays usable after packing
    EXPECT_EQ(table.RecNo(), 4u);
  }
  EXPECT_FALSE(std::filesystem::exists(path + ".pack"));
  const auto dbf = ReadBytes(path);
  EXPECT_EQ(Little32(dbf, 4), 4u);
  EXPECT_EQ(dbf.back(), 0x1A);

  Table table = OpenAlone();
  std::vector<std::pair<double, std::string>> notes;
  for (table.GoTop(); table.RecNo() <= 3; table.Skip()) {
    EXPECT_FALSE(table.Deleted());
    notes.emplace_back(table.GetNumber(Nota::X1), table.GetText(Nota::TEXTO));
  }
  EXPECT_EQ(notes, (std::vector<std::pair<double, std::string>>{{1, "nota 1"}, {3, "nota 3"}, {4, "nota 4"}}));
}

TEST_F(NoteTableTest, PackWithoutDeletedRecordsWritesNothing) {
  {
    Table table = OpenAlone();
    table.AppendBlank();
  }
  const auto before = ReadBytes(path);
  Table table = OpenAlone();
  table.Pack();
  EXPECT_EQ(table.LastRec(), 1u);
  table.Close();
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(NoteTableTest, TableHeldByOneOpenCannotBeOpenedAgain) {
  Table table = OpenAlone();
  for (const FileAccess access : {FileAccess::kReadWriteAlone, FileAccess::kReadOnly}) {
    try {
      Table::Open(path, access);
      ADD_FAILURE() << "a second open succeeded";
    } catch (const RuntimeError& error) {
      EXPECT_TRUE(error.IsInUse()) << error.what();
      EXPECT_EQ(error.nGenCode, EG_OPEN);
      EXPECT_EQ(error.cFileName, path);
    }
  }
  table.Close();
  EXPECT_NO_THROW(OpenAlone());
}

TEST_F(NoteTableTest, ReadOnlyTableRefusesChanges) {
  {
    Table table = OpenAlone();
    table.AppendBlank();
  }
  const auto before = ReadBytes(path);
  Table table = Table::Open(path, FileAccess::kReadOnly);
  Table reader = Table::Open(path, FileAccess::kReadOnly);  // readers share
  for (auto change : std::initializer_list<std::function<void()>>{
           [&] { table.SetNumber(Nota::X1, 1); }, [&] { table.SetText(Nota::TEXTO, "x"); },
           [&] { table.AppendBlank(); }, [&] { table.Delete(); }, [&] { table.Pack(); }}) {
    try {
      change();
      ADD_FAILURE() << "a change was allowed";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.nGenCode, EG_READONLY);
    }
  }
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(NoteTableTest, MemoFileIsFoundInAnyLetterCase) {
  std::filesystem::rename(MemoPath(), dir.File("memotab.fpt"));
  Table table = OpenAlone();
  table.AppendBlank();
  table.SetText(Nota::TEXTO, "hola");
  EXPECT_EQ(table.GetText(Nota::TEXTO), "hola");
}

TEST_F(NoteTableTest, ClosedTableReportsItself) {
  Table table = OpenAlone();
  table.Close();
  EXPECT_FALSE(table.IsOpen());
  EXPECT_THROW(table.AppendBlank(), RuntimeError);
  EXPECT_THROW(table.GoTop(), RuntimeError);
}

TEST(TableVersions, AcceptsTheFourKnownVersionBytes) {
  for (const uint8_t version : std::initializer_list<uint8_t>{0x03, 0x30, 0x83, 0xF5}) {
    TempDir dir;
    const std::string path = dir.File("T.DBF");
    CreateTable(path, {{.cName = "NAME", .type = FieldType::kCharacter, .nWidth = 10}}, version, 0x03);
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    table.AppendBlank();
    table.SetText("NAME", "ok");
    table.Close();
    EXPECT_EQ(ReadBytes(path)[0], version);  // written back unchanged
  }
}

TEST(TableCreation, RefusesFieldsThatCannotMakeATable) {
  TempDir dir;
  const auto refuses = [&](std::vector<FieldDescriptor> fields) {
    EXPECT_THROW(CreateTable(dir.File("T.DBF"), fields, 0xF5, 0x03), RuntimeError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("T.DBF")));
  };
  refuses({});
  refuses({{.cName = "lower", .type = FieldType::kCharacter, .nWidth = 1}});
  refuses({{.cName = "ELEVENCHARS", .type = FieldType::kCharacter, .nWidth = 1}});
  refuses({{.cName = "D", .type = FieldType::kDate, .nWidth = 6}});
  refuses({{.cName = "A", .type = FieldType::kCharacter, .nWidth = 1},
           {.cName = "A", .type = FieldType::kNumeric, .nWidth = 3}});
}

}  // namespace
}  // namespace memotab
