#include "announcement.h"

#include "activation.h"
#include "app_state.h"
#include "call_stack.h"
#include "free_routines.h"
#include "t_button.h"
#include "t_dialog.h"
#include "t_get.h"
#include "win.h"
#include "window_registry.h"
#include "window_styles.h"

namespace memotab {

namespace {

constexpr const char* kReminderTemplate = "AVISO";

// Whether the window is one of the reminder windows shown here.
bool IsReminderWindow(HWND window) {
  const auto dialog = std::dynamic_pointer_cast<TDialog>(WindowOf(window));
  return dialog != nullptr && dialog->cResName == kReminderTemplate;
}

}  // namespace

void MOSTRARRECORDATORIO(const std::string& cText) {
  const Routine routine;
  // A person typing (in a note's editor or in one of the program's dialogs) keeps the
  // activation and the keys: an "o", a space, Enter or Escape meant for that window would
  // otherwise close the reminder unseen. The reminder then flashes, so that it can be reached;
  // otherwise it comes active, as any new window does. Reminders come stacked at one place:
  // one that has the keys is no one typing, and the new one on top of it takes them.
  const bool typing = KeyboardInUse() && !IsReminderWindow(GetAncestor(GetFocus(), GA_ROOT));
  const DialogPtr dialog = TDialog::New({.cResName = kReminderTemplate, .oWnd = oWndMain.get()});
  dialog->lHelpIcon = false;
  const auto text = TMultiGet::ReDefine(101, {[cText] { return cText; }, [](const std::string&) {}}, *dialog, true);
  const auto button = TButtonBmp::ReDefine(102, [owner = dialog.get()] { owner->End(); }, *dialog, "ACEPTAR");
  const auto init = [typing, text = text.get(), button = button.get()](TDialog& oDlg) {
    // The button first in the tab order: it has the focus whenever the window is activated,
    // and Tab reaches the text, which scrolls from the keys.
    SETWINDOWPOS(text->hWnd, kBottomPlace, 0, 0, 0, 0, kNoMoveNoSize | kNoActivate);
    // Under Wine this call would activate the window, hidden as it still is: the show decides.
    SETWINDOWPOS(oDlg.hWnd, kTopMostBand, 0, 0, 0, 0, kNoMoveNoSize | kNoActivate);
    if (!typing) button->SetFocus();
    return false;  // while typing, no focus now: taking it would activate the window
  };
  dialog->Activate({.lModal = false, .lNoActivate = typing, .bInit = init});
}

}  // namespace memotab
