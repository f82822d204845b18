#pragma once

#include <cstddef>
#include <string>

#include "com_ptr.h"
#include "win.h"

namespace memotab::character {

// The system's speech engine, reached late-bound through its automation interface (so
// that no speech headers are needed), with a Spanish voice when one is installed. Where
// no engine works, Start says so and the character's speech is paced alone.
class Voice {
 public:
  Voice() = default;
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;
  ~Voice();

  // Starts speaking the text and returns at once; false when there is no engine that
  // speaks (then it is not asked again).
  bool Start(const std::wstring& text);
  // Whether the words started last are still being said.
  bool Speaking();
  // Where in the text the engine is: the position of the word being said.
  size_t Position();
  // Silences the engine.
  void Cancel();

 private:
  bool Ready();
  void ChooseSpanishVoice();

  ComPtr<IDispatch> engine_;
  bool broken_ = false;
  bool speaking_ = false;
};

// Whether a voice whose "Language" attribute is `languages` (hexadecimal language
// identifiers separated by ";") speaks Spanish.
bool SpeaksSpanish(const std::wstring& languages);

}  // namespace memotab::character
