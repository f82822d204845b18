#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "speech_engine.h"

namespace memotab::character {

// How far the voice is with the words started last. An engine that cannot tell (its
// status cannot be read, or it gave the words no stream number) leaves the speech to be
// paced as if there were no voice.
struct VoiceProgress {
  enum class State { kSpeaking, kDone, kCannotTell };
  State state = State::kDone;
  size_t position = 0;  // while speaking: where in the text the word being said starts
};

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
  // Whether the engine is saying the words started last, has said them, or cannot tell.
  VoiceProgress Progress();
  // Silences the engine.
  void Cancel();

 private:
  bool Ready();

  SpeechEngineMaker makeEngine_;
  std::unique_ptr<SpeechEngine> engine_;
  bool broken_ = false;
  bool speaking_ = false;  // words were started and may not be over yet
  long stream_ = 0;        // the number the engine gave the words started last; 0 when none
};

}  // namespace memotab::character
