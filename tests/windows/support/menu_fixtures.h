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

// A window to show menus for: a small popup window at (100, 100) on the screen, shown.
inline WindowPtr MenuOwner() {
  const WindowPtr owner = TWindow::New({.nTop = 100, .nLeft = 100, .nBottom = 219, .nRight = 299,
                                        .nStyle = static_cast<uint32_t>(WS_POPUP | WS_BORDER), .lPixel = true});
  ShowWindow(owner->hWnd, SW_SHOWNORMAL);
  UpdateWindow(owner->hWnd);
  return owner;
}

// A window away from the menus, to click "elsewhere" on: its centre is at (800, 575).
inline WindowPtr ElsewhereWindow() {
  const WindowPtr window = TWindow::New({.nTop = 500, .nLeft = 700, .nBottom = 649, .nRight = 899,
                                         .nStyle = static_cast<uint32_t>(WS_POPUP | WS_BORDER), .lPixel = true});
  ShowWindow(window->hWnd, SW_SHOWNOACTIVATE);
  UpdateWindow(window->hWnd);
  return window;
}

}  // namespace memotab::test
