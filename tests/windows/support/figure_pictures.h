#pragma once

#include <vector>

#include "character_file.h"
#include "screen_shot.h"
#include "win.h"

namespace memotab::test {

// A character's figure as its window is given it, and as the screen shows it.

// The frames of one of the character's animations, composed; the last is where it ends.
std::vector<character::Picture> AnimationFrames(const character::CharacterFile& character, const char* animation);
// The frame the character rests in.
character::Picture RestFrame(const character::CharacterFile& character);
// The frames a figure showing `unlike` does not pass for (some fully opaque pixel of the
// frame differs from `unlike`'s): a figure seen in one of them is not merely showing that one.
std::vector<character::Picture> FramesUnlike(std::vector<character::Picture> frames, const character::Picture& unlike);

// How many of the frame's fully opaque pixels the shot does not show as the frame has them,
// the frame's top-left corner at `topLeft` on the screen (Xvfb shows no translucency, so
// only those can be compared). Pixels inside `covered`, a window over the figure, are left out.
int OpaqueDifferences(const ScreenShot& shot, POINT topLeft, const character::Picture& frame, const RECT& covered = {});
// The same for a figure's window of this process, as the screen shows it now.
int OpaqueDifferences(HWND figure, const character::Picture& frame);

// A picture of an area of the screen with a figure's window of this process in it, and
// whether the figure shows one of some frames there (its opaque pixels, those under
// `covered` left out). Pictures are taken until it does, for up to five seconds.
struct FigurePicture {
  ScreenShot shot;
  bool showsFrame;
};
FigurePicture PictureOfFigure(const RECT& area, HWND figure, const std::vector<character::Picture>& frames,
                              const RECT& covered = {});

}  // namespace memotab::test
