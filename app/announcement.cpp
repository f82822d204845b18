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
  TMultiGet::ReDefine(101, {[cText] { return cText; }, [](const std::string&) {}}, *dialog, true);
  const auto accept = TButtonBmp::ReDefine(102, [owner = dialog.get()] { owner->End(); }, *dialog, "ACEPTAR");
  // The focus on the button, so that the text is not shown selected.
  dialog->Activate({.lModal = false, .bInit = [button = accept.get()](TDialog& oDlg) {
                      SETWINDOWPOS(oDlg.hWnd, kTopMost, 0, 0, 0, 0, kKeepPlaceAndSize);
                      button->SetFocus();
                      return false;
                    }});
}

}  // namespace memotab
