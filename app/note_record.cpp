#include "note_record.h"

#include "app_state.h"
#include "note_table.h"

namespace memotab {

void AtNoteRecord(uint32_t nRec, const std::function<void(Table& nota)>& action) {
  Table& nota = NoteTable();
  const uint32_t previous = nota.RecNo();
  nota.GoTo(nRec);
  try {
    action(nota);
  } catch (...) {
    nota.GoTo(previous);
    throw;
  }
  nota.GoTo(previous);
}

void StoreNoteText(uint32_t nRec, const std::string& cText) {
  if (!oNota) return;  // the program has ended: nothing is left to store into
  AtNoteRecord(nRec, [&](Table& nota) {
    if (!nota.Eof() && !nota.Deleted()) nota.SetText(Nota::TEXTO, cText);
  });
}

int32_t NoteColour(uint32_t nRec, const char* cField) {
  int32_t colour = 0;
  AtNoteRecord(nRec, [&](Table& nota) { colour = static_cast<int32_t>(nota.GetNumber(cField)); });
  return colour;
}

}  // namespace memotab
