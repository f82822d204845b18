#pragma once

namespace memotab {

// Deletes the note of record nRec, and closes its window, when the user says yes.
void BORRARNOTA(int nRec);
// Hides every note and deletes them all, when the user says yes.
void ELIMINATODAS();

}  // namespace memotab
