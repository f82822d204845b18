#include "reminder_dialog.h"

#include "app_state.h"
#include "call_stack.h"
#include "clock.h"
#include "free_routines.h"
#include "note_table.h"
#include "t_bitmap.h"
#include "t_button.h"
#include "t_date_pick.h"
#include "t_dialog.h"
#include "t_get.h"
#include "t_say.h"
#include "text.h"

namespace memotab {

void RECORDATORIO(uint32_t /*nRecNo*/) {
  const Routine routine;
  Table& nota = NoteTable();
  Date date = DATE();
  std::string time = "  :  ";
  // The note stays the one the menu chose even if another note takes the focus (and the
  // table's current record) while the dialog is open.
  const uint32_t noteRecord = nota.RecNo();
  const Date storedDate = nota.GetDate(Nota::FECHA);
  const std::string storedTime = nota.GetText(Nota::HORA);
  const bool hasReminder = !storedDate.IsEmpty() || !Trim(storedTime).empty();
  const std::string status = hasReminder ? "Esta Nota ya tiene recordatorio programado" : "Esta Nota NO tiene recordatorio";
  const int32_t statusColour = hasReminder ? NRGB(0, 0, 128) : NRGB(128, 0, 0);
  if (!storedDate.IsEmpty()) date = storedDate;
  if (!Trim(storedTime).empty()) time = storedTime;

  const DialogPtr dialog = TDialog::New({.cResName = "RECORDATORIO"});
  dialog->lHelpIcon = false;
  TDatePick::ReDefine(101, Bind(date), *dialog);
  TGet::ReDefine(102, Bind(time), *dialog, [&time] { return VALIDAHORA(time); });
  TSay::ReDefine(800, [status] { return status; }, *dialog, statusColour);
  TBitmap::ReDefine(300, "CALEND", *dialog)->lTransparent = true;
  TBitmap::ReDefine(301, "RELOJ", *dialog)->lTransparent = true;
  TButtonBmp::ReDefine(103, [&, owner = dialog.get()] {
        nota.GoTo(noteRecord);
        GRABARECORDATORIO(*owner, date, time);
      }, *dialog, "ACEPTAR");
  TButtonBmp::ReDefine(104, [owner = dialog.get()] { owner->End(); }, *dialog, "CANCELAR");
  dialog->Activate();
}

bool VALIDAHORA(const std::string& cHora) {
  const Routine routine;
  const std::string_view text(cHora);
  const double hours = Val(text.substr(0, 2));
  const double minutes = Val(text.size() > 3 ? text.substr(3, 2) : std::string_view{});
  if (hours < 0 || hours > 23) {
    oAgent->Say("Las horas van de 00 a 23. Corrija e intente de nuevo.");
    return false;
  }
  if (minutes < 0 || minutes > 59) {
    oAgent->Say("Los minutos van de 00 a 59. Corrija e intente de nuevo.");
    return false;
  }
  return true;
}

void GRABARECORDATORIO(TDialog& oDlg, Date dFecha, const std::string& cHora) {
  const Routine routine;
  Table& nota = NoteTable();
  nota.SetDate(Nota::FECHA, dFecha);
  nota.SetText(Nota::HORA, cHora);
  nota.SetText(Nota::STATUS, ".");
  oDlg.End();
}

}  // namespace memotab
