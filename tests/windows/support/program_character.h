#pragma once

#include <string>

#include "win.h"

namespace memotab::test {

// The windows of a running memotab.exe's own character, seen from outside.

// The character's figure window while it is shown; nothing otherwise.
HWND ShownFigure(DWORD processId);
// The character's speech balloon while it is shown; nothing otherwise.
HWND ShownSpeechBalloon(DWORD processId);
// What a speech balloon says once it has stopped growing (it is said word by word).
std::string SaidText(HWND balloon);
// Clicks a speech balloon until it goes (a click closes it once the words are said).
void DismissSpeechBalloon(HWND balloon);

}  // namespace memotab::test
