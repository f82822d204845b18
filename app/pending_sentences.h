#pragma once

#include <functional>
#include <string>
#include <vector>

#include "date.h"
#include "table.h"

namespace memotab {

// A date as it is spoken: "05 de Julio del 2005".
std::string DETALLAFECHA(Date dFecha);

// Runs the reading of one note; false when that note is to be left out (it could not be read).
using NoteReading = std::function<bool(const std::function<void()>& read)>;

// The sentences of the pending-notes report, in the order they are said, for the notes of
// `nota` that have a date and a time and have not been announced, in record order; `dToday`
// tells the past from the future. Each note is read through `reading` when one is given.
// Leaves the table at its end.
std::vector<std::string> PendingSentences(Table& nota, Date dToday, const NoteReading& reading = {});

}  // namespace memotab
