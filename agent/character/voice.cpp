#include "voice.h"

#include <algorithm>

namespace memotab::character {

Voice::~Voice() { Cancel(); }

bool Voice::Ready() {
  if (engine_) return true;
  if (broken_) return false;
  engine_ = makeEngine_ ? makeEngine_() : nullptr;
  broken_ = engine_ == nullptr;
  return !broken_;
}

bool Voice::Start(const std::wstring& text) {
  if (!Ready()) return false;
  const std::optional<long> stream = engine_->Speak(text);
  if (!stream) {
    broken_ = true;  // an engine that does not speak (as under Wine) is not asked again
    engine_.reset();
    return false;
  }
  stream_ = std::max(0L, *stream);
  speaking_ = true;
  return true;
}

VoiceProgress Voice::Progress() {
  using State = VoiceProgress::State;
  if (!speaking_ || !engine_) return {State::kDone};
  if (stream_ == 0) return {State::kCannotTell};
  const std::optional<SpeechEngineStatus> status = engine_->Status();
  if (!status) return {State::kCannotTell};
  // Right after Speak the engine may still report the stream before ours as done: ours is
  // over only once the engine has reached it and finished it, or gone past it.
  if (status->currentStream < stream_) return {State::kSpeaking};
  if (status->currentStream > stream_ || status->runningState == SpeechEngineStatus::kDone) {
    speaking_ = false;
    return {State::kDone};
  }
  return {State::kSpeaking, static_cast<size_t>(std::max(0L, status->wordPosition))};
}

void Voice::Cancel() {
  if (!speaking_ || !engine_) return;
  engine_->Silence();
  speaking_ = false;
}

}  // namespace memotab::character
