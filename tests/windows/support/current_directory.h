#pragma once

#include <filesystem>

#include "test_files.h"

namespace memotab::test {

// A temporary directory that is the process's current directory while the object lives.
class InTempDirectory {
 public:
  InTempDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir_.Path()); }
  ~InTempDirectory() { std::filesystem::current_path(previous_); }
  InTempDirectory(const InTempDirectory&) = delete;
  InTempDirectory& operator=(const InTempDirectory&) = delete;

  const TempDir& Dir() const { return dir_; }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  TempDir dir_;
  std::filesystem::path previous_;
};

}  // namespace memotab::test
