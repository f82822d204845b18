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
  stream_ = *stream;
  speaking_ = true;
  return true;
}

bool Voice::Speaking() {
  if (!speaking_ || !engine_) return false;
  // Right after Speak the engine may still report the stream before ours as done: ours is
  // over only once the engine has reached it and finished it, or gone past it.
  const std::optional<SpeechEngineStatus> status = engine_->Status();
  speaking_ = status && (status->currentStream < stream_ ||
                         (status->currentStream == stream_ && status->runningState != SpeechEngineStatus::kDone));
  return speaking_;
}

size_t Voice::Position() {
  if (!engine_) return 0;
  const std::optional<SpeechEngineStatus> status = engine_->Status();
  if (!status || status->currentStream != stream_) return 0;
  return static_cast<size_t>(std::max(0L, status->wordPosition));
}

void Voice::Cancel() {
  if (!speaking_ || !engine_) return;
  engine_->Silence();
  speaking_ = false;
}

}  // namespace memotab::character
