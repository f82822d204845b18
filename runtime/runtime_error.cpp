#include "runtime_error.h"

#include "call_stack.h"

namespace memotab {

namespace {

std::string Summary(const std::string& subSystem, int subCode, const std::string& description,
                    const std::string& fileName) {
  std::string text = subSystem + "/" + std::to_string(subCode) + "  " + description;
  if (!fileName.empty()) text += ": " + fileName;
  return text;
}

}  // namespace

RuntimeError::RuntimeError(int genCode, std::string subSystem, int subCode, std::string description,
                           std::string fileName, std::string operation, int osCode)
    : std::runtime_error(Summary(subSystem, subCode, description, fileName)),
      nGenCode(genCode),
      nOsCode(osCode),
      cSubSystem(std::move(subSystem)),
      nSubCode(subCode),
      cDescription(std::move(description)),
      cFileName(std::move(fileName)),
      cOperation(std::move(operation)),
      aCallStack(CallStack()) {}

bool RuntimeError::IsInUse() const {
  return nGenCode == EG_OPEN && nOsCode == OS_SHARING_VIOLATION;
}

}  // namespace memotab
