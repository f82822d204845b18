#include "crash_scenarios.h"

#include "note_table.h"

namespace memotab::test {

namespace {

void AddNote(Table& table, double key, const std::string& text) {
  table.AppendBlank();
  table.SetNumber(Nota::CLRNOTA, key);
  table.SetText(Nota::TEXTO, text);
  table.SetLogical(Nota::ACTIVADA, true);
}

}  // namespace

Notes LiveNotes(const std::string& path) {
  Table table = Table::Open(path, FileAccess::kReadWriteAlone);
  Notes notes;
  for (table.GoTop(); !table.Eof(); table.Skip()) {
    table.CheckRecord();
    if (!table.Deleted()) notes[table.GetNumber(Nota::CLRNOTA)] = table.GetText(Nota::TEXTO);
  }
  return notes;
}

void WriteStartingNotes(Table& table) {
  AddNote(table, 1, "primera nota");
  AddNote(table, 2, "segunda nota, la que se borra");
  AddNote(table, 3, std::string(700, 't'));
  table.GoTo(2);
  table.Delete();
}

Notes StartingNotes() { return {{1, "primera nota"}, {3, std::string(700, 't')}}; }

std::optional<Scenario> ScenarioNamed(std::string_view name) {
  if (name == "add") return Scenario::kAdd;
  if (name == "retext") return Scenario::kRetext;
  if (name == "pack") return Scenario::kPack;
  return std::nullopt;
}

double AddedKey(int round) { return 100 + round; }

std::string AddedText(int round) { return "nota nueva " + std::to_string(round); }

std::string ChangedText(int round) {
  return "texto cambiado " + std::to_string(round) + "\r\n" + std::string(300 + round % 200, 'c');
}

void RunRound(Scenario scenario, Table& table, int round) {
  switch (scenario) {
    case Scenario::kAdd:
      AddNote(table, AddedKey(round), AddedText(round));
      break;
    case Scenario::kRetext:
      table.GoTo(1);
      table.SetText(Nota::TEXTO, ChangedText(round));
      break;
    case Scenario::kPack:
      if (round > 1) {
        AddNote(table, AddedKey(round), AddedText(round));
        table.Delete();
      }
      table.Pack();
      break;
  }
}

}  // namespace memotab::test
