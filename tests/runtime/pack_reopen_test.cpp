// A pack puts the packed table file in the place of the old one and opens it again. Another
// program may look at the new file for a moment, as virus scanners do: the pack waits for it.
// One that keeps the file makes the pack fail with an error that is reported, never with the
// quiet in-use answer that the table's first open gives to a second copy of the program.
#include <gtest/gtest.h>

#include "note_table.h"
#include "runtime_error.h"
#include "table.h"
#include "test_files.h"

namespace memotab {
namespace {

class PackReopenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    for (const char* text : {"uno", "dos", "tres"}) {
      table.AppendBlank();
      table.SetText(Nota::TEXTO, text);
    }
    table.GoTo(2);
    table.Delete();
  }
  void TearDown() override { SetFileStepHook(nullptr); }

  // From the pack's first open of the new table file on, another program holds that file
  // until the pack has tried `attempts` opens (for ever when 0).
  void AnotherProgramHoldsTheNewFile(int attempts) {
    SetFileStepHook([this, attempts](FileStep step, const std::string& file) {
      if (step != FileStep::kOpen || file != path || holding_) return;
      ++opens_;
      if (opens_ == 1) {
        holding_ = true;
        other_ = File::Open(path, FileAccess::kReadWriteAlone);
        holding_ = false;
      }
      if (opens_ == attempts) other_.reset();
    });
  }

  std::vector<std::string> Texts() {
    Table table = Table::Open(path, FileAccess::kReadOnly);
    std::vector<std::string> texts;
    for (table.GoTop(); !table.Eof(); table.Skip()) texts.push_back(table.GetText(Nota::TEXTO));
    return texts;
  }

  test::TempDir dir;
  std::string path = test::CreateNoteTable(dir);
  std::optional<File> other_;
  int opens_ = 0;
  bool holding_ = false;
};

TEST_F(PackReopenTest, WaitsForAProgramThatLooksAtTheNewFile) {
  Table table = Table::Open(path, FileAccess::kReadWriteAlone);
  AnotherProgramHoldsTheNewFile(3);
  EXPECT_NO_THROW(table.Pack());
  EXPECT_EQ(opens_, 3);
  EXPECT_EQ(table.LastRec(), 2u);
  EXPECT_EQ(table.GetText(Nota::TEXTO), "uno");
  table.Close();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"uno", "tres"}));
}

TEST_F(PackReopenTest, FileKeptByAnotherProgramIsAReportedPackError) {
  Table table = Table::Open(path, FileAccess::kReadWriteAlone);
  AnotherProgramHoldsTheNewFile(0);
  try {
    table.Pack();
    ADD_FAILURE() << "the pack succeeded";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.cFileName, path);
    EXPECT_EQ(error.cOperation, "pack");
    EXPECT_EQ(error.nOsCode, OS_SHARING_VIOLATION);
    EXPECT_FALSE(error.lCanDefault);  // the error handler reports it
  }
  EXPECT_FALSE(table.IsOpen());
  other_.reset();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"uno", "tres"}));
}

}  // namespace
}  // namespace memotab
