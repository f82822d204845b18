#pragma once

#include <string>

namespace memotab {

// This process's claim on a file, held for as long as the object lives. Only one holder
// at a time, machine-wide, per file: a second process (or object) that asks for the claim
// on the same file gets none, however the path is spelt (letter case, "..", doubled
// separators). The program claims its note table before opening it, so that a second copy
// keeps away from the table for the whole run, also while a pack has the table file closed.
// Other programs are kept away by the table's exclusive open alone.
class SingleCopyGuard {
 public:
  explicit SingleCopyGuard(const std::string& cFile);
  ~SingleCopyGuard();
  SingleCopyGuard(const SingleCopyGuard&) = delete;
  SingleCopyGuard& operator=(const SingleCopyGuard&) = delete;

  // Whether another holder has the claim. When the system cannot make claims at all, nobody
  // holds one and the exclusive open alone decides.
  bool IsTakenElsewhere() const { return takenElsewhere_; }

 private:
  void* hClaim_ = nullptr;  // a named mutex; its name stands for the file
  bool takenElsewhere_ = false;
};

}  // namespace memotab
