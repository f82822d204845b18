#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "reminder_due.h"
#include "t_get.h"
#include "t_ms_agent.h"
#include "t_say.h"
#include "t_timer.h"
#include "t_tray_icon.h"
#include "t_window.h"
#include "table.h"

namespace memotab {

// What the application holds for the whole run.

inline WindowPtr oWndMain;                     // the hidden main window; closing it ends the program
inline std::shared_ptr<TTimer> oTimer;         // the reminder timer, from its start until the exit button ends it
inline DueMinutes oDueMinutes;                 // the minutes the reminder timer has covered
inline std::set<uint32_t> aFailedReminders;    // records the reminder timer could not check: left out for the run
inline std::vector<std::string> aAnimations;   // idle animation names
inline int nTicks = 0;                         // timer ticks since the last idle animation
inline bool lUseAgent = true;                  // reminders are spoken by the assistant
inline bool lAgentVisible = true;              // the assistant shows at start-up
inline std::string cAgentFile;                 // the character file chosen at start-up ("" for none)
inline std::string cAgentName;                 // its name: the file name without folder and extension
inline std::shared_ptr<TMsAgent> oAgent;       // the assistant
inline std::shared_ptr<TTrayIcon> oTray;        // the icon in the notification area
inline std::vector<WindowPtr> aNoteWindows;    // the window of each note opened in this run, by record number - 1
inline std::vector<std::shared_ptr<TSay>> aNoteSays;  // each open note's text view, by record number - 1
// The editor of each note being edited, by record number - 1 (empty while the note is viewed).
inline std::vector<std::shared_ptr<TMultiGet>> aNoteEditors;
inline int nLastNote = 0;                      // the record number of the note opened last
inline std::optional<Table> oNota;             // the note table, known by its alias "Nota"

// The note table "Nota"; raises RuntimeError when it is not open.
Table& NoteTable();

}  // namespace memotab
