#include "t_date_pick.h"

#include "win.h"

#include "t_dialog.h"

namespace memotab {

std::shared_ptr<TDatePick> TDatePick::ReDefine(int nId, SetGet<Date> bSetGet, TDialog& oDlg) {
  std::shared_ptr<TDatePick> picker(new TDatePick());
  picker->binding_ = std::move(bSetGet);
  picker->Attach(nId, oDlg);
  return picker;
}

void TDatePick::Load() {
  const Date date = binding_.get();
  SYSTEMTIME time{};
  if (date.IsEmpty()) {
    SendMessageA(hWnd, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&time));
    return;
  }
  time.wYear = static_cast<WORD>(date.Year());
  time.wMonth = static_cast<WORD>(date.Month());
  time.wDay = static_cast<WORD>(date.Day());
  SendMessageA(hWnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

Date TDatePick::GetDate() const {
  SYSTEMTIME time{};
  if (SendMessageA(hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return {};
  return Date::FromYmd(time.wYear, time.wMonth, time.wDay).value_or(Date{});
}

void TDatePick::Store() {
  binding_.set(GetDate());
  if (bChange) bChange();
}

}  // namespace memotab
