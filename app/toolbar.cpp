#include "toolbar.h"

#include "about.h"
#include "app_state.h"
#include "call_stack.h"
#include "free_routines.h"
#include "help.h"
#include "note_windows.h"
#include "options.h"
#include "pending_report.h"
#include "reminder_timer.h"
#include "startup.h"

namespace memotab {

std::shared_ptr<TToolBar> BARRA(TWindow& oWnd) {
  const Routine routine;
  const std::shared_ptr<TImageList> images = TImageList::New(32, 32);
  for (const char* name : {"NUEVA", "OPC", "DIME", "AYUDA", "ACERCA", "OCULTA", "SALIR"}) {
    images->AddMasked(name, NRGB(255, 0, 255));
  }
  const std::shared_ptr<TToolBar> bar = TToolBar::New(oWnd, 40, 40, images);
  bar->AddButton([](TToolBar&) { NUEVANOTA(true); }, "Crea una \r\nNueva Nota");
  bar->AddSeparator();
  bar->AddButton([](TToolBar&) { OPCIONES(); }, "Despliega las\r\nOpciones");
  bar->AddButton([](TToolBar&) { NOTASPENDIENTES(); }, "Notas pendientes");
  bar->AddSeparator();
  bar->AddButton([](TToolBar&) { AYUDA(); }, "Visualiza\r\nla Ayuda");
  bar->AddButton([](TToolBar&) { ACERCA(); }, "Acerca de de\r\nMemotab v1.6");
  bar->AddSeparator();
  bar->AddButton([](TToolBar&) { oWndMain->Hide(); }, "Minimizar");
  bar->AddSeparator();
  bar->AddButton(
      [](TToolBar&) {
        ENDTEMPO();
        oWndMain->End();
      },
      "Salir de Memotab v1.6");
  return bar;
}

}  // namespace memotab
