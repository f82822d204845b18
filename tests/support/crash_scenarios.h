#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "table.h"

namespace memotab::test {

// The work that the crash-safety tests interrupt. The test and the program that does the
// work (memotab_table_writer) share it, so both agree on what the table must hold.

// CLRNOTA -> TEXTO of the live notes of a table.
using Notes = std::map<double, std::string>;

// Opens the table for writing, checks every record (memos included) and returns its notes.
Notes LiveNotes(const std::string& path);

// Puts in the starting notes: three notes, the second one deleted.
void WriteStartingNotes(Table& table);
// The live starting notes.
Notes StartingNotes();

enum class Scenario {
  kAdd,     // append a note and fill it
  kRetext,  // give the first note a new text
  kPack,    // (after the first round: add a note and delete it,) then pack
};
std::optional<Scenario> ScenarioNamed(std::string_view name);

// Runs round `round` (1, 2, ...) of a scenario on a table that holds the starting notes and
// the earlier rounds' work.
void RunRound(Scenario scenario, Table& table, int round);
// The key and the text of the note a round adds, and the text a round gives the first note.
double AddedKey(int round);
std::string AddedText(int round);
std::string ChangedText(int round);

}  // namespace memotab::test
