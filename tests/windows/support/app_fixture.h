#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

#include "app_state.h"
#include "character_service.h"
#include "clock.h"
#include "current_directory.h"
#include "note_table.h"
#include "paths.h"
#include "reminder_timer.h"
#include "stand_ins.h"
#include "system_characters.h"
#include "t_ini.h"

namespace memotab::test {

// The application's state as start-up leaves it, in a temporary working directory: an
// empty note table open as "Nota", the assistant on the scripted character service
// (visible, requests that end at once), a main window, the nine idle animations, and a
// clock that the test sets.
class AppFixture : public ::testing::Test {
 protected:
  AppFixture() {
    RemoveLeftOverCharacter();  // the options list the system's characters
    *standIns->characterVisible = true;
    *standIns->requestMilliseconds = 0;
    oNota.emplace(Table::Open(CreateNoteTable(here.Dir()), FileAccess::kReadWriteAlone));
    oNota->SetDeletedHidden(true);
    oAgent = NewAgent();
    oWndMain = TWindow::New({});
    aAnimations = {"Think", "Confused", "Uncertain", "Alert", "Pleased", "Explain", "Sad", "Surprised", "Wave"};
    nTicks = 0;
    oDueMinutes = {};
    aFailedReminders.clear();
    lUseAgent = true;
    lAgentVisible = true;
    SetClock(9, 5, 0);
    ForTestingSetClock([this] { return LocalTime{today, seconds.load()}; });
  }

  ~AppFixture() override {
    ForTestingSetClock({});
    ENDTEMPO();
    oAgent->End();
    oAgent.reset();
    if (ownService) {
      UnregisterBuiltInObject(kAgentProgId);
      UnregisterBuiltInObject(kBalloonProgId);
    }
    if (oWndMain->hWnd != nullptr) DestroyWindow(oWndMain->hWnd);
    oWndMain.reset();
    oNota->Close();
    oNota.reset();
  }

  // The assistant without any character service, as on a system that has none: its speech
  // goes to information boxes titled "Asistente".
  void UseNoCharacter() {
    oAgent->End();
    standIns.reset();
    oAgent = NewAgent();
  }

  // The assistant on Memotab's own character service, as on a system that has none of its
  // own; the service is taken off the registry again when the fixture ends.
  void UseOurCharacter() {
    oAgent->End();
    standIns.reset();
    character::RegisterCharacterService();
    ownService = true;
    oAgent = NewAgent();
  }

  void SetClock(int hours, int minutes, double second) { seconds = hours * 3600.0 + minutes * 60.0 + second; }

  // Appends a note and returns its record number; the table stays on it.
  uint32_t AddNote(const std::string& text, Date date, const std::string& time, const std::string& status) {
    oNota->AppendBlank();
    oNota->SetText(Nota::TEXTO, text);
    oNota->SetDate(Nota::FECHA, date);
    oNota->SetText(Nota::HORA, time);
    oNota->SetText(Nota::STATUS, status);
    return oNota->RecNo();
  }
  std::string StatusOf(uint32_t recNo) {
    oNota->GoTo(recNo);
    return oNota->GetText(Nota::STATUS);
  }
  void WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
    TIni(SettingsFile()).Set(section, key, value);
  }
  // The calls the character service received since the last look.
  std::string Sent() {
    std::string calls = standIns->agent->Joined();
    standIns->agent->Clear();
    return calls;
  }
  // How often a call starting with `prefix` is among them.
  static int Count(const std::string& calls, const std::string& prefix) {
    int count = 0;
    for (size_t at = calls.find(prefix); at != std::string::npos; at = calls.find(prefix, at + 1)) ++count;
    return count;
  }

  InTempDirectory here;
  std::optional<StandIns> standIns{std::in_place};
  Date today = *Date::FromYmd(2026, 12, 8);
  std::atomic<double> seconds{0};

 private:
  bool ownService = false;

  static std::shared_ptr<TMsAgent> NewAgent() {
    const auto agent = TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = "C:\\no\\Nota.acs", .lSound = true});
    agent->lWait = true;
    return agent;
  }
};

}  // namespace memotab::test
