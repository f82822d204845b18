// The 32 colour swatches as the program carries them. Menus and the options draw them
// transparently with magenta as the key, so no pixel that shows a colour may be magenta.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "palette.h"
#include "win.h"

namespace memotab {
namespace {

constexpr int kSize = 16;
constexpr COLORREF kKey = RGB(255, 0, 255);

// The pixels of a bitmap resource, top row first; empty when there is none of that size.
std::vector<COLORREF> Pixels(const char* name) {
  const auto bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
  if (bitmap == nullptr) return {};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<RGBQUAD> quads(kSize * kSize);
  const HDC screen = GetDC(nullptr);
  BITMAP shape{};
  GetObjectA(bitmap, sizeof shape, &shape);
  const bool read = shape.bmWidth == kSize && shape.bmHeight == kSize &&
                    GetDIBits(screen, bitmap, 0, kSize, quads.data(), &info, DIB_RGB_COLORS) == kSize;
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  if (!read) return {};
  std::vector<COLORREF> pixels;
  for (const RGBQUAD& quad : quads) pixels.push_back(RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue));
  return pixels;
}

// The colour a swatch shows for a palette entry: its own, or one step of blue away from
// the key when it is the key.
COLORREF Shown(const PaletteEntry& entry) {
  const COLORREF colour = RGB(entry.nRed, entry.nGreen, entry.nBlue);
  return colour == kKey ? RGB(255, 0, 254) : colour;
}

std::vector<bool> KeyMask(const std::vector<COLORREF>& pixels) {
  std::vector<bool> mask;
  for (const COLORREF pixel : pixels) mask.push_back(pixel == kKey);
  return mask;
}

TEST(Swatches, EveryColourShowsWhenDrawnTransparently) {
  const std::vector<bool> aroundANote = KeyMask(Pixels(PALETTE[0].cNoteSwatch));
  ASSERT_EQ(aroundANote.size(), size_t{kSize * kSize});
  ASSERT_GT(std::count(aroundANote.begin(), aroundANote.end(), true), 0);
  for (const PaletteEntry& entry : PALETTE) {
    const std::vector<COLORREF> note = Pixels(entry.cNoteSwatch);
    const std::vector<COLORREF> letter = Pixels(entry.cTextSwatch);
    ASSERT_EQ(note.size(), size_t{kSize * kSize}) << entry.cNoteSwatch;
    ASSERT_EQ(letter.size(), size_t{kSize * kSize}) << entry.cTextSwatch;
    // A note is transparent around its shape only, whatever its colour, and filled with it.
    EXPECT_EQ(KeyMask(note), aroundANote) << entry.cNoteSwatch;
    EXPECT_EQ(note[8 * kSize + 8], Shown(entry)) << entry.cNoteSwatch;
    // A T on white is drawn whole: the letter's bar and stem in the colour, nothing in the key.
    EXPECT_EQ(std::count(letter.begin(), letter.end(), kKey), 0) << entry.cTextSwatch;
    EXPECT_EQ(letter[4 * kSize + 4], Shown(entry)) << entry.cTextSwatch;
    EXPECT_EQ(letter[10 * kSize + 7], Shown(entry)) << entry.cTextSwatch;
  }
}

}  // namespace
}  // namespace memotab
