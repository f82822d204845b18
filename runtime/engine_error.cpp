#include "engine_error.h"

namespace memotab {

void ThrowEngineError(int genCode, int subCode, std::string description, const std::string& fileName,
                      std::string operation, int osCode) {
  RuntimeError error(genCode, kEngineName, subCode, std::move(description), fileName,
                     std::move(operation), osCode);
  error.lCanDefault = genCode == EG_OPEN;
  throw error;
}

void ThrowCorruptTable(const std::string& fileName, std::string operation, std::string problem) {
  ThrowEngineError(EG_CORRUPTION, SUB_CORRUPT_TABLE, "Corrupt table: " + problem, fileName, std::move(operation));
}

void ThrowCorruptMemo(const std::string& fileName, std::string operation, std::string problem) {
  ThrowEngineError(EG_CORRUPTION, SUB_CORRUPT_MEMO, "Corrupt memo file: " + problem, fileName, std::move(operation));
}

}  // namespace memotab
