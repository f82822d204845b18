#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace memotab::character {

// What a speech engine reports about what it says.
struct SpeechEngineStatus {
  static constexpr long kDone = 1;
  static constexpr long kSpeaking = 2;
  long runningState = kDone;
  long currentStream = 0;  // the stream being said, or the last one said
  long wordPosition = 0;   // where in that stream's text the word being said starts
};

// An engine that says texts aloud, each as a numbered stream.
class SpeechEngine {
 public:
  virtual ~SpeechEngine() = default;
  // Silences what is being said and starts saying the text, returning at once; the
  // number of its stream (0 when the engine gave it none), or nothing when the engine
  // cannot speak.
  virtual std::optional<long> Speak(const std::wstring& text) = 0;
  // Nothing when the engine cannot tell.
  virtual std::optional<SpeechEngineStatus> Status() = 0;
  // Silences what is being said; the engine may use up a stream number for it.
  virtual void Silence() = 0;
};

using SpeechEngineMaker = std::function<std::unique_ptr<SpeechEngine>()>;

// The system's engine with a Spanish voice when one is installed; nothing when the system
// has no engine.
std::unique_ptr<SpeechEngine> MakeSystemSpeechEngine();

// Whether a voice whose "Language" attribute is `languages` (hexadecimal language
// identifiers separated by ";") speaks Spanish.
bool SpeaksSpanish(const std::wstring& languages);

}  // namespace memotab::character
