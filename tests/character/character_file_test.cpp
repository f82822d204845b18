// The character file reader against the characters Memotab ships and against damaged
// copies of them; the frames it composes and the pacing of speech.
#include "character_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "animation_player.h"
#include "figure.h"
#include "speech_pacing.h"

namespace memotab::character {
namespace {

const std::vector<std::string> kProgramAnimations = {
    "RestPose", "GetAttention", "GetAttentionContinued", "GetAttentionReturn", "Think", "Confused", "Uncertain",
    "Alert", "Pleased", "Explain", "Sad", "Surprised", "Wave", "Decline", "Suggest", "LookDown", "LookDownReturn",
    "LookLeft", "LookLeftReturn", "LookRight", "LookRightReturn", "LookUp", "LookUpReturn"};
const std::set<std::string> kLooping = {"Hearing_1", "Hearing_2", "Hearing_3", "Processing",
                                        "Reading",   "Searching", "Thinking",  "Writing"};
const std::vector<std::string> kServiceAnimations = {"Showing", "Hiding", "Speaking", "Moving"};

std::vector<std::filesystem::path> ShippedCharacters() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(MEMOTAB_CHARACTERS_DIR)) {
    if (entry.path().extension() == kExtension) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Rewrites the checksum after a change, so that the reader looks past it.
void Reseal(std::vector<uint8_t>& bytes) {
  const uint32_t crc = Crc32(std::span<const uint8_t>(bytes).first(bytes.size() - 4));
  for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (8 * i));
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  try {
    ReadCharacterFile(bytes);
  } catch (const CharacterFileError& error) {
    return error.what();
  }
  return "(read)";
}

// Where the picture count sits: after the magic, version, size, five texts and font size.
size_t PictureCountOffset(const std::vector<uint8_t>& bytes) {
  size_t offset = sizeof kMagic + 6;
  for (int text = 0; text < 5; ++text) offset += 2 + (bytes[offset] | bytes[offset + 1] << 8);
  return offset + 2;
}

TEST(ShippedCharacters, EveryOneLoadsWithEveryAnimationEndingAtRest) {
  const auto files = ShippedCharacters();
  ASSERT_GE(files.size(), 2u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    const CharacterFile character = LoadCharacterFile(path.string());
    EXPECT_EQ(character.name, path.stem().string());
    EXPECT_FALSE(character.description.empty());
    EXPECT_GT(character.balloonFontSize, 0);
    const uint16_t rest = character.Find(kRestPose)->frames.back();
    std::vector<std::string> required = kProgramAnimations;
    required.insert(required.end(), kLooping.begin(), kLooping.end());
    required.insert(required.end(), kServiceAnimations.begin(), kServiceAnimations.end());
    for (const std::string& name : required) {
      SCOPED_TRACE(name);
      const Animation* animation = character.Find(name);
      ASSERT_NE(animation, nullptr);
      EXPECT_EQ(animation->loops, kLooping.contains(name) || name == "Speaking" || name == "Moving");
      if (!animation->loops && name != "Hiding") {
        EXPECT_EQ(animation->frames.back(), rest);
      }
      if (name != "RestPose" && !animation->loops) {
        EXPECT_GT(animation->frames.size(), 2u);  // a real movement
      }
    }
    EXPECT_TRUE(character.frames[character.Find("Hiding")->frames.back()].layers.empty());
    // At rest the figure stands in the middle; the corners are clear.
    Picture canvas;
    ComposeFrame(character, character.frames[rest], canvas);
    EXPECT_TRUE(IsOnFigure(canvas, character.width / 2, character.height / 2));
    EXPECT_FALSE(IsOnFigure(canvas, 0, 0));
    EXPECT_FALSE(IsOnFigure(canvas, character.width - 1, 0));
  }
}

TEST(ShippedCharacters, TheAnimationsOfEachCharacterAreDistinct) {
  for (const auto& file : ShippedCharacters()) {
    SCOPED_TRACE(file.filename().string());
    const CharacterFile character = LoadCharacterFile(file.string());
    std::set<std::vector<uint16_t>> seen;
    for (const Animation& animation : character.animations) {
      EXPECT_TRUE(seen.insert(animation.frames).second) << animation.name << " repeats another animation";
    }
  }
}

TEST(DamagedCharacterFile, EveryTruncationIsRefusedWithAReason) {
  const std::vector<uint8_t> whole = Bytes(ShippedCharacters().front());
  for (size_t length = 0; length < whole.size(); length += length < 64 ? 1 : 997) {
    const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
    const std::string error = ErrorOf(part);
    EXPECT_TRUE(error.find("truncated") != std::string::npos || error.find("not a Memotab") != std::string::npos ||
                error.find("checksum") != std::string::npos)
        << length << ": " << error;
  }
}

// The file with the body cut after `length` bytes and a checksum that fits what is left,
// so that the parser, not the checksum, must find the file short.
std::vector<uint8_t> CutAndSealed(const std::vector<uint8_t>& whole, size_t length) {
  std::vector<uint8_t> bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
  bytes.resize(length + 4);
  Reseal(bytes);
  return bytes;
}

// The same character with every picture made a single transparent pixel: its frames and
// animations are as they were, and it reads in a moment.
std::vector<uint8_t> WithTinyPictures(const std::vector<uint8_t>& whole) {
  size_t offset = PictureCountOffset(whole);
  const size_t count = whole[offset] | whole[offset + 1] << 8;
  std::vector<uint8_t> bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(offset + 2));
  offset += 2;
  for (size_t i = 0; i < count; ++i) {
    size_t code = 0;
    for (size_t b = 0; b < 4; ++b) code |= size_t{whole[offset + 4 + b]} << (8 * b);
    offset += 8 + code;
    bytes.insert(bytes.end(), {1, 0, 1, 0, 5, 0, 0, 0, 0x80, 0, 0, 0, 0});  // 1 x 1, a run of one clear pixel
  }
  bytes.insert(bytes.end(), whole.begin() + static_cast<ptrdiff_t>(offset), whole.end());
  Reseal(bytes);
  return bytes;
}

TEST(DamagedCharacterFile, ACutFileWithAFittingChecksumIsRefusedByTheParser) {
  const std::vector<uint8_t> whole = Bytes(ShippedCharacters().front());
  const std::vector<uint8_t> small = WithTinyPictures(whole);
  ASSERT_EQ(ErrorOf(small), "(read)");
  ASSERT_LT(small.size(), whole.size() / 4);
  const auto refusedAsShort = [](const std::vector<uint8_t>& bytes, size_t length) {
    const std::string error = ErrorOf(CutAndSealed(bytes, length));
    EXPECT_TRUE(error.find("truncated") != std::string::npos || error.find("not a Memotab") != std::string::npos)
        << length << ": " << error;
  };
  for (size_t length = 0; length < small.size() - 4; ++length) refusedAsShort(small, length);  // every field cut
  for (size_t length = PictureCountOffset(whole); length < whole.size() - 4; length += 331) refusedAsShort(whole, length);
}

TEST(DamagedCharacterFile, ChangedBytesAndUnknownVersionsAreRefused) {
  const std::vector<uint8_t> whole = Bytes(ShippedCharacters().front());
  std::vector<uint8_t> bytes = whole;
  bytes[bytes.size() / 2] ^= 0x40;
  EXPECT_NE(ErrorOf(bytes).find("checksum does not match"), std::string::npos);
  bytes = whole;
  bytes[0] = 'X';
  EXPECT_EQ(ErrorOf(bytes), "not a Memotab character file");
  bytes = whole;
  bytes[sizeof kMagic] = 2;
  EXPECT_EQ(ErrorOf(bytes), "character file of version 2, this program reads version 1");
  bytes = whole;
  bytes.push_back(0);
  Reseal(bytes);
  EXPECT_NE(ErrorOf(bytes).find("bytes follow the last animation"), std::string::npos);
}

TEST(DamagedCharacterFile, InconsistentPartsAreRefusedEvenWithAGoodChecksum) {
  const std::vector<uint8_t> whole = Bytes(ShippedCharacters().front());
  const size_t count = PictureCountOffset(whole);
  std::vector<uint8_t> bytes = whole;
  bytes[count] = 0;
  bytes[count + 1] = 0;
  Reseal(bytes);
  EXPECT_NE(ErrorOf(bytes).find("picture count is out of range"), std::string::npos);
  bytes = whole;
  bytes[count + 2] = 0xFF;  // the first picture far wider than the figure allows
  bytes[count + 3] = 0xFF;
  Reseal(bytes);
  EXPECT_NE(ErrorOf(bytes).find("width of a picture is out of range"), std::string::npos);
  bytes = whole;
  bytes[count + 4] = static_cast<uint8_t>(bytes[count + 4] + 1);  // one row more than its pixels fill
  Reseal(bytes);
  EXPECT_NE(ErrorOf(bytes).find("fewer pixels than its size"), std::string::npos);
  bytes = whole;
  const size_t firstPixel = count + 2 + 8 + 1;  // after the size, the length and a control byte
  bytes[firstPixel] = 0xFF;  // blue brighter than the pixel's opacity
  bytes[firstPixel + 3] = 0x10;
  Reseal(bytes);
  EXPECT_NE(ErrorOf(bytes).find("brighter than its opacity"), std::string::npos);
}

// Only the animations the service ends itself may loop: one the program waits for, or the
// character's appearing and going, would keep it waiting for ever.
TEST(DamagedCharacterFile, AnAnimationThatMustEndIsRefusedWhenItLoops) {
  const std::vector<uint8_t> whole = Bytes(ShippedCharacters().front());
  for (const std::string name : {"Wave", "Hiding", "Showing", "GetAttention"}) {
    std::vector<uint8_t> named = {static_cast<uint8_t>(name.size()), 0};
    named.insert(named.end(), name.begin(), name.end());
    std::vector<uint8_t> bytes = whole;
    const auto found = std::find_end(bytes.begin(), bytes.end(), named.begin(), named.end());
    ASSERT_NE(found, bytes.end()) << name;
    const auto flags = found + static_cast<std::ptrdiff_t>(named.size());
    ASSERT_EQ(*flags, 0) << name;
    *flags = 1;
    Reseal(bytes);
    EXPECT_NE(ErrorOf(bytes).find("the animation " + name + " loops"), std::string::npos) << ErrorOf(bytes);
  }
}

TEST(DamagedCharacterFile, AFileTooLargeForACharacterIsRefusedUnread) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "memotab-too-large.mtpj";
  std::ofstream(path, std::ios::binary) << "MTPJ";
  std::filesystem::resize_file(path, std::uintmax_t{65} << 20);
  try {
    LoadCharacterFile(path.string());
    ADD_FAILURE() << "read";
  } catch (const CharacterFileError& error) {
    EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
  }
  std::filesystem::remove(path);
}

// A figure of 4 x 3 with two pictures: an opaque red 2 x 2 square and a half-transparent
// white pixel.
CharacterFile TinyCharacter() {
  CharacterFile character;
  character.width = 4;
  character.height = 3;
  character.images.push_back({2, 2, std::vector<uint32_t>(4, 0xFFFF0000)});
  character.images.push_back({1, 1, {0x80808080}});
  character.frames.push_back({0, {}});
  character.frames.push_back({100, {{0, -1, 0}, {1, 0, 1}}});
  character.frames.push_back({50, {{0, 3, 2}}});
  character.animations.push_back({kRestPose, false, {0}});
  character.animations.push_back({"Blink", false, {1, 2, 0}});
  character.animations.push_back({"Spin", true, {1, 2}});
  return character;
}

TEST(Figure, LayersAreLaidOverEachOtherAndClippedToTheFigure) {
  const CharacterFile character = TinyCharacter();
  Picture canvas;
  ComposeFrame(character, character.frames[1], canvas);
  ASSERT_EQ(canvas.pixels.size(), 12u);
  EXPECT_EQ(canvas.pixels[0], 0xFFFF0000u);  // the square's right half; its left half is outside
  EXPECT_EQ(canvas.pixels[1], 0u);
  EXPECT_EQ(canvas.pixels[4], 0xFFFF8080u);  // half white over red
  EXPECT_EQ(canvas.pixels[8], 0u);
  EXPECT_TRUE(IsOnFigure(canvas, 0, 0));
  EXPECT_FALSE(IsOnFigure(canvas, 1, 0));
  EXPECT_FALSE(IsOnFigure(canvas, -1, 0));
  EXPECT_FALSE(IsOnFigure(canvas, 0, 3));
  ComposeFrame(character, character.frames[2], canvas);  // only one corner pixel is inside
  EXPECT_EQ(std::count(canvas.pixels.begin(), canvas.pixels.end(), 0xFFFF0000u), 1);
  EXPECT_TRUE(IsOnFigure(canvas, 3, 2));
  canvas.pixels[11] = 0x01000000;  // a faint shadow takes the pointer too
  EXPECT_TRUE(IsOnFigure(canvas, 3, 2));
  canvas.pixels[11] = 0;
  EXPECT_FALSE(IsOnFigure(canvas, 3, 2));
}

TEST(AnimationPlayer, PlaysFramesOnTimeEndsOrLoopsAndRests) {
  const CharacterFile character = TinyCharacter();
  AnimationPlayer player(character);
  EXPECT_FALSE(player.Playing());
  EXPECT_FALSE(player.NextChange().has_value());  // at rest nothing is due
  player.Start(*character.Find("blink"), 1000);
  EXPECT_EQ(player.ShownIndexForTesting(), 1);
  EXPECT_EQ(player.NextChange(), 1100u);
  EXPECT_FALSE(player.Advance(1099));
  EXPECT_TRUE(player.Advance(1100));
  EXPECT_EQ(player.ShownIndexForTesting(), 2);
  EXPECT_TRUE(player.Advance(1150));
  EXPECT_EQ(player.ShownIndexForTesting(), 0);  // the last frame has no time: the animation is over
  EXPECT_FALSE(player.Playing());
  player.Start(*character.Find("Spin"), 0);
  player.Advance(10 * 150 + 120);  // ten rounds and a bit
  EXPECT_TRUE(player.Playing());
  EXPECT_EQ(player.ShownIndexForTesting(), 2);
  player.Rest();
  EXPECT_EQ(player.ShownIndexForTesting(), 0);
  EXPECT_FALSE(player.Playing());
}

TEST(SpeechPacing, WordsComeAsTheyAreReadWithPausesAtPunctuation) {
  const SpeechPacing pacing = PaceSpeech(L"Hola,  ¿qué tal?\nBien");
  ASSERT_EQ(pacing.words.size(), 4u);
  EXPECT_EQ(pacing.words[1].start, 7u);
  EXPECT_EQ(pacing.words[1].length, 4u);
  EXPECT_EQ(pacing.words[0].atMilliseconds, 0);
  const int hola = pacing.words[1].atMilliseconds;
  const int que = pacing.words[2].atMilliseconds - hola;
  const int tal = pacing.words[3].atMilliseconds - pacing.words[2].atMilliseconds;
  EXPECT_GT(hola, que);  // a comma pauses
  EXPECT_GT(tal, hola);  // a question and a line break pause longer
  EXPECT_GT(pacing.totalMilliseconds, pacing.words[3].atMilliseconds + 300);  // the last word is read too
  EXPECT_EQ(pacing.WordsShownAt(0), 1u);
  EXPECT_EQ(pacing.WordsShownAt(hola), 2u);
  EXPECT_EQ(pacing.WordsShownAt(pacing.totalMilliseconds), 4u);
  EXPECT_EQ(PaceSpeech(L" \n ").totalMilliseconds, 0);
}

TEST(SpeechPacing, AVoiceHasAFiniteTimeThatLeavesASlowVoiceRoom) {
  const SpeechPacing pacing = PaceSpeech(L"Mañana a las nueve: llevar el coche al taller.");
  const VoiceDeadline deadline;
  EXPECT_GE(deadline.For(pacing), 3 * pacing.totalMilliseconds);
  EXPECT_LT(deadline.For(pacing), 3 * pacing.totalMilliseconds + 10000);
  EXPECT_GT(deadline.For(PaceSpeech(L"")), 0);  // even an empty text ends
  EXPECT_EQ((VoiceDeadline{.slowness = 1, .startMilliseconds = 200}.For(pacing)), pacing.totalMilliseconds + 200);
}

}  // namespace
}  // namespace memotab::character
