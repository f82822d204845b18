#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "sounds.h"

namespace memotab::test {

// While it lives, the tones TONE plays are written down here instead of sounded (TONE still
// takes its time); at its end the output it replaced is back. `atFirstTone`, when given, runs
// as the first tone since the start or the last Clear begins.
class RecordedTones {
 public:
  explicit RecordedTones(std::function<void()> atFirstTone = {})
      : atFirstTone_(std::move(atFirstTone)),
        replaced_(SetToneOutputForTesting([this](double frequency, double) {
          if (frequencies_.empty() && atFirstTone_) atFirstTone_();
          frequencies_.push_back(frequency);
        })) {}
  ~RecordedTones() { SetToneOutputForTesting(std::move(replaced_)); }
  RecordedTones(const RecordedTones&) = delete;
  RecordedTones& operator=(const RecordedTones&) = delete;

  // The frequencies of the tones played, in hertz, in the order they came.
  const std::vector<double>& Frequencies() const { return frequencies_; }
  void Clear() { frequencies_.clear(); }

 private:
  std::function<void()> atFirstTone_;
  std::vector<double> frequencies_;
  ToneOutput replaced_;
};

}  // namespace memotab::test
