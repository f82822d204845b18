#include "character_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

namespace memotab::character {

namespace {

// Limits that keep a hostile file from asking for unbounded memory.
constexpr int kMaxSide = 1024;
constexpr size_t kMaxImages = 4096;
constexpr size_t kMaxFrames = 8192;
constexpr size_t kMaxLayers = 32;
constexpr size_t kMaxAnimations = 512;
constexpr size_t kMaxAnimationFrames = 1024;
constexpr uint64_t kMaxTotalPixels = 16u << 20;
constexpr std::streamoff kMaxFileBytes = 64 << 20;

// The animations that may loop: the service ends them itself. Any other that looped would
// keep whoever waits for it (the program waits for most) waiting for ever.
constexpr std::array<std::string_view, 10> kLoopingAnimations = {
    "Hearing_1", "Hearing_2", "Hearing_3", "Processing", "Reading",
    "Searching", "Thinking",  "Writing",   "Speaking",   "Moving"};

[[noreturn]] void Damaged(const std::string& problem) { throw CharacterFileError("damaged character file: " + problem); }

// Reads the file's little-endian fields in order; running past the end is an error.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  std::span<const uint8_t> Take(size_t count, const char* what) {
    if (count > bytes_.size() - position_) {
      throw CharacterFileError(std::string("truncated character file: it ends inside ") + what);
    }
    const std::span<const uint8_t> taken = bytes_.subspan(position_, count);
    position_ += count;
    return taken;
  }
  uint8_t U8(const char* what) { return Take(1, what)[0]; }
  uint16_t U16(const char* what) {
    const auto b = Take(2, what);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  int16_t I16(const char* what) { return static_cast<int16_t>(U16(what)); }
  uint32_t U32(const char* what) {
    const auto b = Take(4, what);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  }
  std::string Text(const char* what) {
    const auto b = Take(U16(what), what);
    return std::string(b.begin(), b.end());
  }
  bool AtEnd() const { return position_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

uint32_t Pixel(std::span<const uint8_t> b) {
  const uint32_t pixel = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  const uint8_t alpha = b[3];
  if (b[0] > alpha || b[1] > alpha || b[2] > alpha) Damaged("a pixel is brighter than its opacity allows");
  return pixel;
}

// Runs of pixels: a control byte below 128 is followed by that many plus one pixels; a
// control byte c of 128 or more by one pixel that repeats c - 127 times.
Picture DecodePicture(int width, int height, std::span<const uint8_t> code) {
  Picture picture{width, height, {}};
  const size_t total = static_cast<size_t>(width) * static_cast<size_t>(height);
  picture.pixels.reserve(total);
  Reader reader(code);
  while (!reader.AtEnd()) {
    const uint8_t control = reader.U8("a picture");
    const size_t count = control < 128 ? control + 1u : control - 127u;
    if (count > total - picture.pixels.size()) Damaged("a picture holds more pixels than its size");
    if (control < 128) {
      for (size_t i = 0; i < count; ++i) picture.pixels.push_back(Pixel(reader.Take(4, "a picture")));
    } else {
      picture.pixels.insert(picture.pixels.end(), count, Pixel(reader.Take(4, "a picture")));
    }
  }
  if (picture.pixels.size() != total) Damaged("a picture holds fewer pixels than its size");
  return picture;
}

// A count of the file's parts, from 1 to `most`.
size_t Count(Reader& reader, const char* what, size_t most) {
  const size_t count = reader.U16(what);
  if (count == 0 || count > most) Damaged(std::string(what) + " is out of range");
  return count;
}

int Side(uint16_t value, const char* what) {
  if (value == 0 || value > kMaxSide) Damaged(std::string("the ") + what + " is out of range");
  return value;
}

void ReadImages(Reader& reader, CharacterFile& file) {
  const size_t count = Count(reader, "the picture count", kMaxImages);
  uint64_t pixels = 0;
  for (size_t i = 0; i < count; ++i) {
    const int width = Side(reader.U16("a picture's width"), "width of a picture");
    const int height = Side(reader.U16("a picture's height"), "height of a picture");
    pixels += static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > kMaxTotalPixels) Damaged("the pictures are too large together");
    const uint32_t size = reader.U32("a picture's length");
    file.images.push_back(DecodePicture(width, height, reader.Take(size, "a picture")));
  }
}

void ReadFrames(Reader& reader, CharacterFile& file) {
  const size_t count = Count(reader, "the frame count", kMaxFrames);
  for (size_t i = 0; i < count; ++i) {
    Frame frame;
    frame.milliseconds = reader.U16("a frame's time");
    const size_t layers = reader.U8("a frame's layer count");
    if (layers > kMaxLayers) Damaged("a frame has too many layers");
    for (size_t j = 0; j < layers; ++j) {
      Layer layer;
      layer.image = reader.U16("a layer");
      layer.x = reader.I16("a layer");
      layer.y = reader.I16("a layer");
      if (layer.image >= file.images.size()) Damaged("a frame names a picture that is not there");
      frame.layers.push_back(layer);
    }
    file.frames.push_back(std::move(frame));
  }
}

bool SameLetters(std::string_view a, std::string_view b);

void ReadAnimations(Reader& reader, CharacterFile& file) {
  const size_t count = Count(reader, "the animation count", kMaxAnimations);
  for (size_t i = 0; i < count; ++i) {
    Animation animation;
    animation.name = reader.Text("an animation's name");
    if (animation.name.empty()) Damaged("an animation has no name");
    if (file.Find(animation.name) != nullptr) Damaged("the animation " + animation.name + " is there twice");
    const uint8_t flags = reader.U8("an animation's flags");
    if (flags > 1) Damaged("the animation " + animation.name + " has unknown flags");
    animation.loops = flags == 1;
    if (animation.loops && std::none_of(kLoopingAnimations.begin(), kLoopingAnimations.end(),
                                        [&](std::string_view name) { return SameLetters(name, animation.name); })) {
      Damaged("the animation " + animation.name + " loops, and only the waiting ones may");
    }
    const size_t frames = reader.U16("an animation's frame count");
    if (frames == 0 || frames > kMaxAnimationFrames) Damaged("the animation " + animation.name + " has no frames");
    for (size_t j = 0; j < frames; ++j) {
      const uint16_t frame = reader.U16("an animation's frames");
      if (frame >= file.frames.size()) Damaged("the animation " + animation.name + " names a frame that is not there");
      if (animation.loops && file.frames[frame].milliseconds == 0) {
        Damaged("the looping animation " + animation.name + " has a frame without time");
      }
      animation.frames.push_back(frame);
    }
    file.animations.push_back(std::move(animation));
  }
  if (file.Find(kRestPose) == nullptr) Damaged(std::string("the animation ") + kRestPose + " is missing");
}

bool SameLetters(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
           return lower(x) == lower(y);
         });
}

}  // namespace

const Animation* CharacterFile::Find(std::string_view animation) const {
  const auto found =
      std::find_if(animations.begin(), animations.end(), [&](const Animation& a) { return SameLetters(a.name, animation); });
  return found == animations.end() ? nullptr : &*found;
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> entries{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (const uint8_t byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

CharacterFile ReadCharacterFile(std::span<const uint8_t> bytes) {
  if (bytes.size() < sizeof kMagic || !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin())) {
    throw CharacterFileError("not a Memotab character file");
  }
  // The version and the checksum at least; a version read from a checksum would be a wrong reason.
  if (bytes.size() < sizeof kMagic + 6) throw CharacterFileError("truncated character file: it ends inside the header");
  Reader reader(bytes.subspan(sizeof kMagic));
  const uint16_t version = reader.U16("the header");
  if (version != kFormatVersion) {
    throw CharacterFileError("character file of version " + std::to_string(version) + ", this program reads version " +
                             std::to_string(kFormatVersion));
  }
  const std::span<const uint8_t> body = bytes.first(bytes.size() - 4);
  const auto end = bytes.last(4);
  const uint32_t stored = uint32_t{end[0]} | uint32_t{end[1]} << 8 | uint32_t{end[2]} << 16 | uint32_t{end[3]} << 24;
  if (Crc32(body) != stored) Damaged("its checksum does not match (the file is truncated or changed)");

  reader = Reader(body.subspan(sizeof kMagic + 2));
  CharacterFile file;
  file.width = Side(reader.U16("the header"), "figure width");
  file.height = Side(reader.U16("the header"), "figure height");
  file.name = reader.Text("the name");
  file.description = reader.Text("the description");
  file.version = reader.Text("the version");
  file.extraData = reader.Text("the extra data");
  file.balloonFontName = reader.Text("the balloon font");
  file.balloonFontSize = reader.U16("the balloon font size");
  ReadImages(reader, file);
  ReadFrames(reader, file);
  ReadAnimations(reader, file);
  if (!reader.AtEnd()) Damaged("bytes follow the last animation");
  return file;
}

CharacterFile LoadCharacterFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw CharacterFileError(path + ": the file cannot be opened");
  if (in.tellg() > kMaxFileBytes) throw CharacterFileError(path + ": too large for a character file");
  in.seekg(0);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    return ReadCharacterFile(bytes);
  } catch (const CharacterFileError& error) {
    throw CharacterFileError(path + ": " + error.what());
  }
}

}  // namespace memotab::character
