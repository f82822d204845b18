// A process that dies between any two writes of the engine leaves a table that opens and
// still holds every note. Each scenario runs in a child process that is stopped right
// before its n-th file change (write, rename or removal), for n = 1, 2, ... until the
// scenario completes without being stopped.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "note_table.h"
#include "table.h"
#include "test_files.h"

namespace {

int changesLeft = -1;  // -1: never stop
constexpr int kStopped = 42;

void BeforeChange() {
  if (changesLeft == 0) _exit(kStopped);
  if (changesLeft > 0) --changesLeft;
}

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// The engine's file changes pass through these.
extern "C" ssize_t pwrite(int descriptor, const void* data, size_t count, off_t offset) {
  static const auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  BeforeChange();
  return real(descriptor, data, count, offset);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto real = Real<int (*)(const char*, const char*)>("rename");
  BeforeChange();
  return real(from, to);
}

extern "C" int unlink(const char* path) noexcept {
  static const auto real = Real<int (*)(const char*)>("unlink");
  BeforeChange();
  return real(path);
}

namespace memotab {
namespace {

using Notes = std::map<double, std::string>;  // X1 -> TEXTO of the live notes

Notes LiveNotes(const std::string& path) {
  Table table = Table::Open(path, FileAccess::kReadWriteAlone);
  Notes notes;
  for (table.GoTop(); !table.Eof(); table.Skip()) {
    table.CheckRecord();
    if (!table.Deleted()) notes[table.GetNumber(Nota::X1)] = table.GetText(Nota::TEXTO);
  }
  return notes;
}

void AddNote(Table& table, int x, const std::string& text) {
  table.AppendBlank();
  table.SetNumber(Nota::X1, x);
  table.SetText(Nota::TEXTO, text);
  table.SetLogical(Nota::ACTIVADA, true);
}

class CrashSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    AddNote(table, 1, "primera nota");
    AddNote(table, 2, "segunda nota, la que se borra");
    AddNote(table, 3, std::string(700, 't'));
    table.GoTo(2);
    table.Delete();
  }

  // Runs `scenario` on the table in a child stopped before its n-th change, for every n;
  // `check` sees the live notes each stopped child left.
  void StopAtEveryChange(const std::function<void(Table&)>& scenario,
                         const std::function<void(const Notes&)>& check) {
    const std::vector<uint8_t> dbf = test::ReadBytes(path);
    const std::vector<uint8_t> fpt = test::ReadBytes(dir.File("MEMOTAB.FPT"));
    for (int stopAt = 0;; ++stopAt) {
      ASSERT_LT(stopAt, 100) << "the scenario never completed";
      test::WriteBytes(path, dbf);
      test::WriteBytes(dir.File("MEMOTAB.FPT"), fpt);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        changesLeft = stopAt;
        Table table = Table::Open(path, FileAccess::kReadWriteAlone);
        scenario(table);
        _exit(0);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status));
      SCOPED_TRACE("stopped before change " + std::to_string(stopAt + 1));
      Notes notes;
      ASSERT_NO_THROW(notes = LiveNotes(path));
      check(notes);
      if (WEXITSTATUS(status) == 0) break;
      ASSERT_EQ(WEXITSTATUS(status), kStopped);
    }
  }

  test::TempDir dir;
  std::string path = test::CreateNoteTable(dir);
  const Notes before{{1, "primera nota"}, {3, std::string(700, 't')}};
};

TEST_F(CrashSafetyTest, AddingANoteLosesNothingElse) {
  StopAtEveryChange([](Table& table) { AddNote(table, 4, "nueva nota"); },
                    [&](const Notes& notes) {
                      Notes withoutNew = notes;
                      withoutNew.erase(4);
                      withoutNew.erase(0);  // the new record before its number was written
                      EXPECT_EQ(withoutNew, before);
                    });
}

TEST_F(CrashSafetyTest, ChangingATextKeepsTheOldOrTheNewText) {
  const std::string newText = "texto cambiado\r\n" + std::string(300, 'c');
  StopAtEveryChange(
      [&](Table& table) {
        table.GoTo(1);
        table.SetText(Nota::TEXTO, newText);
      },
      [&](const Notes& notes) {
        ASSERT_EQ(notes.size(), 2u);
        EXPECT_TRUE(notes.at(1) == before.at(1) || notes.at(1) == newText) << notes.at(1);
        EXPECT_EQ(notes.at(3), before.at(3));
      });
}

TEST_F(CrashSafetyTest, PackingLosesNoNote) {
  StopAtEveryChange([](Table& table) { table.Pack(); }, [&](const Notes& notes) { EXPECT_EQ(notes, before); });
  Table table = Table::Open(path, FileAccess::kReadWriteAlone);
  EXPECT_EQ(table.LastRec(), 2u);
}

}  // namespace
}  // namespace memotab
