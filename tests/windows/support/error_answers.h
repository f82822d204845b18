#pragma once

#include <string>
#include <vector>

#include "error_block.h"

namespace memotab::test {

// Stands in for the error dialog while it lives: the first `retries` errors are answered
// with Retry, every later one with Default, and every description is kept, with whether
// Default was offered.
class AnswerErrors {
 public:
  explicit AnswerErrors(int retries = 0) : retries_(retries) {
    SetErrorBlock([this](const RuntimeError& error) {
      errors.push_back(error.cDescription);
      skipOffered.push_back(error.lCanDefault);
      return retries_-- > 0 ? ErrorAnswer::kRetry : ErrorAnswer::kDefault;
    });
  }
  ~AnswerErrors() { SetErrorBlock(nullptr); }
  AnswerErrors(const AnswerErrors&) = delete;
  AnswerErrors& operator=(const AnswerErrors&) = delete;

  std::vector<std::string> errors;
  std::vector<bool> skipOffered;  // for each error: whether the error dialog would offer Default

 private:
  int retries_;
};

}  // namespace memotab::test
