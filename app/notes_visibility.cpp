#include "notes_visibility.h"

#include <string>

#include "app_state.h"
#include "call_stack.h"
#include "event_loop.h"
#include "note_errors.h"
#include "note_table.h"
#include "note_windows.h"
#include "paths.h"
#include "settings.h"

namespace memotab {

void CHECAMUESTRANOTAS() {
  const Routine routine;
  const std::string ver = LEEINI(SettingsFile(), "INICIO", "VER", std::string("SI"));
  if (ver.compare(0, 2, "SI") == 0) MUESTRANOTAS();
}

void MUESTRANOTAS() {
  const Routine routine;
  Table& nota = NoteTable();
  if (nota.LastRec() == 0) return;
  for (nota.GoTop(); !nota.Eof(); nota.Skip()) {
    if (nota.GetLogical(Nota::ACTIVADA)) continue;
    const uint32_t recNo = nota.RecNo();
    // A note that cannot be opened (its text unreadable) is reported and the next one opens.
    SkipNoteOnError([&] {
      nota.GoTo(recNo);
      NUEVANOTA(false);
    });
    nota.GoTo(recNo);  // a note window that gains the focus moves the current record
  }
}

bool OCULTARNOTAS() {
  const Routine routine;
  Table& nota = NoteTable();
  for (size_t i = 1; i <= aNoteWindows.size() && i <= nota.LastRec(); ++i) {
    if (const WindowPtr note = aNoteWindows[i - 1]) {
      SYSREFRESH();
      note->End();  // its validation stores what is being typed
    }
  }
  // Every note is marked closed before the wait: a "Mostrar todas las Notas" chosen while
  // the windows close must find them closed, or it would open none.
  for (nota.GoTop(); !nota.Eof(); nota.Skip()) nota.SetLogical(Nota::ACTIVADA, false);
  SYSWAIT(0.5);
  return true;
}

}  // namespace memotab
