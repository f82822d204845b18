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

// Reads every note as it is.
inline bool ReadNote(const std::function<void()>& read) {
  read();
  return true;
}

// The sentences of the pending-notes report, in the order they are said, for the notes of
// `nota` that have a date and a time and have not been announced, in record order; `dToday`
// tells the past from the future. Each note is read through `reading`.
// Leaves the table at its end.
std::vector<std::string> PendingSentences(Table& nota, Date dToday, const NoteReading& reading = ReadNote);

}  // namespace memotab
