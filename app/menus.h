#pragma once

#include <memory>

#include "t_c5_menu.h"
#include "t_tray_icon.h"
#include "t_window.h"

namespace memotab {

// Shows the main window and gives it the focus (the tray icon's left click and "Abrir").
void ShowMainWindow();
// Builds the tray menu and shows it at (nRow, nCol) for the tray icon's window; the chosen
// item's action runs once the menu has closed.
void MENUTRAY(int nRow, int nCol, TTrayIcon& oTrayIcon);
// Makes record nRec current, builds the note menu (colours, deletion, reminder) and shows it
// at (nRow, nCol) inside the note window. Returns the menu.
std::shared_ptr<TC5Menu> MENUPOPUP(int nRow, int nCol, TWindow& oNote, int nRec);

}  // namespace memotab
