#include "announcement.h"

#include "app_state.h"
#include "call_stack.h"
#include "free_routines.h"
#include "t_button.h"
#include "t_dialog.h"
#include "t_get.h"

namespace memotab {

void MOSTRARRECORDATORIO(const std::string& cText) {
  const Routine routine;
  const DialogPtr dialog = TDialog::New({.cResName = "AVISO", .oWnd = oWndMain.get()});
  dialog->lHelpIcon = false;
  const auto text = TMultiGet::ReDefine(101, {[cText] { return cText; }, [](const std::string&) {}}, *dialog, true);
  TButtonBmp::ReDefine(102, [owner = dialog.get()] { owner->End(); }, *dialog, "ACEPTAR");
  // Shown without taking the activation: a person typing in a note when the reminder comes
  // goes on typing there, and no key meant for the note ("o", space, Escape) closes the
  // reminder unseen. Once the person activates the window the focus goes to its button (the
  // text is no tab stop), so that the text is not shown selected.
  text->lTabStop = false;
  dialog->Activate({.lModal = false, .lNoActivate = true, .bInit = [](TDialog& oDlg) {
                      SETWINDOWPOS(oDlg.hWnd, kTopMost, 0, 0, 0, 0, kKeepPlaceAndSize | kKeepActivation);
                      return false;  // no focus now: taking it would activate the window
                    }});
}

}  // namespace memotab
