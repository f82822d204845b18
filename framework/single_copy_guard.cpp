#include "single_copy_guard.h"

#include "win.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace memotab {

namespace {

// One name per file: the full path in capitals, hashed (FNV-1a) because a path may be
// longer than a name can be. "Global\\" reaches the copies of every user logged on.
std::string ClaimName(const std::string& file) {
  std::vector<char> full(32768);
  const DWORD length = GetFullPathNameA(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  std::string path = length > 0 && length < full.size() ? std::string(full.data(), length) : file;
  CharUpperBuffA(path.data(), static_cast<DWORD>(path.size()));
  uint64_t hash = 14695981039346656037ull;
  for (const char c : path) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  char name[64];
  std::snprintf(name, sizeof name, "Global\\Memotab-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

SingleCopyGuard::SingleCopyGuard(const std::string& cFile) {
  const HANDLE claim = CreateMutexA(nullptr, FALSE, ClaimName(cFile).c_str());
  if (claim == nullptr) {
    // A holder of another user keeps us out of its claim.
    takenElsewhere_ = GetLastError() == ERROR_ACCESS_DENIED;
    return;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(claim);
    takenElsewhere_ = true;
    return;
  }
  hClaim_ = claim;
}

SingleCopyGuard::~SingleCopyGuard() {
  if (hClaim_ != nullptr) CloseHandle(hClaim_);
}

}  // namespace memotab
