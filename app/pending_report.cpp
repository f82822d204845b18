#include "pending_report.h"

#include "app_state.h"
#include "call_stack.h"
#include "clock.h"
#include "note_errors.h"
#include "paths.h"
#include "pending_sentences.h"
#include "settings.h"

namespace memotab {

void NOTASPENDIENTES() {
  const Routine routine;
  const bool useAgent = LEEINI(SettingsFile(), "AGENTE", "USAR", true);
  oAgent->lWait = true;  // each sentence ends before the next one starts
  Table& nota = NoteTable();
  const uint32_t remembered = nota.RecNo();
  // A note that cannot be read is reported and left out of the report.
  const std::vector<std::string> sentences =
      PendingSentences(nota, DATE(), [](const std::function<void()>& read) { return SkipNoteOnError(read); });
  nota.GoTo(remembered);
  for (const std::string& sentence : sentences) {
    if (useAgent && !oAgent->IsVisible()) oAgent->Show();
    oAgent->Say(sentence);
  }
  nota.GoTo(remembered);
}

}  // namespace memotab
