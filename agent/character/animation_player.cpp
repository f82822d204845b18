#include "animation_player.h"

namespace memotab::character {

AnimationPlayer::AnimationPlayer(const CharacterFile& character) : character_(character) { Rest(); }

void AnimationPlayer::Start(const Animation& animation, uint64_t now) {
  animation_ = &animation;
  position_ = 0;
  shown_ = animation.frames.front();
  due_ = now + character_.frames[shown_].milliseconds;
}

void AnimationPlayer::Rest() {
  animation_ = nullptr;
  position_ = 0;
  shown_ = character_.Find(kRestPose)->frames.back();
}

bool AnimationPlayer::Advance(uint64_t now) {
  const uint16_t before = shown_;
  while (animation_ != nullptr && due_ <= now) {
    if (++position_ == animation_->frames.size()) {
      if (!animation_->loops) {
        animation_ = nullptr;  // the last frame stays
        break;
      }
      position_ = 0;
    }
    shown_ = animation_->frames[position_];
    due_ += character_.frames[shown_].milliseconds;
  }
  return shown_ != before;
}

const Frame& AnimationPlayer::Shown() const { return character_.frames[shown_]; }

std::optional<uint64_t> AnimationPlayer::NextChange() const {
  if (animation_ == nullptr) return std::nullopt;
  return due_;
}

}  // namespace memotab::character
