#include "speech_pacing.h"

#include <algorithm>

namespace memotab::character {

namespace {

constexpr int kWordMilliseconds = 110;
constexpr int kLetterMilliseconds = 45;
constexpr int kShortPauseMilliseconds = 220;  // after , ; :
constexpr int kLongPauseMilliseconds = 420;   // after . ! ? and at a line break
constexpr int kLastWordMilliseconds = 600;    // time to read the end

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

int PauseAfter(std::wstring_view word, bool lineBreak) {
  const wchar_t last = word.back();
  if (lineBreak || last == L'.' || last == L'!' || last == L'?') return kLongPauseMilliseconds;
  if (last == L',' || last == L';' || last == L':') return kShortPauseMilliseconds;
  return 0;
}

}  // namespace

size_t SpeechPacing::WordsShownAt(int elapsed) const {
  return static_cast<size_t>(std::count_if(words.begin(), words.end(),
                                           [&](const PacedWord& word) { return word.atMilliseconds <= elapsed; }));
}

SpeechPacing PaceSpeech(std::wstring_view text) {
  SpeechPacing pacing;
  int clock = 0;
  size_t position = 0;
  while (position < text.size()) {
    if (IsBlank(text[position])) {
      ++position;
      continue;
    }
    size_t end = position;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    const std::wstring_view word = text.substr(position, end - position);
    pacing.words.push_back({position, word.size(), clock});
    const bool lineBreak = end < text.size() && (text[end] == L'\r' || text[end] == L'\n');
    clock += kWordMilliseconds + kLetterMilliseconds * static_cast<int>(word.size()) + PauseAfter(word, lineBreak);
    position = end;
  }
  pacing.totalMilliseconds = pacing.words.empty() ? 0 : clock + kLastWordMilliseconds;
  return pacing;
}

}  // namespace memotab::character
