#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "t_say.h"
#include "t_window.h"

namespace memotab {

inline constexpr const char* kNoteToolTip =
    "1) Haga Click en el Area de la NOTA para capturar el Texto \r\n"
    "2) Haga Click en el Botón derecho para cambiar colores y otras opciones";

// With true, appends a new note (at 5/5 when the table has no record at all, else at a
// random place) and opens its window; with false, opens the window of the current record's
// note. Either way the note is marked open and becomes the last note opened.
void NUEVANOTA(bool lNew);
// Closes the note's window; as for any close of a note, what its editor holds is stored
// and the note is marked closed first.
void CERRARNOTA(TWindow& oNote, int nRec);
// Moves the note with the mouse while the left button is held.
void CLICKMOVER(TWindow& oNote);

// Shows `cText` in the note's colours below its title strip, as entry nRec of the text views.
std::shared_ptr<TSay> ShowNoteText(TWindow& oNote, int nRec, const std::string& cText, int32_t nClrText,
                                   int32_t nClrNota, int nWidth);

}  // namespace memotab
