#include "figure.h"

#include <algorithm>

namespace memotab::character {

namespace {

// The premultiplied "over" operator for one pixel.
uint32_t Over(uint32_t top, uint32_t bottom) {
  const uint32_t alpha = top >> 24;
  if (alpha == 255) return top;
  if (alpha == 0) return bottom;
  const uint32_t keep = 255 - alpha;
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t part = (top >> shift & 0xFF) + ((bottom >> shift & 0xFF) * keep + 127) / 255;
    result |= std::min<uint32_t>(part, 255) << shift;
  }
  return result;
}

void Lay(const Picture& image, int left, int top, Picture& canvas) {
  const int firstRow = std::max(0, -top);
  const int lastRow = std::min(image.height, canvas.height - top);
  const int firstColumn = std::max(0, -left);
  const int lastColumn = std::min(image.width, canvas.width - left);
  for (int y = firstRow; y < lastRow; ++y) {
    const uint32_t* from = &image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width)];
    uint32_t* to = &canvas.pixels[static_cast<size_t>(y + top) * static_cast<size_t>(canvas.width)];
    for (int x = firstColumn; x < lastColumn; ++x) to[x + left] = Over(from[x], to[x + left]);
  }
}

}  // namespace

void ComposeFrame(const CharacterFile& character, const Frame& frame, Picture& canvas) {
  canvas.width = character.width;
  canvas.height = character.height;
  canvas.pixels.assign(static_cast<size_t>(canvas.width) * static_cast<size_t>(canvas.height), 0);
  for (const Layer& layer : frame.layers) Lay(character.images.at(layer.image), layer.x, layer.y, canvas);
}

bool IsOnFigure(const Picture& canvas, int x, int y) {
  if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return false;
  return (canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width) + static_cast<size_t>(x)] >> 24) != 0;
}

}  // namespace memotab::character
