// libFuzzer target for the character file reader. The input's last four bytes are set to
// its checksum first, so that the fuzzer reaches the parts behind it; every frame of a
// file that reads is composed. Reading may fail with CharacterFileError, never crash.
#include <cstdint>
#include <vector>

#include "character_file.h"
#include "figure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  if (bytes.size() >= 4) {
    const uint32_t crc = memotab::character::Crc32(std::span<const uint8_t>(bytes).first(bytes.size() - 4));
    for (size_t i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
  }
  try {
    const memotab::character::CharacterFile character = memotab::character::ReadCharacterFile(bytes);
    memotab::character::Picture canvas;
    for (const memotab::character::Frame& frame : character.frames) ComposeFrame(character, frame, canvas);
  } catch (const memotab::character::CharacterFileError&) {
    // A damaged file is refused with its reason, which is all that is asked of it.
  }
  return 0;
}
