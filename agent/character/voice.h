#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "speech_engine.h"

namespace memotab::character {

// The character's voice: a speech engine made when first needed. Where no engine works,
// Start says so and the character's speech is paced alone.
class Voice {
 public:
  explicit Voice(SpeechEngineMaker makeEngine) : makeEngine_(std::move(makeEngine)) {}
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;
  ~Voice();

  // Starts speaking the text and returns at once; false when there is no engine that
  // speaks (then it is not asked again).
  bool Start(const std::wstring& text);
  // Whether the words started last are still to be said or being said.
  bool Speaking();
  // Where in the text the engine is: the position of the word being said.
  size_t Position();
  // Silences the engine.
  void Cancel();

 private:
  bool Ready();

  SpeechEngineMaker makeEngine_;
  std::unique_ptr<SpeechEngine> engine_;
  bool broken_ = false;
  bool speaking_ = false;
  long stream_ = 0;  // the number the engine gave the words started last
};

}  // namespace memotab::character
