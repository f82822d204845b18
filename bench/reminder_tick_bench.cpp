// The reminder timer's tick over a table of 10,000 notes with no reminder due, under the
// real window system: the scan reads every record and lets waiting events through as it
// goes. Leaves the table (and settings that keep its notes closed at start) in the folder
// given as the first argument, for a run of the program itself.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app_state.h"
#include "clock.h"
#include "note_table.h"
#include "paths.h"
#include "reminder_timer.h"
#include "t_ini.h"

namespace {

using namespace memotab;

constexpr int kNotes = 10000;
constexpr int kTicks = 50;

void FillTable(Table& nota) {
  for (int i = 0; i < kNotes; ++i) {
    nota.AppendBlank();
    nota.SetNumber(Nota::X1, i % 66);
    nota.SetNumber(Nota::Y1, i % 19);
    nota.SetNumber(Nota::X2, i % 66 + 25);
    nota.SetNumber(Nota::Y2, i % 19 + 15);
    nota.SetNumber(Nota::CLRNOTA, 65535);
    nota.SetText(Nota::TEXTO, "Nota número " + std::to_string(i) + ": comprar pan, leche y café.");
    nota.SetDate(Nota::FECHA, *Date::FromYmd(2026, 1 + i % 12, 1 + i % 28));
    nota.SetText(Nota::HORA, "09:05");
    nota.SetText(Nota::STATUS, i % 3 == 0 ? "X" : ".");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "reminder-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  const std::string tablePath = CurrentDirectoryFile(kNoteTableName);
  CreateTable(tablePath, NoteTableFields(), kNoteTableVersion, kNoteTableCodePage);
  TIni settings(SettingsFile());
  settings.Set("INICIO", "VER", "NO");
  settings.Set("AGENTE", "VISIBLE", false);

  oNota.emplace(Table::Open(tablePath, FileAccess::kReadWriteAlone));
  oNota->SetDeletedHidden(true);
  FillTable(*oNota);
  oAgent = TMsAgent::New({.cName = "", .lMenu = false});
  oWndMain = TWindow::New({});
  aAnimations = {"Think", "Confused", "Uncertain", "Alert", "Pleased", "Explain", "Sad", "Surprised", "Wave"};
  // No note falls due: every reminder is for 09:05, the clock says noon of another day.
  ForTestingSetClock([] { return LocalTime{*Date::FromYmd(2027, 6, 30), 12 * 3600.0}; });

  std::vector<double> milliseconds;
  for (int tick = 0; tick < kTicks; ++tick) {
    const auto start = std::chrono::steady_clock::now();
    CHECAAVISOS();
    milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("one tick over %d notes, none due (%d ticks): median %.2f ms, fastest %.2f ms, slowest %.2f ms\n", kNotes,
              kTicks, milliseconds[milliseconds.size() / 2], milliseconds.front(), milliseconds.back());

  oAgent->End();
  oNota->Close();
  return 0;
}
