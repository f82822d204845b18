#pragma once

#include <cstdint>
#include <string>

#include "t_bitmap.h"
#include "t_get.h"
#include "t_window.h"

namespace memotab {

// Turns the note's text view into an editor of its record's text. cText is not used.
void EDITAR(TWindow& oNote, int nRec, const std::string& cText, TBitmap& oSave);
// Turns the editor back into a text view and stores its text in the note's record.
void FINEDITAR(TMultiGet& oEditor, TWindow& oNote, int nRec, TBitmap& oSave);
// Gives the note new colours (colour values) and stores them in its record.
void CAMBIACOLORES(int32_t nClrNota, int32_t nClrTexto, int nRec, TWindow& oNote);
// Stores what the note's editor holds, when the note is being edited: before its window
// closes, nothing typed is lost.
void GUARDATEXTO(int nRec);
// Whether the note is being edited (its editor is open).
bool IsEditing(int nRec);

}  // namespace memotab
