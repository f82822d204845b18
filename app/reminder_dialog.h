#pragma once

#include <cstdint>
#include <string>

#include "date.h"

namespace memotab {

class TDialog;

// The reminder dialog for the note table's current record (the note menu has made it
// current; `nRecNo` is the note's record number as the menu passes it and moves nothing).
// Accept stores the date and time; Cancel, Escape and the close box store nothing.
void RECORDATORIO(uint32_t nRecNo);
// Whether a time typed as "HH:MM" has hours 0 to 23 and minutes 0 to 59, each piece read
// as a number (leading blanks, a sign, digits; the third character is not looked at).
// When not, the assistant says which part is wrong.
bool VALIDAHORA(const std::string& cHora);
// Stores the reminder in the current record (FECHA, HORA and STATUS "." in that order) and
// closes the dialog.
void GRABARECORDATORIO(TDialog& oDlg, Date dFecha, const std::string& cHora);

}  // namespace memotab
