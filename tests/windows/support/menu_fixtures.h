#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "free_routines.h"
#include "t_c5_menu.h"
#include "t_window.h"
#include "win.h"

namespace memotab {

// How test failures show the sizes of the menus' class-wide lists.
inline void PrintTo(const TC5Menu::ListSizes& sizes, std::ostream* out) {
  *out << sizes.nMenus << " menus, " << sizes.nItems << " items, " << sizes.nPopups << " shown";
}

}  // namespace memotab

namespace memotab::test {

// The look the program gives its menus, with the picture `logo` at the foot of the strip.
inline MenuBeginParams ProgramMenuLook(const std::string& logo) {
  return {.cBmpLogo = logo,
          .nClrPane = NRGB(255, 255, 128),
          .nClrText = 0,
          .nClrSelect = 6540766,
          .nClrTxtSel = 0,
          .nLogoColor = 6540766};
}

// The colours as a screen shows them.
inline constexpr COLORREF kPane = RGB(255, 255, 128);
inline constexpr COLORREF kHighlight = RGB(222, 205, 99);  // also the strip's band
inline constexpr COLORREF kDisabledText = RGB(128, 128, 128);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kMagentaKey = RGB(255, 0, 255);

// The note colours' prompts and swatches, in the palette's order.
inline const std::vector<std::string> kColourPrompts = {
    "&Negro", "&Azul", "&Verde", "&Cyan", "G&uinda", "&Magenta", "&Caf&e", "&Gris", "G&ris Fuerte", "A&zul Brillante",
    "Ver&de Brillante", "C&yan Brillante", "Ro&jo Brillante", "Magen&ta Brillante", "Amarillo", "&Blanco"};
inline const std::vector<std::string> kSwatches = {"NEGRO", "AZUL",  "VERDE",  "CYAN",  "ROJO",  "MAGENTA",
                                                   "CAFE",  "GRIS",  "GRISF",  "AZULB", "VERDEB", "CYANB",
                                                   "ROJOB", "MAGENTAB", "AMARILLO", "BLANCO"};

// A popup window with a border at pixels (left, top) to (right, bottom), shown.
inline WindowPtr ShownPopup(int left, int top, int right, int bottom, int showCommand) {
  const WindowPtr window = TWindow::New({.nTop = static_cast<double>(top), .nLeft = static_cast<double>(left),
                                         .nBottom = static_cast<double>(bottom), .nRight = static_cast<double>(right),
                                         .nStyle = static_cast<uint32_t>(WS_POPUP | WS_BORDER), .lPixel = true});
  ShowWindow(window->hWnd, showCommand);
  UpdateWindow(window->hWnd);
  return window;
}

// A window to show menus for, at (100, 100) on the screen.
inline WindowPtr MenuOwner() { return ShownPopup(100, 100, 299, 219, SW_SHOWNORMAL); }

// A window away from the menus, to click "elsewhere" on: its centre is at (800, 575).
inline WindowPtr ElsewhereWindow() { return ShownPopup(700, 500, 899, 649, SW_SHOWNOACTIVATE); }

}  // namespace memotab::test
