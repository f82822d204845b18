#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace memotab {

// General error codes carried by RuntimeError::nGenCode.
enum GenCode : int {
  EG_ARG = 1,
  EG_ZERODIV = 5,
  EG_MEM = 11,
  EG_CREATE = 20,
  EG_OPEN = 21,
  EG_CLOSE = 22,
  EG_READ = 23,
  EG_WRITE = 24,
  EG_UNSUPPORTED = 30,
  EG_CORRUPTION = 32,
  EG_DATATYPE = 33,
  EG_DATAWIDTH = 34,
  EG_READONLY = 39,
  EG_APPENDLOCK = 40,
};

// Operating-system error codes carried by RuntimeError::nOsCode (the Windows numbering,
// also used for the same conditions on other systems).
enum OsCode : int {
  OS_NONE = 0,
  OS_FILE_NOT_FOUND = 2,
  OS_PATH_NOT_FOUND = 3,
  OS_ACCESS_DENIED = 5,
  OS_SHARING_VIOLATION = 32,
  OS_DISK_FULL = 112,
};

// One argument of the failed operation, as shown in the error report: a type letter and
// the value's text.
struct ErrorArg {
  char cType = 'U';
  std::string cValue;
};

// The one error type of the program. The table engine and the window framework raise it;
// the top-level handler reports it. All texts are Windows-1252.
class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int genCode, std::string subSystem, int subCode, std::string description,
               std::string fileName = {}, std::string operation = {}, int osCode = OS_NONE);

  int nGenCode = 0;
  int nOsCode = OS_NONE;
  std::string cSubSystem;
  int nSubCode = 0;
  int nSeverity = 2;  // above 1: an error, not a warning
  std::string cDescription;
  std::string cFileName;
  std::string cOperation;
  std::vector<ErrorArg> aArgs;
  bool lCanRetry = false;
  bool lCanDefault = false;
  std::vector<std::string> aCallStack;  // the running routines when the error arose, innermost first

  // True when a file could not be opened because another process holds it.
  bool IsInUse() const;
};

}  // namespace memotab
