#pragma once

#include <string>

#include "table.h"

namespace memotab {

// The current record as one JSON object: "recno", "deleted", then every field by name in
// table order. Texts are trimmed on the right and converted from Windows-1252 to UTF-8,
// dates are "YYYY-MM-DD" or null.
std::string RecordAsJson(const Table& table);

}  // namespace memotab
