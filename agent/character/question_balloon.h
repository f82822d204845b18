#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win.h"

namespace memotab::character {

// A question or notice in a balloon: modal (the caller waits while the program's messages
// go on; its other windows take no input meanwhile, and the focus returns afterwards),
// top-most, pointing at the character or, without one, at the notification area. The
// style is a message-box style: 0 a tip, 16 a stop notice, 64 an
// information notice (each with one OK button), 68 yes/no and 67 yes/no/cancel (with the
// information icon). Enter presses the first button, Escape answers Cancel, or No, or OK;
// a button's access key presses it. A text too tall for the screen scrolls in a box.
struct Question {
  std::wstring text;
  std::optional<std::wstring> title;  // the window's caption too
  long style = 0;
  bool input = false;  // with a line to type in, and OK and Cancel
};

struct Answer {
  long code = 1;  // the button pressed: 1 OK, 2 Cancel, 6 Yes, 7 No
  std::wstring typed;
};

// `captions` are the texts of the buttons by code (1 to 7), "&" before the access key.
// `character` is the character's rectangle on the screen, when there is one.
Answer AskInBalloon(const Question& question, const std::vector<std::wstring>& captions, std::optional<RECT> character);

// The window class of the balloon, for those who look for it.
inline constexpr const char* kQuestionBalloonClass = "MemotabQuestionBalloon";
// The identifier of the line to type in, and of the box in which a text too tall for the
// screen scrolls.
inline constexpr int kInputLineId = 100;
inline constexpr int kTextBoxId = 101;

}  // namespace memotab::character
