#pragma once

#include "win.h"

namespace memotab::character {

// The balloon dialog control: `ButtonsCaptions` (the seven captions by code, separated
// by ";"), `SetCharacterPosition(x, y, width)` (the next balloon points at the character
// there), `MsgBalloon(text, style [, title])` (the code of the button pressed) and
// `InputBalloon(text, title)` (the text typed, "" when cancelled). Holds one reference
// for the caller.
IDispatch* NewBalloonDialogControl();

}  // namespace memotab::character
