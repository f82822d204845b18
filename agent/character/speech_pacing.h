#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace memotab::character {

// A word of a text and the moment, from the start of the speech, when it is shown.
struct PacedWord {
  size_t start = 0;   // position in the text
  size_t length = 0;  // up to the next blank
  int atMilliseconds = 0;
};

// A text paced as a person reads it aloud: each word takes a moment that grows with its
// letters, a comma or a full stop adds a pause, and the last word is given time to be
// read before the speech ends.
struct SpeechPacing {
  std::vector<PacedWord> words;
  int totalMilliseconds = 0;

  // How many words are shown `elapsed` milliseconds after the start.
  size_t WordsShownAt(int elapsed) const;
};

// How long a voice may take to say a text before it is taken as stuck: a slow voice has
// `slowness` times the paced time, and `startMilliseconds` more to start.
struct VoiceDeadline {
  int slowness = 3;
  int startMilliseconds = 5000;

  int For(const SpeechPacing& pacing) const { return slowness * pacing.totalMilliseconds + startMilliseconds; }
};

SpeechPacing PaceSpeech(std::wstring_view text);

}  // namespace memotab::character
