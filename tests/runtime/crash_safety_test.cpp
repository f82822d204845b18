// A process that stops between any two file changes of the engine, or that is killed while
// it works, leaves a table that opens with every note it held before, on every system. The
// work runs in memotab_table_writer, a process of its own: stopped right before its n-th
// change (write, truncation, creation, rename or removal) for n = 1, 2, ... until a run
// completes, or killed from here in the middle of its rounds.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "piped_process.h"
#include "crash_scenarios.h"
#include "test_files.h"

namespace memotab {
namespace {

using test::Notes;

constexpr int kStopped = 42;
// Each kill test kills a writer once it has done this many rounds, for each number here.
constexpr int kKillAfterRounds[] = {1, 2, 3, 5, 8, 13, 21, 34};

class CrashSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      Table table = Table::Open(path, FileAccess::kReadWriteAlone);
      test::WriteStartingNotes(table);
    }
    dbf = test::ReadBytes(path);
    fpt = test::ReadBytes(dir.File("MEMOTAB.FPT"));
  }

  void RestoreStartingNotes() {
    test::WriteBytes(path, dbf);
    test::WriteBytes(dir.File("MEMOTAB.FPT"), fpt);
  }

  static std::string Writer() { return test::BesideThisProgram("memotab_table_writer"); }

  // Runs one round of `scenario` in writers stopped before each change in turn; `check`
  // sees the notes each one left. Returns how many writers were stopped.
  int StopAtEveryChange(const char* scenario, const std::function<void(const Notes&)>& check) {
    for (int stopAt = 0; stopAt < 100; ++stopAt) {
      RestoreStartingNotes();
      test::PipedProcess writer(Writer(), {path, scenario, "stop", std::to_string(stopAt)});
      const int exitCode = writer.Wait();
      SCOPED_TRACE("stopped before change " + std::to_string(stopAt + 1));
      Notes notes;
      EXPECT_NO_THROW(notes = test::LiveNotes(path));
      check(notes);
      if (exitCode != kStopped) {
        EXPECT_EQ(exitCode, 0);
        std::cout << scenario << ": " << stopAt << " writers stopped, one completed\n";
        return stopAt;
      }
    }
    ADD_FAILURE() << "the scenario never completed";
    return 100;
  }

  // Starts a writer that repeats `scenario` and kills it as soon as it has reported `rounds`
  // rounds, while it works on the next; returns the last round it reported.
  int KillAfter(const char* scenario, int rounds) {
    RestoreStartingNotes();
    test::PipedProcess writer(Writer(), {path, scenario, "forever"});
    int done = 0;
    while (done < rounds) {
      const std::optional<std::string> line = writer.ReadLine();
      if (!line) {
        ADD_FAILURE() << "the writer ended by itself";
        break;
      }
      done = std::stoi(*line);
    }
    writer.Kill();
    return done;
  }

  // The notes beyond the starting ones that `notes` holds.
  Notes Added(Notes notes) const {
    for (const auto& [key, text] : before) {
      EXPECT_EQ(notes[key], text) << "starting note " << key;
      notes.erase(key);
    }
    return notes;
  }

  test::TempDir dir;
  std::string path = test::CreateNoteTable(dir);
  std::vector<uint8_t> dbf;
  std::vector<uint8_t> fpt;
  const Notes before = test::StartingNotes();
};

// A note added by round `round` or later is there whole or, while it was being filled, blank.
void ExpectAddedNotesWholeFrom(const Notes& added, int round) {
  int unfinished = 0;
  for (const auto& [key, text] : added) {
    const int addedBy = static_cast<int>(key) - static_cast<int>(test::AddedKey(0));
    if (key == 0 || text.empty()) {
      ++unfinished;
      EXPECT_TRUE(key == 0 || addedBy >= round) << key;
      EXPECT_EQ(text, "") << key;
    } else {
      EXPECT_GE(addedBy, round) << key;
      EXPECT_EQ(text, test::AddedText(addedBy));
    }
  }
  EXPECT_LE(unfinished, 1);
}

TEST_F(CrashSafetyTest, StoppedWhileAddingANoteLosesNothingElse) {
  const int stops = StopAtEveryChange("add", [&](const Notes& notes) { ExpectAddedNotesWholeFrom(Added(notes), 1); });
  EXPECT_GE(stops, 5);
}

TEST_F(CrashSafetyTest, StoppedWhileChangingATextKeepsTheOldOrTheNewText) {
  const int stops = StopAtEveryChange("retext", [&](const Notes& notes) {
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_TRUE(notes.at(1) == before.at(1) || notes.at(1) == test::ChangedText(1)) << notes.at(1);
    EXPECT_EQ(notes.at(3), before.at(3));
  });
  EXPECT_GE(stops, 3);
}

TEST_F(CrashSafetyTest, StoppedWhilePackingLosesNoNote) {
  const int stops = StopAtEveryChange("pack", [&](const Notes& notes) { EXPECT_EQ(notes, before); });
  EXPECT_GE(stops, 3);
  EXPECT_EQ(Table::Open(path, FileAccess::kReadOnly).LastRec(), 2u);
}

TEST_F(CrashSafetyTest, KilledWhileAddingNotesKeepsEveryFinishedOne) {
  for (const int rounds : kKillAfterRounds) {
    const int done = KillAfter("add", rounds);
    const Notes added = Added(test::LiveNotes(path));
    for (int round = 1; round <= done; ++round) {
      EXPECT_EQ(added.count(test::AddedKey(round)) ? added.at(test::AddedKey(round)) : "", test::AddedText(round));
    }
    Notes later = added;
    std::erase_if(later, [&](const auto& note) { return note.first != 0 && note.first <= test::AddedKey(done); });
    ExpectAddedNotesWholeFrom(later, done + 1);
  }
}

TEST_F(CrashSafetyTest, KilledWhileChangingATextKeepsAWholeText) {
  for (const int rounds : kKillAfterRounds) {
    const int done = KillAfter("retext", rounds);
    const Notes notes = test::LiveNotes(path);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes.at(3), before.at(3));
    const std::string& text = notes.at(1);
    const std::string prefix = "texto cambiado ";
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    const int round = std::atoi(text.c_str() + prefix.size());
    EXPECT_GE(round, done);
    EXPECT_EQ(text, test::ChangedText(round));
  }
}

TEST_F(CrashSafetyTest, KilledWhilePackingLosesNoNote) {
  for (const int rounds : kKillAfterRounds) {
    const int done = KillAfter("pack", rounds);
    ExpectAddedNotesWholeFrom(Added(test::LiveNotes(path)), done + 1);
  }
}

}  // namespace
}  // namespace memotab
