#include "note_table.h"

namespace memotab {

std::vector<FieldDescriptor> NoteTableFields() {
  // Rectangles reach 90 columns and colours 16777215 (white); HORA must be exactly
  // "HH:MM" wide to equal the clock's time.
  return {
      {.cName = Nota::X1, .type = FieldType::kNumeric, .nWidth = 3},
      {.cName = Nota::Y1, .type = FieldType::kNumeric, .nWidth = 3},
      {.cName = Nota::X2, .type = FieldType::kNumeric, .nWidth = 3},
      {.cName = Nota::Y2, .type = FieldType::kNumeric, .nWidth = 3},
      {.cName = Nota::CLRTEXTO, .type = FieldType::kNumeric, .nWidth = 8},
      {.cName = Nota::CLRNOTA, .type = FieldType::kNumeric, .nWidth = 8},
      {.cName = Nota::TEXTO, .type = FieldType::kMemo, .nWidth = 10},
      {.cName = Nota::FECHA, .type = FieldType::kDate, .nWidth = 8},
      {.cName = Nota::HORA, .type = FieldType::kCharacter, .nWidth = 5},
      {.cName = Nota::STATUS, .type = FieldType::kCharacter, .nWidth = 1},
      {.cName = Nota::ACTIVADA, .type = FieldType::kLogical, .nWidth = 1},
  };
}

}  // namespace memotab
