#pragma once

#include <string>

namespace memotab {

// Shows a reminder's text in a top-most "Recordatorio" window and returns at once; the
// window stays until its button or its close box closes it.
void MOSTRARRECORDATORIO(const std::string& cText);

}  // namespace memotab
