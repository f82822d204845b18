#pragma once

#include <vector>

#include "table_header.h"

namespace memotab {

// Field names of the note table, known by its alias "Nota".
namespace Nota {
inline constexpr const char* X1 = "X1";
inline constexpr const char* Y1 = "Y1";
inline constexpr const char* X2 = "X2";
inline constexpr const char* Y2 = "Y2";
inline constexpr const char* CLRTEXTO = "CLRTEXTO";
inline constexpr const char* CLRNOTA = "CLRNOTA";
inline constexpr const char* TEXTO = "TEXTO";
inline constexpr const char* FECHA = "FECHA";
inline constexpr const char* HORA = "HORA";
inline constexpr const char* STATUS = "STATUS";
inline constexpr const char* ACTIVADA = "ACTIVADA";
}  // namespace Nota

inline constexpr const char* kNoteTableName = "MEMOTAB.DBF";
inline constexpr uint8_t kNoteTableVersion = 0xF5;     // a table whose memo fields live in its FPT file
inline constexpr uint8_t kNoteTableCodePage = 0x03;    // Windows-1252

// The eleven fields of a note table, in the order the tables we make hold them.
std::vector<FieldDescriptor> NoteTableFields();

}  // namespace memotab
