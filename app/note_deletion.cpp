#include "note_deletion.h"

#include <cstdint>
#include <string>

#include "app_state.h"
#include "call_stack.h"
#include "message_boxes.h"
#include "note_editing.h"
#include "note_table.h"
#include "notes_visibility.h"
#include "startup.h"

namespace memotab {

namespace {

// The question put by the character when one is loaded; without one the character could
// not answer, so the same question goes to the yes/no box. Only an explicit yes is a yes.
bool UserSaysYes(const std::string& cQuestion) {
  if (oAgent && oAgent->lOK) return oAgent->WYesNo(cQuestion, kProgramTitle).value_or(false);
  return MSGNOYES(cQuestion, kProgramTitle);
}

// A deleted note never opens again: its window object, its text and its editor go, so
// that nothing of it stays for the rest of the run.
void ForgetNote(uint32_t nRec) {
  const size_t entry = nRec - 1;
  if (entry < aNoteWindows.size()) aNoteWindows[entry].reset();
  if (entry < aNoteSays.size()) aNoteSays[entry].reset();
  if (entry < aNoteEditors.size()) aNoteEditors[entry].reset();
}

// Whether the note's window is still there (one that refused to close while the notes were
// hidden): it stays known, so that hiding the notes again or the program's end still close it.
bool WindowStaysOpen(uint32_t nRec) {
  const size_t entry = nRec - 1;
  return entry < aNoteWindows.size() && aNoteWindows[entry] && aNoteWindows[entry]->hWnd != nullptr;
}

}  // namespace

void BORRARNOTA(int nRec) {
  const Routine routine;
  if (!UserSaysYes("Desea Eliminar esta nota ?")) return;
  Table& nota = NoteTable();
  nota.GoTo(static_cast<uint32_t>(nRec));
  nota.SetLogical(Nota::ACTIVADA, false);  // its window closes with it
  nota.Delete();
  if (nRec >= 1 && static_cast<size_t>(nRec) <= aNoteWindows.size()) {
    aNoteEditors[nRec - 1].reset();
    const WindowPtr note = aNoteWindows[nRec - 1];
    if (note && note->hWnd != nullptr && !note->End()) return;  // a window that stays open stays known
  }
  ForgetNote(static_cast<uint32_t>(nRec));
}

void ELIMINATODAS() {
  const Routine routine;
  if (!UserSaysYes("Desea Eliminar TODAS las Notas ?")) return;
  OCULTARNOTAS();
  Table& nota = NoteTable();
  for (nota.GoTop(); !nota.Eof(); nota.Skip()) {
    nota.Delete();
    if (!WindowStaysOpen(nota.RecNo())) ForgetNote(nota.RecNo());
  }
  nota.GoTop();
}

}  // namespace memotab
