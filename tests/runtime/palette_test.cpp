#include "palette.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace memotab {
namespace {

TEST(Palette, ValuesAreTheStoredColourNumbers) {
  const int32_t expected[16] = {0,     8388608,  32768, 8421376, 128,      8388736, 32896, 12632256,
                                8421504, 16711680, 65280, 16776960, 255, 16711935, 65535, 16777215};
  for (int position = 1; position <= 16; ++position) {
    EXPECT_EQ(PaletteAt(position)->Value(), expected[position - 1]) << PaletteAt(position)->cName;
  }
}

TEST(Palette, NamesPromptsAndSwatchesLineUp) {
  EXPECT_STREQ(PaletteAt(5)->cName, "Rojo");
  EXPECT_STREQ(PaletteAt(5)->cPrompt, "G&uinda");
  EXPECT_STREQ(PaletteAt(5)->cNoteSwatch, "ROJO");
  EXPECT_STREQ(PaletteAt(7)->cPrompt, "&Caf&e");
  EXPECT_STREQ(PaletteAt(15)->cPrompt, "Amarillo");
  std::set<std::string> swatches;
  for (const PaletteEntry& entry : PALETTE) {
    EXPECT_EQ("T" + std::string(entry.cNoteSwatch), entry.cTextSwatch);
    swatches.insert(entry.cNoteSwatch);
  }
  EXPECT_EQ(swatches.size(), 16u);
}

TEST(Palette, PositionsOutsideTheRangeAreNothing) {
  EXPECT_EQ(PaletteAt(0), nullptr);
  EXPECT_EQ(PaletteAt(17), nullptr);
  EXPECT_EQ(PaletteAt(-1), nullptr);
  EXPECT_STREQ(PaletteAt(1)->cName, "Negro");
  EXPECT_STREQ(PaletteAt(16)->cName, "Blanco");
}

}  // namespace
}  // namespace memotab
