#include "startup.h"

#include "agent_files.h"
#include "app_state.h"
#include "call_stack.h"
#include "clock.h"
#include "character_service.h"
#include "disk.h"
#include "error_block.h"
#include "free_routines.h"
#include "gdi_resources.h"
#include "menus.h"
#include "message_boxes.h"
#include "net_error.h"
#include "note_table.h"
#include "options.h"
#include "notes_visibility.h"
#include "paths.h"
#include "reminder_timer.h"
#include "scoped_flag.h"
#include "settings.h"
#include "single_copy_guard.h"
#include "toolbar.h"
#include "window_styles.h"
#include "work_areas.h"

namespace memotab {

namespace {

// Opens the note table for this process alone. An error goes to the error handler; when
// the table cannot be had the result is empty and NETERR() tells whether another copy of
// the program holds it: its claim on the table, or the table itself.
std::optional<Table> OpenNoteTable(const std::string& path, const SingleCopyGuard& guard) {
  SETNETERR(guard.IsTakenElsewhere());
  if (NETERR()) return std::nullopt;
  return GuardErrors([&] { return std::optional<Table>(Table::Open(path, FileAccess::kReadWriteAlone)); },
                     std::optional<Table>{});
}

// Packs the table and marks every note closed.
void CleanNoteTable(Table& nota) {
  nota.Pack();
  for (nota.GoTop(); !nota.Eof(); nota.Skip()) nota.SetLogical(Nota::ACTIVADA, false);
}

// Everything of the shutdown but the release of the framework's graphic resources; a second
// run does nothing more.
void ShutDown() {
  if (!oAgent) return;
  ENDTEMPO();  // whichever way the main window was closed
  if (oAgent->IsVisible()) {
    oAgent->lWait = true;
    oAgent->Stop();
    oAgent->Hide();
  }
  oAgent->End();
  if (oNota) {
    oNota->Close();
    CloseWorkArea(1);
    oNota.reset();
  }
  if (oTray) {
    oTray->End();
    oTray.reset();
  }
  oAgent.reset();
}

// A message box during the start-up (a note that cannot be read) lets messages through: a
// close or the end of the session asked for meanwhile is carried out once the start-up has
// finished.
bool lStarting = false;
bool lCloseAsked = false;
bool lSessionEnded = false;

bool ValidateMainWindowClose() {
  if (lStarting) {
    lCloseAsked = true;
    return false;
  }
  return lSessionEnded || OCULTARNOTAS();
}

// Windows is ending the session: the notes are closed with what is being typed in them and
// the table's files are closed before the system may end the process; the program then
// closes. The objects stay alive for whatever runs below this message (a scan, a question):
// the normal end of the program releases them.
void EndOfSession(bool lEnding) {
  if (!lEnding || !oNota || lSessionEnded) return;
  ENDTEMPO();
  OCULTARNOTAS();
  oNota->Close();
  lSessionEnded = true;  // the notes are closed already
  oWndMain->End();
}

}  // namespace

std::string CHOOSECHARACTER(const std::string& cConfigured) {
  if (!cConfigured.empty() && FILE_EXISTS(cConfigured)) return cConfigured;
  const std::vector<std::string> installed = GETAGENTSAVAILABLES();
  return installed.empty() ? std::string{} : installed.front();
}

std::string CHARACTERNAME(const std::string& cFile) {
  std::string name = cFile.substr(cFile.find_last_of("\\/:") + 1);
  return name.substr(0, name.rfind('.'));
}

void MAIN() {
  const Routine routine;
  const std::string tablePath = CurrentDirectoryFile(kNoteTableName);
  nTicks = 0;
  // Covered up to the minute before the start: a reminder saved for the start minute just
  // before the start is still announced.
  oDueMinutes = {};
  oDueMinutes.Begin(MinuteOf(NOW()));
  oDueMinutes.Complete();
  aFailedReminders.clear();
  aAnimations = {"Think", "Confused", "Uncertain", "Alert", "Pleased", "Explain", "Sad", "Surprised", "Wave"};

  const std::string settings = SettingsFile();
  lAgentVisible = LEEINI(settings, "AGENTE", "VISIBLE", true);
  lUseAgent = LEEINI(settings, "AGENTE", "USAR", true);
  cAgentFile = CHOOSECHARACTER(LEEINI(settings, "AGENTE", "ARCHIVO", ""));
  cAgentName = CHARACTERNAME(cAgentFile);

  character::RegisterCharacterService();  // stands in where the system has no character service
  oAgent = TMsAgent::New({.cName = cAgentName, .lMenu = false, .cFile = cAgentFile, .lSound = true});
  oAgent->SetBalloon({}, 0, true);  // speech balloons stay until clicked
  oAgent->lWait = true;
  oAgent->cSoundInfo = ".\\Sounds\\Aviso.Wav";
  oAgent->cSoundStop = ".\\Sounds\\Error.Wav";
  oAgent->cSoundQuestion = ".\\Sounds\\Pregunta.Wav";

  // Held until the program ends, so that no second copy takes the table while a pack has it closed.
  const SingleCopyGuard guard(tablePath);
  oNota = OpenNoteTable(tablePath, guard);
  if (!oNota) {
    if (NETERR()) {
      const std::string message = std::string(kProgramTitle) + " ya está siendo usado!";
      // Without a character the assistant would show nothing: the message must be seen.
      if (oAgent->lOK) {
        oAgent->WInfo(message, kProgramTitle);
      } else {
        MSGINFO(message, kProgramTitle);
      }
    }
    oAgent->End();
    return;  // any other failure has been reported by the error handler
  }
  UseWorkArea("Nota", *oNota);
  oNota->SetDeletedHidden(true);
  CleanNoteTable(*oNota);

  const std::shared_ptr<TIcon> icon = TIcon::New("NOTAS");
  oWndMain = TWindow::New({.nTop = 0,
                           .nLeft = 5,
                           .nBottom = 4.4,
                           .nRight = 45.5,
                           .cTitle = kProgramTitle,
                           .nStyle = static_cast<uint32_t>(NOR(kMinimizeBoxStyle)),
                           .oIcon = icon});
  oWndMain->bInit = [icon](TWindow& window) {
    lCloseAsked = false;
    lSessionEnded = false;
    {
      const ScopedFlag starting(lStarting);
      BARRA(window);
      oTray = TTrayIcon::New(window, {.oIcon = icon,
                                      .cCaption = kProgramTitle,
                                      .bLClicked = [](int, int) { ShowMainWindow(); },
                                      .bRClicked = [](int nRow, int nCol) { MENUTRAY(nRow, nCol, *oTray); }});
      CHECAMUESTRANOTAS();
      // The character comes in while the program runs on: waiting for it here would let
      // the tray's and toolbar's commands in before the start-up has finished.
      {
        const ScopedFlag noWait(oAgent->lWait, false);
        CHECAAGENTE();
      }
      if (!lCloseAsked) ACTIVATEMPO();  // a program about to close needs no reminders
      window.Hide();
    }
    if (lCloseAsked) window.End();
  };
  oWndMain->bEndSession = EndOfSession;
  try {
    oWndMain->Activate({.cShow = "NORMAL", .bValid = ValidateMainWindowClose});
  } catch (...) {
    ShutDown();  // a start-up that fails leaves no tray icon, timer or open table behind
    throw;
  }

  ShutDown();
  RESALLFREE();
}

}  // namespace memotab
