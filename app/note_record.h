#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "table.h"

namespace memotab {

// Runs `action` on record nRec of the note table and then puts the table back on the record
// it was on: the current record is shared by every window, menu and scan, so a routine that
// acts for one note must not rely on it or leave it moved.
void AtNoteRecord(uint32_t nRec, const std::function<void(Table& nota)>& action);

// The text of a note's record; stored only while the record is live (a deleted note's
// editor may still hand its text back while its window closes).
void StoreNoteText(uint32_t nRec, const std::string& cText);
// A colour (CLRTEXTO or CLRNOTA) of a note's record.
int32_t NoteColour(uint32_t nRec, const char* cField);

}  // namespace memotab
