#include "notes_visibility.h"

#include "app_state.h"
#include "call_stack.h"
#include "event_loop.h"
#include "note_table.h"

namespace memotab {

bool OCULTARNOTAS() {
  const Routine routine;
  Table& nota = NoteTable();
  for (size_t i = 1; i <= aNoteWindows.size() && i <= nota.LastRec(); ++i) {
    if (const WindowPtr note = aNoteWindows[i - 1]) {
      SYSREFRESH();
      note->End();
    }
  }
  SYSWAIT(0.5);
  for (nota.GoTop(); !nota.Eof(); nota.Skip()) nota.SetLogical(Nota::ACTIVADA, false);
  return true;
}

}  // namespace memotab
