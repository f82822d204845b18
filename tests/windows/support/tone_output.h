#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "sounds.h"

namespace memotab::test {

// While it lives, the tones TONE plays and the silences after them are written down here
// instead of sounded (TONE still takes its time); at its end the output it replaced is back.
// `atFirstTone`, when given, runs as the first tone since the start or the last Clear begins.
class RecordedTones {
 public:
  explicit RecordedTones(std::function<void()> atFirstTone = {})
      : atFirstTone_(std::move(atFirstTone)),
        replaced_(SetToneOutputForTesting([this](double frequency, double milliseconds) {
          if (frequency == 0) {
            silences_.push_back(milliseconds);
            return;
          }
          if (frequencies_.empty() && atFirstTone_) atFirstTone_();
          frequencies_.push_back(frequency);
        })) {}
  ~RecordedTones() { SetToneOutputForTesting(std::move(replaced_)); }
  RecordedTones(const RecordedTones&) = delete;
  RecordedTones& operator=(const RecordedTones&) = delete;

  // The frequencies of the tones played, in hertz, in the order they came.
  const std::vector<double>& Frequencies() const { return frequencies_; }
  // The silent spans that followed them, in milliseconds.
  const std::vector<double>& Silences() const { return silences_; }
  void Clear() {
    frequencies_.clear();
    silences_.clear();
  }

 private:
  std::function<void()> atFirstTone_;
  std::vector<double> frequencies_;
  std::vector<double> silences_;
  ToneOutput replaced_;
};

}  // namespace memotab::test
