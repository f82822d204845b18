// One copy of the program per note table, for the whole run: the claim on the table, and a
// second copy started while the first packs its table (the table file closed while the
// packed one takes its place).
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>

#include "piped_process.h"
#include "current_directory.h"
#include "error_block.h"
#include "note_table.h"
#include "single_copy_guard.h"
#include "startup.h"
#include "table.h"
#include "ui_driver.h"

namespace memotab {
namespace {

TEST(SingleCopyGuard, OneHolderPerFileHoweverItsPathIsSpelt) {
  test::InTempDirectory here;
  std::filesystem::create_directory(here.File("otra"));
  {
    const SingleCopyGuard first(here.File("MEMOTAB.DBF"));
    EXPECT_FALSE(first.IsTakenElsewhere());
    std::string spelt = here.File("otra\\..\\memotab.dbf");
    EXPECT_TRUE(SingleCopyGuard(spelt).IsTakenElsewhere());
    EXPECT_TRUE(SingleCopyGuard("MEMOTAB.DBF").IsTakenElsewhere());
    // Another data folder is another table.
    EXPECT_FALSE(SingleCopyGuard(here.File("otra\\MEMOTAB.DBF")).IsTakenElsewhere());
  }
  EXPECT_FALSE(SingleCopyGuard(here.File("MEMOTAB.DBF")).IsTakenElsewhere());
}

std::string ProgramPath() {
  return (std::filesystem::path(test::BesideThisProgram("x")).parent_path() / MEMOTAB_EXE_RELATIVE)
      .lexically_normal()
      .string();
}

TEST(SingleCopy, SecondCopyStaysAwayWhileTheFirstPacks) {
  test::InTempDirectory here;
  const std::string table = test::CreateNoteTable(here.Dir());
  {
    Table notes = Table::Open(table, FileAccess::kReadWriteAlone);
    for (int i = 1; i <= 3; ++i) {
      notes.AppendBlank();
      notes.SetText(Nota::TEXTO, "nota " + std::to_string(i));
    }
    notes.GoTo(2);
    notes.Delete();
  }
  std::vector<std::string> errors;
  SetErrorBlock([&](const RuntimeError& error) {
    errors.push_back(error.what());
    return ErrorAnswer::kDefault;
  });

  // While the packed table takes the place of the closed table file: a copy stopped half-way
  // through its open, and the real program.
  std::optional<test::PipedProcess> probe;
  std::string probeSaw, secondSaid;
  int secondExitCode = -1;
  SetFileStepHook([&](FileStep step, const std::string& path) {
    if (step != FileStep::kReplace || path != table) return;
    probe.emplace(test::BesideThisProgram("memotab_second_copy_probe"), std::vector<std::string>{table});
    probeSaw = probe->ReadLine().value_or("(nothing)");
    test::PipedProcess second(ProgramPath(), {});
    secondSaid = test::AnswerMessageBox("Memotab v1.6", second.Id(), std::chrono::seconds(20));
    secondExitCode = second.Wait();
  });
  std::atomic<bool> ended = false;
  std::future<bool> mainSeen = std::async(std::launch::async, [&] {
    HWND main = nullptr;
    test::WaitUntil([&] { return (main = test::FindProcessWindow("TWINDOW", "Memotab v1.6")) != nullptr || ended; },
                    std::chrono::seconds(60));
    if (main != nullptr) PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return main != nullptr;
  });
  const int exitCode = GuardErrors(
      [] {
        MAIN();
        return 0;
      },
      1);
  ended = true;
  SetFileStepHook(nullptr);
  SetErrorBlock(nullptr);
  if (probe) {
    probe->CloseInput();
    probe->Wait();
  }

  EXPECT_EQ(probeSaw, "in use");
  EXPECT_EQ(secondSaid, "Memotab v1.6 ya está siendo usado!");
  EXPECT_EQ(secondExitCode, 0);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(errors, std::vector<std::string>{});
  EXPECT_TRUE(mainSeen.get());
  Table packed = Table::Open(table, FileAccess::kReadOnly);
  ASSERT_EQ(packed.LastRec(), 2u);
  EXPECT_EQ(packed.GetText(Nota::TEXTO), "nota 1");
  packed.Skip();
  EXPECT_EQ(packed.GetText(Nota::TEXTO), "nota 3");
}

}  // namespace
}  // namespace memotab
