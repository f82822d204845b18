#pragma once

#include <functional>
#include <string>

#include "gdi_handles.h"
#include "win.h"

namespace memotab::character {

// The balloon in which the character speaks (a rounded box with a pointed tail) or
// thinks (a cloud with little bubbles), beside the figure. It is sized for the whole
// text at once and shows its words as they are said; its window text is the part shown.
// Never activated; top-most.
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

  HWND Handle() const { return window_.get(); }
  std::wstring ShownText() const { return text_.substr(0, shown_); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Shape();

  std::function<void()> onClicked_;
  UniqueWindow window_;
  UniqueFont font_;
  Kind kind_ = Kind::kSpeech;
  std::wstring text_;
  size_t shown_ = 0;
  SIZE textSize_{0, 0};
  SIZE size_{0, 0};
  bool below_ = false;  // the balloon hangs below the figure (no room above it)
  int tailX_ = 0;       // where the tail meets the figure, from the balloon's left edge
};

// Where a window of `size` goes beside `figure` inside `workArea`: above the figure when
// it fits there, below it otherwise, centred on it as far as the work area allows. Sets
// `below` accordingly.
POINT PlaceBeside(SIZE size, RECT figure, RECT workArea, bool& below);
// The work area of the monitor that holds most of `rect`.
RECT WorkAreaOf(RECT rect);

}  // namespace memotab::character
