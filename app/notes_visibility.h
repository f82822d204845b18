#pragma once

namespace memotab {

// Closes every open note window and marks every note closed; returns true.
bool OCULTARNOTAS();

}  // namespace memotab
