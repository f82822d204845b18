#pragma once

#include <cstdint>
#include <optional>

#include "character_file.h"

namespace memotab::character {

// Which frame of a character is shown, as animations play over time. Times are
// milliseconds of any steady clock; nothing happens between the calls.
class AnimationPlayer {
 public:
  // `character` must outlive the player. It starts at rest.
  explicit AnimationPlayer(const CharacterFile& character);

  // Plays `animation` (one of the character's) from its first frame, shown at `now`.
  void Start(const Animation& animation, uint64_t now);
  // Stops whatever plays and shows the rest pose.
  void Rest();
  // Moves on to the frame due at `now`; true when the frame shown has changed.
  bool Advance(uint64_t now);

  // The frame to show.
  const Frame& Shown() const;
  uint16_t ShownIndexForTesting() const { return shown_; }
  // True while an animation plays: a looping one until Rest, any other until its last
  // frame's time is over.
  bool Playing() const { return animation_ != nullptr; }
  // When the next frame is due, or nothing while no animation plays.
  std::optional<uint64_t> NextChange() const;

 private:
  const CharacterFile& character_;
  const Animation* animation_ = nullptr;
  size_t position_ = 0;
  uint16_t shown_ = 0;
  uint64_t due_ = 0;
};

}  // namespace memotab::character
