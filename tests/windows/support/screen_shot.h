#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win.h"

namespace memotab::test {

// What the screen shows in a rectangle (screen pixels), read once: colours of single
// pixels, and a 24-bit .bmp file to keep as a test artifact.
class ScreenShot {
 public:
  explicit ScreenShot(const RECT& area);
  // What the X display itself shows there, read with ImageMagick's `import` (under Wine
  // only): unlike the system's screen copy, it holds the windows of other processes drawn
  // with per-pixel alpha. Nothing when it cannot be read within ten seconds.
  static std::optional<ScreenShot> OfDisplay(const RECT& area);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour (0x00BBGGRR) at a point of the screen; nothing outside the area.
  std::optional<COLORREF> At(int x, int y) const;
  // Whether some pixel of a screen rectangle has the colour.
  bool Holds(const RECT& area, COLORREF colour) const;
  int CountColours() const;
  // Whether another shot of the same size shows exactly the same pixels.
  bool SamePixels(const ScreenShot& other) const { return pixels_ == other.pixels_; }
  void Save(const std::string& path) const;

 private:
  ScreenShot(const RECT& area, std::vector<COLORREF> pixels);

  RECT area_;
  int width_;
  int height_;
  std::vector<COLORREF> pixels_;  // rows from the top
};

// Writes a 24-bit .bmp file of the pixels given row by row from the top.
void SaveBitmapFile(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels);

// The path of a test artifact (a picture to look at) in the "artifacts" folder beside the
// test program.
std::string ArtifactPath(const std::string& name);

}  // namespace memotab::test
