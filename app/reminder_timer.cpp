#include "reminder_timer.h"

#include <chrono>
#include <string>

#include "announcement.h"
#include "app_state.h"
#include "call_stack.h"
#include "error_block.h"
#include "event_loop.h"
#include "note_errors.h"
#include "note_table.h"
#include "options.h"
#include "paths.h"
#include "random.h"
#include "settings.h"
#include "text.h"

namespace memotab {

namespace {

constexpr int kTickMilliseconds = 6000;
constexpr int kTicksPerIdleAnimation = 10;

// Lets waiting window events through during a scan, at most once a millisecond: every look
// at the queue costs a round trip to the window system, and a scan of many notes would
// otherwise spend its time there.
class EventsDuringScan {
 public:
  void LetThrough() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(1)) return;
    SYSREFRESH();
    last_ = std::chrono::steady_clock::now();
  }

 private:
  std::chrono::steady_clock::time_point last_{};
};

// About once a minute a visible assistant plays one of the idle animations, or asks for
// attention when the draw gives 0.
void IdleStep() {
  if (++nTicks < kTicksPerIdleAnimation) return;
  const int drawn = NRANDOM(static_cast<int>(aAnimations.size()));
  if (oAgent->IsVisible()) {
    if (drawn <= 0 || drawn > static_cast<int>(aAnimations.size())) {
      oAgent->GetAttention();
    } else {
      oAgent->Animate(aAnimations[static_cast<size_t>(drawn - 1)]);
    }
  }
  nTicks = 0;
}

void Announce(Table& nota, uint32_t recNo, bool useAgent) {
  const std::string text(Trim(nota.GetText(Nota::TEXTO)));
  if (useAgent) {
    nota.SetText(Nota::STATUS, "X");
    CHECAAGENTE(false);
    oAgent->Say(text);
  } else {
    MOSTRARRECORDATORIO(text);
    nota.GoTo(recNo);  // the window's creation may have let a handler move the table
    nota.SetText(Nota::STATUS, "X");
  }
}

// Runs `step`; an error it raises goes to the error handler. False when the step failed.
template <typename Step>
bool Guarded(Step&& step) {
  return GuardErrors(
      [&] {
        step();
        return true;
      },
      false);
}

// Announces the reminder of record `recNo` when it falls due; a deleted note has none.
void CheckRecord(Table& nota, uint32_t recNo, bool useAgent) {
  nota.GoTo(recNo);
  if (nota.Eof() || (nota.DeletedHidden() && nota.Deleted())) return;
  if (IsReminderDue(oDueMinutes, nota.GetDate(Nota::FECHA), nota.GetText(Nota::HORA), nota.GetText(Nota::STATUS))) {
    Announce(nota, recNo, useAgent);
  }
}

// Visits every record by record number, going to it after every pass of events: a
// handler that moves the table (a note taking the focus, a menu) makes the scan skip
// nothing. A record that fails (a damaged memo) is reported once, through the error
// handler, and left out of every later scan of this run; the scan goes on with the next.
void ScanRecords(Table& nota, bool useAgent) {
  EventsDuringScan events;
  for (uint32_t recNo = 1; recNo <= nota.LastRec(); ++recNo) {
    events.LetThrough();
    if (aFailedReminders.contains(recNo)) continue;
    if (!SkipNoteOnError([&] { CheckRecord(nota, recNo, useAgent); })) aFailedReminders.insert(recNo);
  }
}

}  // namespace

void ACTIVATEMPO() {
  const Routine routine;
  oTimer = TTimer::New(kTickMilliseconds, [] { CHECAAVISOS(); }, oWndMain.get());
  oTimer->Activate();
}

void ENDTEMPO() {
  if (!oTimer) return;
  oTimer->DeActivate();
  oTimer->End();
  oTimer.reset();
}

void CHECAAVISOS() {
  const Routine routine;
  // Inside a popup menu the assistant's waits would hold the menu's input back (a click on an
  // item would wait for a whole speech): the tick is left for the next one after the menu,
  // which announces the minutes passed meanwhile.
  if (InMenuLoop()) return;
  const LocalTime now = NOW();
  const bool useAgent = LEEINI(SettingsFile(), "AGENTE", "USAR", true);
  SYSREFRESH();
  IdleStep();
  if (!oWndMain || oWndMain->hWnd == nullptr) return;

  Table& nota = NoteTable();
  const uint32_t remembered = nota.RecNo();
  // The timer is off while a scan runs, so that scans never nest, not even while the
  // error handler's dialog is open; it is on again once any error has been handled. A
  // timer ended meanwhile stays ended.
  if (oTimer) oTimer->DeActivate();
  oDueMinutes.Begin(MinuteOf(now));
  if (Guarded([&] { ScanRecords(nota, useAgent); })) oDueMinutes.Complete();
  Guarded([&] { nota.GoTo(remembered); });
  if (oTimer) oTimer->Activate();
}

}  // namespace memotab
