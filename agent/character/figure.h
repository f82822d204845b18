#pragma once

#include "character_file.h"

namespace memotab::character {

// Draws a frame of the character into `canvas` (resized to the figure's size when it is
// not): the canvas is cleared to transparent and the frame's layers are laid over it in
// order, each clipped to the figure. The result is premultiplied, ready for a layered
// window.
void ComposeFrame(const CharacterFile& character, const Frame& frame, Picture& canvas);

// The smallest opacity that belongs to the figure: a pointer over a fainter pixel (a soft
// edge, a shadow, nothing) is not over the figure.
inline constexpr uint8_t kFigureOpacity = 64;

// Whether the point (x, y) of the picture is part of the figure.
bool IsOnFigure(const Picture& canvas, int x, int y);

}  // namespace memotab::character
