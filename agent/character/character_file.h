#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace memotab::character {

// Memotab's character file: a figure's pictures, the frames composed from them and the
// named animations that play the frames. The layout is described in character-file.md beside this header.
inline constexpr char kMagic[8] = {'M', 'T', 'P', 'J', '\r', '\n', '\x1A', '\n'};
inline constexpr uint16_t kFormatVersion = 1;
inline constexpr const char* kExtension = ".mtpj";
// The animation every character has: the figure at rest, where every other one ends.
inline constexpr const char* kRestPose = "RestPose";

// A picture of premultiplied 32-bit pixels, 0xAARRGGBB (B, G, R, A in memory): every
// colour part is at most the alpha.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // rows top to bottom
};

// One picture of the file drawn at a place of the frame.
struct Layer {
  uint16_t image = 0;
  int16_t x = 0;
  int16_t y = 0;
};

// A frame: its layers drawn in order over a transparent figure, shown for a time.
struct Frame {
  uint16_t milliseconds = 0;
  std::vector<Layer> layers;
};

struct Animation {
  std::string name;
  bool loops = false;  // plays again from its first frame until it is stopped
  std::vector<uint16_t> frames;
};

// A character as read from its file; text is UTF-8.
struct CharacterFile {
  int width = 0;
  int height = 0;
  std::string name;
  std::string description;
  std::string version;
  std::string extraData;
  std::string balloonFontName;
  int balloonFontSize = 0;
  std::vector<Picture> images;
  std::vector<Frame> frames;
  std::vector<Animation> animations;

  // The animation of that name (any letter case), or nothing.
  const Animation* Find(std::string_view animation) const;
};

// A file that is not a character file this program can read; the text says why.
class CharacterFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a character from the bytes of its file, checking every part of it: a damaged,
// truncated or unknown file raises CharacterFileError, whatever its bytes.
CharacterFile ReadCharacterFile(std::span<const uint8_t> bytes);
// Reads the file at `path`; the error names the file.
CharacterFile LoadCharacterFile(const std::string& path);

// The CRC-32 (the polynomial of zip and PNG) that ends every character file.
uint32_t Crc32(std::span<const uint8_t> bytes);

}  // namespace memotab::character
