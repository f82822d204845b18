#pragma once

#include "character_file.h"

namespace memotab::character {

// Draws a frame of the character into `canvas` (resized to the figure's size when it is
// not): the canvas is cleared to transparent and the frame's layers are laid over it in
// order, each clipped to the figure. The result is premultiplied, ready for a layered
// window.
void ComposeFrame(const CharacterFile& character, const Frame& frame, Picture& canvas);

// The smallest opacity of the figure's body: fainter pixels are its soft edge and shadow,
// at which no balloon points.
inline constexpr uint8_t kFigureOpacity = 64;

// Whether the point (x, y) of the picture takes the pointer: any pixel that is not fully
// transparent, shadow included. The system sends a layered window the pointer over exactly
// those pixels, and a window cannot pass a click on to another program's window below.
bool IsOnFigure(const Picture& canvas, int x, int y);

}  // namespace memotab::character
