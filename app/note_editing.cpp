#include "note_editing.h"

#include "app_state.h"
#include "call_stack.h"
#include "note_record.h"
#include "note_table.h"
#include "note_windows.h"

namespace memotab {

namespace {

std::shared_ptr<TMultiGet> EditorOf(int nRec) {
  const auto index = static_cast<size_t>(nRec - 1);
  if (nRec < 1 || index >= aNoteEditors.size()) return nullptr;
  const std::shared_ptr<TMultiGet>& editor = aNoteEditors[index];
  return editor && editor->hWnd != nullptr ? editor : nullptr;
}

void EndTextView(int nRec) {
  if (std::shared_ptr<TSay>& say = aNoteSays[nRec - 1]) {
    say->End();
    say.reset();
  }
}

}  // namespace

bool IsEditing(int nRec) { return EditorOf(nRec) != nullptr; }

void EDITAR(TWindow& oNote, int nRec, const std::string&, TBitmap& oSave) {
  const Routine routine;
  if (IsEditing(nRec)) return;  // a click on a note being edited does nothing
  oSave.LoadImage("SAVE2");
  oSave.Refresh();
  EndTextView(nRec);
  const auto rec = static_cast<uint32_t>(nRec);
  NoteTable().GoTo(rec);
  // Bound to the note's own record, whichever record is current when it hands its text back.
  const SetGet<std::string> texto{[rec] {
                                    std::string text;
                                    AtNoteRecord(rec, [&](Table& nota) { text = nota.GetText(Nota::TEXTO); });
                                    return text;
                                  },
                                  [rec](const std::string& text) { StoreNoteText(rec, text); }};
  const auto editor = TMultiGet::New(1.5, 0.5, texto, oNote, 190, 215,
                                     {.nClrFore = NoteColour(rec, Nota::CLRTEXTO),
                                      .nClrBack = NoteColour(rec, Nota::CLRNOTA),
                                      .lNoBorder = true,
                                      .lNoVScroll = true});
  aNoteEditors[nRec - 1] = editor;
  editor->SetFocus();
}

void FINEDITAR(TMultiGet& oEditor, TWindow& oNote, int nRec, TBitmap& oSave) {
  const Routine routine;
  const std::string text = oEditor.cText();
  aNoteEditors[nRec - 1].reset();
  oEditor.End();
  const auto rec = static_cast<uint32_t>(nRec);
  ShowNoteText(oNote, nRec, text, NoteColour(rec, Nota::CLRTEXTO), NoteColour(rec, Nota::CLRNOTA), 185)->Refresh();
  oSave.LoadImage("SAVE1");
  oSave.Refresh();
  StoreNoteText(rec, text);
}

void CAMBIACOLORES(int32_t nClrNota, int32_t nClrTexto, int nRec, TWindow& oNote) {
  const Routine routine;
  oNote.SetColor(nClrTexto, nClrNota, TBrush::New(nClrNota));
  oNote.Refresh();
  EndTextView(nRec);
  std::string text;
  AtNoteRecord(static_cast<uint32_t>(nRec), [&](Table& nota) {
    nota.SetNumber(Nota::CLRTEXTO, nClrTexto);
    nota.SetNumber(Nota::CLRNOTA, nClrNota);
    text = nota.GetText(Nota::TEXTO);
  });
  if (const std::shared_ptr<TMultiGet> editor = EditorOf(nRec)) {
    // While editing, the editor takes the colours and keeps what is being typed.
    editor->SetColor(nClrTexto, nClrNota);
    editor->TWindow::Refresh();  // repainted, not reloaded from the record
    return;
  }
  ShowNoteText(oNote, nRec, text, nClrTexto, nClrNota, 185)->Refresh();
}

void GUARDATEXTO(int nRec) {
  if (const std::shared_ptr<TMultiGet> editor = EditorOf(nRec)) editor->Store();
}

}  // namespace memotab
