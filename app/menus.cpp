#include "menus.h"

#include "app_state.h"
#include "call_stack.h"
#include "free_routines.h"
#include "note_deletion.h"
#include "note_editing.h"
#include "note_record.h"
#include "note_table.h"
#include "note_windows.h"
#include "notes_visibility.h"
#include "options.h"
#include "palette.h"
#include "pending_report.h"
#include "reminder_dialog.h"

namespace memotab {

namespace {

// Every menu of the program looks the same but for the picture down its side.
MenuBeginParams MenuLook(const char* cBmpLogo) {
  return {.cBmpLogo = cBmpLogo,
          .nClrPane = NRGB(255, 255, 128),
          .nClrText = 0,
          .lNoChks = false,
          .nClrSelect = 6540766,
          .nClrTxtSel = 0,
          .nLogoColor = 6540766};
}

// The sixteen palette colours as a submenu; choosing one calls `choose` with its value.
void AddColourSubmenu(bool lTextColour, const std::function<void(int32_t nColour)>& choose) {
  C5MENUBEGIN(MenuLook("LOGO"));
  for (size_t i = 0; i < PALETTE.size(); ++i) {
    if (i == 8) C5MENUADDITEM();
    const PaletteEntry& entry = PALETTE[i];
    const int32_t colour = entry.Value();
    C5MENUADDITEM({.cPrompt = entry.cPrompt,
                   .bAction = [choose, colour](TMenuItemC5&) { choose(colour); },
                   .cResName = lTextColour ? entry.cTextSwatch : entry.cNoteSwatch});
  }
  C5MENUEND();
}

}  // namespace

void ShowMainWindow() {
  oWndMain->Show();
  oWndMain->SetFocus();
}

void MENUTRAY(int nRow, int nCol, TTrayIcon& oTrayIcon) {
  const Routine routine;
  const std::shared_ptr<TC5Menu> menu = C5MENUBEGIN(MenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "Abrir Memotab v1.6", .bAction = [](TMenuItemC5&) { ShowMainWindow(); }});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Nueva nota", .bAction = [](TMenuItemC5&) { NUEVANOTA(true); }});
  C5MENUADDITEM({.cPrompt = "Notas pendientes", .bAction = [](TMenuItemC5&) { NOTASPENDIENTES(); }});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Configurar", .bAction = [](TMenuItemC5&) { OPCIONES(); }});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Mostrar todas las Notas", .bAction = [](TMenuItemC5&) { MUESTRANOTAS(); }});
  C5MENUADDITEM({.cPrompt = "Ocultar todas las Notas", .bAction = [](TMenuItemC5&) { OCULTARNOTAS(); }});
  C5MENUADDITEM({.cPrompt = "Eliminar todas las Notas", .bAction = [](TMenuItemC5&) { ELIMINATODAS(); }});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Mostrar Agente",
                 .bAction = [](TMenuItemC5&) { oAgent->Show(); },
                 .bWhen = [](TMenuItemC5&) { return !oAgent->IsVisible(); }});
  C5MENUADDITEM({.cPrompt = "Ocultar Agente",
                 .bAction = [](TMenuItemC5&) { oAgent->Hide(); },
                 .bWhen = [](TMenuItemC5&) { return oAgent->IsVisible(); }});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Cerrar menú"});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Salir de Memotab v1.6", .bAction = [](TMenuItemC5&) { oWndMain->End(); }});
  C5MENUEND();
  menu->Activate(nRow, nCol, *oTrayIcon.oWnd);
}

std::shared_ptr<TC5Menu> MENUPOPUP(int nRow, int nCol, TWindow& oNote, int nRec) {
  const Routine routine;
  const auto rec = static_cast<uint32_t>(nRec);
  NoteTable().GoTo(rec);
  TWindow* const note = &oNote;
  const std::shared_ptr<TC5Menu> menu = C5MENUBEGIN(MenuLook("LOGO2"));
  // The colour left unchanged is read from the note's record when the item is chosen.
  C5MENUADDITEM({.cPrompt = "Color de la NOTA", .cResName = "COLORESN"});
  AddColourSubmenu(false, [note, nRec, rec](int32_t nColour) {
    CAMBIACOLORES(nColour, NoteColour(rec, Nota::CLRTEXTO), nRec, *note);
  });
  C5MENUADDITEM({.cPrompt = "Color del Texto", .cResName = "COLOREST"});
  AddColourSubmenu(true, [note, nRec, rec](int32_t nColour) {
    CAMBIACOLORES(NoteColour(rec, Nota::CLRNOTA), nColour, nRec, *note);
  });
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "&Borrar NOTA", .bAction = [nRec](TMenuItemC5&) { BORRARNOTA(nRec); }, .cResName = "BORRAR"});
  C5MENUADDITEM();
  C5MENUADDITEM({.cPrompt = "Recordatorio", .bAction = [rec](TMenuItemC5&) { RECORDATORIO(rec); }, .cResName = "RELOJ"});
  C5MENUEND();
  menu->Activate(nRow, nCol, oNote);
  return menu;
}

}  // namespace memotab
