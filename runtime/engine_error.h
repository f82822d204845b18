#pragma once

#include <string>

#include "runtime_error.h"

namespace memotab {

// The table engine's name in error reports.
inline constexpr const char* kEngineName = "DBFFPT";

// Sub codes of the errors the table engine raises.
enum EngineSubCode : int {
  SUB_OPEN = 1001,
  SUB_CREATE = 1002,
  SUB_READ = 1003,
  SUB_WRITE = 1004,
  SUB_REPLACE = 1005,
  SUB_CORRUPT_TABLE = 1010,
  SUB_CORRUPT_MEMO = 1011,
  SUB_MISSING_MEMO = 1012,
  SUB_NO_FIELD = 1020,
  SUB_FIELD_TYPE = 1021,
  SUB_FIELD_WIDTH = 1022,
  SUB_NO_RECORD = 1023,
  SUB_READ_ONLY = 1024,
  SUB_CLOSED = 1025,
  SUB_BAD_STRUCTURE = 1026,
};

[[noreturn]] void ThrowEngineError(int genCode, int subCode, std::string description,
                                   const std::string& fileName, std::string operation = {},
                                   int osCode = OS_NONE);

// A damaged table or memo file: the description names the problem, the error the file and
// the operation that met the damage ("open", "read", "assign", "pack").
[[noreturn]] void ThrowCorruptTable(const std::string& fileName, std::string operation, std::string problem);
[[noreturn]] void ThrowCorruptMemo(const std::string& fileName, std::string operation, std::string problem);

}  // namespace memotab
