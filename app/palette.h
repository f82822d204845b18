#pragma once

#include <array>
#include <cstdint>

namespace memotab {

// One colour of the sixteen a note and its text can take.
struct PaletteEntry {
  const char* cName;        // as the options dialog lists it
  const char* cPrompt;      // as the note menu lists it ("&" marks the access letter)
  uint8_t nRed;
  uint8_t nGreen;
  uint8_t nBlue;
  const char* cNoteSwatch;  // bitmap resource of the note-colour swatch
  const char* cTextSwatch;  // bitmap resource of the text-colour swatch

  // The colour value 0x00BBGGRR that notes store.
  constexpr int32_t Value() const { return nRed | nGreen << 8 | nBlue << 16; }
};

// Palette positions 1 to 16 are PALETTE[0] to PALETTE[15]; the settings file stores positions.
inline constexpr std::array<PaletteEntry, 16> PALETTE = {{
    {"Negro", "&Negro", 0, 0, 0, "NEGRO", "TNEGRO"},
    {"Azul", "&Azul", 0, 0, 128, "AZUL", "TAZUL"},
    {"Verde", "&Verde", 0, 128, 0, "VERDE", "TVERDE"},
    {"Cyan", "&Cyan", 0, 128, 128, "CYAN", "TCYAN"},
    {"Rojo", "G&uinda", 128, 0, 0, "ROJO", "TROJO"},
    {"Magenta", "&Magenta", 128, 0, 128, "MAGENTA", "TMAGENTA"},
    {"Cafe", "&Caf&e", 128, 128, 0, "CAFE", "TCAFE"},
    {"Gris", "&Gris", 192, 192, 192, "GRIS", "TGRIS"},
    {"Gris Fuerte", "G&ris Fuerte", 128, 128, 128, "GRISF", "TGRISF"},
    {"Azul Brillante", "A&zul Brillante", 0, 0, 255, "AZULB", "TAZULB"},
    {"Verde Brillante", "Ver&de Brillante", 0, 255, 0, "VERDEB", "TVERDEB"},
    {"Cyan Brillante", "C&yan Brillante", 0, 255, 255, "CYANB", "TCYANB"},
    {"Rojo Brillante", "Ro&jo Brillante", 255, 0, 0, "ROJOB", "TROJOB"},
    {"Magenta Brillante", "Magen&ta Brillante", 255, 0, 255, "MAGENTAB", "TMAGENTAB"},
    {"Amarillo", "Amarillo", 255, 255, 0, "AMARILLO", "TAMARILLO"},
    {"Blanco", "&Blanco", 255, 255, 255, "BLANCO", "TBLANCO"},
}};

// The entry at a palette position (1 to 16); positions outside that range give nothing.
constexpr const PaletteEntry* PaletteAt(int position) {
  return position >= 1 && position <= static_cast<int>(PALETTE.size()) ? &PALETTE[position - 1] : nullptr;
}

// The palette positions of a new note's colours when the settings name no palette entry.
inline constexpr int kDefaultNoteColour = 15;  // "Amarillo"
inline constexpr int kDefaultTextColour = 1;   // "Negro"

// `position` when it names a palette entry, `fallback` otherwise (a hand-edited or damaged
// settings file).
constexpr int PalettePositionOr(int position, int fallback) {
  return PaletteAt(position) != nullptr ? position : fallback;
}

}  // namespace memotab
