#include "figure_pictures.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "figure.h"
#include "ui_driver.h"

namespace memotab::test {

std::vector<character::Picture> AnimationFrames(const character::CharacterFile& character, const char* animation) {
  const character::Animation* found = character.Find(animation);
  if (found == nullptr) throw std::invalid_argument(std::string("no animation ") + animation);
  std::vector<character::Picture> frames;
  for (const uint16_t frame : found->frames) {
    ComposeFrame(character, character.frames[frame], frames.emplace_back());
  }
  return frames;
}

character::Picture RestFrame(const character::CharacterFile& character) {
  return AnimationFrames(character, character::kRestPose).back();
}

std::vector<character::Picture> FramesUnlike(std::vector<character::Picture> frames, const character::Picture& unlike) {
  const auto passesFor = [&](const character::Picture& frame) {
    if (frame.width != unlike.width || frame.height != unlike.height) return false;
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
      if (frame.pixels[i] >> 24 == 255 && frame.pixels[i] != unlike.pixels[i]) return false;
    }
    return true;
  };
  std::erase_if(frames, passesFor);
  return frames;
}

int OpaqueDifferences(const ScreenShot& shot, POINT topLeft, const character::Picture& frame, const RECT& covered) {
  int differences = 0;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const uint32_t pixel = frame.pixels[static_cast<size_t>(y * frame.width + x)];
      const POINT onScreen{topLeft.x + x, topLeft.y + y};
      if (pixel >> 24 != 255 || PtInRect(&covered, onScreen)) continue;
      if (shot.At(onScreen.x, onScreen.y) != RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF)) ++differences;
    }
  }
  return differences;
}

int OpaqueDifferences(HWND figure, const character::Picture& frame) {
  const RECT area = WindowArea(figure);
  return OpaqueDifferences(ScreenShot(area), {area.left, area.top}, frame);
}

FigurePicture PictureOfFigure(const RECT& area, HWND figure, const std::vector<character::Picture>& frames,
                              const RECT& covered) {
  std::optional<ScreenShot> shot;
  const auto showsFrame = [&] {
    shot.emplace(area);
    const RECT place = WindowArea(figure);
    return std::any_of(frames.begin(), frames.end(), [&](const character::Picture& frame) {
      return OpaqueDifferences(*shot, {place.left, place.top}, frame, covered) == 0;
    });
  };
  const bool shown = WaitUntil(showsFrame);
  return {*shot, shown};
}

}  // namespace memotab::test
