#pragma once

namespace memotab {

// Opens the notes at start-up when the settings say so (INICIO/VER begins with "SI").
void CHECAMUESTRANOTAS();
// Opens the window of every note whose window is not open.
void MUESTRANOTAS();
// Closes every open note window, keeping what their editors hold, and marks every note
// closed; returns true.
bool OCULTARNOTAS();

}  // namespace memotab
