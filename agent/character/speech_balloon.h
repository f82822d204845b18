#pragma once

#include <functional>
#include <string>

#include "balloon_parts.h"
#include "gdi_handles.h"
#include "win.h"

namespace memotab::character {

// The balloon in which the character speaks (a rounded box with a pointed tail) or
// thinks (a cloud with little bubbles), beside the figure. It is sized for the whole
// text at once, as tall as the screen allows, and shows its words as they are said (the
// latest lines, when they do not all fit); its window text is the part shown. Never
// activated; top-most.
// The window class of the balloon, for those who look for it.
inline constexpr const char* kSpeechBalloonClass = "MemotabSpeechBalloon";

class SpeechBalloon {
 public:
  enum class Kind { kSpeech, kThought };

  // `onClicked` runs when the user clicks the balloon.
  explicit SpeechBalloon(std::function<void()> onClicked);
  ~SpeechBalloon();
  SpeechBalloon(const SpeechBalloon&) = delete;
  SpeechBalloon& operator=(const SpeechBalloon&) = delete;

  // Shows the balloon beside `figure` (screen rectangle) with none of the text yet.
  void Open(Kind kind, std::wstring text, const std::wstring& fontName, int fontSize, RECT figure);
  // Shows the text up to this position (the end of the last word said).
  void Reveal(size_t length);
  // Keeps the balloon beside a figure that has moved.
  void Follow(RECT figure);
  void Close();
  bool IsOpen() const;

  HWND HandleForTesting() const { return window_.get(); }
  std::wstring ShownText() const { return text_.substr(0, shown_); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Shape();
  // The size the first `length` characters of the text take in lines of `width`.
  SIZE TextSize(HDC dc, size_t length, int width) const;

  std::function<void()> onClicked_;
  UniqueWindow window_;
  UniqueFont font_;
  Kind kind_ = Kind::kSpeech;
  std::wstring text_;
  size_t shown_ = 0;
  SIZE textSize_{0, 0};
  SIZE size_{0, 0};
  BalloonPlace place_;
};

}  // namespace memotab::character
