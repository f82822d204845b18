#include "options.h"

#include "agent_files.h"
#include "app_state.h"
#include "call_stack.h"
#include "free_routines.h"
#include "note_deletion.h"
#include "notes_visibility.h"
#include "palette.h"
#include "paths.h"
#include "settings.h"
#include "startup.h"
#include "t_button.h"
#include "t_combo_box.h"
#include "t_dialog.h"
#include "t_folder.h"
#include "t_get.h"
#include "window_styles.h"

namespace memotab {

namespace {

struct ColourLists {
  std::vector<std::string> aNames;
  std::vector<std::string> aNoteSwatches;
  std::vector<std::string> aTextSwatches;
};

ColourLists PaletteLists() {
  ColourLists lists;
  for (const PaletteEntry& entry : PALETTE) {
    lists.aNames.emplace_back(entry.cName);
    lists.aNoteSwatches.emplace_back(entry.cNoteSwatch);
    lists.aTextSwatches.emplace_back(entry.cTextSwatch);
  }
  return lists;
}

// Whether the table holds a note that is not deleted; the current record stays as it was.
bool TableHasNotes() {
  if (!oNota) return false;
  const uint32_t current = oNota->RecNo();
  bool found = false;
  for (uint32_t recNo = 1; recNo <= oNota->LastRec() && !found; ++recNo) {
    oNota->GoTo(recNo);
    found = !oNota->Deleted();
  }
  oNota->GoTo(current);
  return found;
}

}  // namespace

void OPCIONES() {
  const Routine routine;
  const ColourLists colours = PaletteLists();
  const std::vector<std::string> agentFiles = GETAGENTSAVAILABLES();
  std::vector<std::string> agentNames;
  for (const std::string& file : agentFiles) agentNames.push_back(CHARACTERNAME(file));
  const std::string settings = SettingsFile();
  int agent = LEEINI(settings, "AGENTE", "ID", 1);
  if (agent < 1 || agent > static_cast<int>(agentFiles.size())) agent = 1;

  const DialogPtr dialog = TDialog::New({.cResName = "OPCIONES"});
  dialog->lHelpIcon = false;
  const auto folder =
      TFolder::ReDefine(101, {"&Notas", "Co&lores", "A&gente"}, {"OPCIONES2", "OPCIONES3", "OPCIONES4"}, *dialog);
  TDialog& notesPage = *folder->aDialogs[0];
  TDialog& coloursPage = *folder->aDialogs[1];
  TDialog& agentPage = *folder->aDialogs[2];

  TIni ini(settings);
  int noteColour = PalettePositionOr(ini.Get("COLORES", "NOTA", kDefaultNoteColour), kDefaultNoteColour);
  int textColour = PalettePositionOr(ini.Get("COLORES", "TEXTO", kDefaultTextColour), kDefaultTextColour);
  bool showNotes = ini.Get("INICIO", "VER", "SI").starts_with("SI");
  TButtonBmp::ReDefine(103, [owner = dialog.get()] { owner->End(); }, *dialog, "CANCELAR");

  TButton::ReDefine(102, [] { MUESTRANOTAS(); }, notesPage, {.bWhen = TableHasNotes});
  TButton::ReDefine(104, [] { OCULTARNOTAS(); }, notesPage, {.bWhen = TableHasNotes});
  TButton::ReDefine(103, [] { ELIMINATODAS(); }, notesPage, {.bWhen = TableHasNotes});
  TCheckBox::ReDefine(101, Bind(showNotes), notesPage);

  TComboBox::ReDefine(101, Bind(noteColour), colours.aNames, coloursPage, colours.aNoteSwatches);
  TComboBox::ReDefine(102, Bind(textColour), colours.aNames, coloursPage, colours.aTextSwatches);

  lUseAgent = LEEINI(settings, "AGENTE", "USAR", true);
  lAgentVisible = LEEINI(settings, "AGENTE", "VISIBLE", true);
  int x = LEEINI(settings, "AGENTE", "X", 0);
  int y = LEEINI(settings, "AGENTE", "Y", 0);
  TComboBox::ReDefine(101, Bind(agent), agentNames, agentPage);
  TGet::ReDefine(106, Bind(x), agentPage, "9999");
  TGet::ReDefine(107, Bind(y), agentPage, "9999");
  TCheckBox::ReDefine(102, Bind(lUseAgent), agentPage);
  TCheckBox::ReDefine(103, Bind(lAgentVisible), agentPage);
  TButton::ReDefine(104, [] { oAgent->Show(); }, agentPage);
  TButton::ReDefine(105, [] { oAgent->Hide(); }, agentPage);

  TButtonBmp::ReDefine(
      102,
      [&, owner = dialog.get()] {
        GRABAOPC({.lShowNotes = showNotes,
                  .nNoteColour = noteColour,
                  .nTextColour = textColour,
                  .nAgent = agent,
                  .lUseAgent = lUseAgent,
                  .aAgentFiles = agentFiles,
                  .lAgentVisible = lAgentVisible,
                  .oDlg = owner,
                  .nX = x,
                  .nY = y});
      },
      *dialog, "ACEPTAR");
  dialog->Activate({.bInit = [](TDialog& oDlg) {
    SETWINDOWPOS(oDlg.hWnd, kTopMostBand, 0, 0, 0, 0, kNoMoveNoSize);
    return true;
  }});
}

void GRABAOPC(const GrabaOpcParams& params) {
  const Routine routine;
  if (params.oDlg != nullptr) params.oDlg->End();
  const bool known = params.nAgent >= 1 && params.nAgent <= static_cast<int>(params.aAgentFiles.size());
  TIni ini(SettingsFile());
  ini.Set("COLORES", "NOTA", params.nNoteColour);
  ini.Set("COLORES", "TEXTO", params.nTextColour);
  ini.Set("INICIO", "VER", params.lShowNotes ? "SI" : "NO");
  ini.Set("AGENTE", "ARCHIVO", known ? params.aAgentFiles[static_cast<size_t>(params.nAgent - 1)] : std::string{});
  ini.Set("AGENTE", "USAR", params.lUseAgent);
  ini.Set("AGENTE", "ID", params.nAgent);
  ini.Set("AGENTE", "VISIBLE", params.lAgentVisible);
  ini.Set("AGENTE", "X", params.nX);
  ini.Set("AGENTE", "Y", params.nY);
  oAgent->GetAttention();
  oAgent->Say("Los cambios tendrán efecto cuando reinicie Memotab v1.6");
}

void CHECAAGENTE(bool lObeyVisible) {
  const Routine routine;
  const std::string settings = SettingsFile();
  const int x = LEEINI(settings, "AGENTE", "X", 0);
  const int y = LEEINI(settings, "AGENTE", "Y", 0);
  if (lObeyVisible && !lAgentVisible) return;
  oAgent->Show();
  if (oAgent->GetY() != y || oAgent->GetX() != x) oAgent->Move(x, y);
}

}  // namespace memotab
