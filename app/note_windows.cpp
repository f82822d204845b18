#include "note_windows.h"

#include "app_state.h"
#include "call_stack.h"
#include "event_loop.h"
#include "free_routines.h"
#include "menus.h"
#include "mouse_capture.h"
#include "note_editing.h"
#include "note_placement.h"
#include "note_table.h"
#include "palette.h"
#include "paths.h"
#include "random.h"
#include "settings.h"
#include "t_bitmap.h"
#include "window_styles.h"

namespace memotab {

namespace {

// The colour value of a palette position from the settings, or of the default position.
int32_t SettingColour(const char* cKey, int nDefault) {
  return PaletteAt(PalettePositionOr(LEEINI(SettingsFile(), "COLORES", cKey, nDefault), nDefault))->Value();
}

// Makes entry n (1-based) of every per-note table exist.
void ReserveNoteEntries(int n) {
  const auto size = static_cast<size_t>(n);
  if (aNoteWindows.size() < size) aNoteWindows.resize(size);
  if (aNoteSays.size() < size) aNoteSays.resize(size);
  if (aNoteEditors.size() < size) aNoteEditors.resize(size);
}

// A note that would open entirely outside every monitor's work area is moved just inside
// the nearest one; its record keeps the stored rectangle.
void KeepReachable(TWindow& oNote) {
  const std::array<int, 4> outer = GETWINDOWRECT(oNote.hWnd);
  const std::array<int, 2> place = PlaceOnScreen(outer, WORKAREAS());
  if (place[0] != outer[0] || place[1] != outer[1]) MOVEWINDOW(oNote.hWnd, place[0], place[1]);
}

// The drag bar, the save button and the close button along the note's top edge.
void AddTitleStrip(TWindow& oNote, int nRec) {
  TWindow* const note = &oNote;  // the closures live in the note's own controls
  const auto dragBar = TBitmap::New(0, 0, 160, 17, "TOP", oNote);
  dragBar->bLClicked = [note](int, int, int, TWindow&) -> Result {
    CLICKMOVER(*note);
    return std::nullopt;
  };
  const auto save = TBitmap::New(0, 160, 20, 17, "SAVE1", oNote);
  TBitmap* const saveButton = save.get();  // a child of the note, as the closures are
  save->bLClicked = [note, nRec, saveButton](int, int, int, TWindow&) -> Result {
    if (const std::shared_ptr<TMultiGet> editor = aNoteEditors[nRec - 1]; editor && IsEditing(nRec)) {
      FINEDITAR(*editor, *note, nRec, *saveButton);
    }
    return std::nullopt;
  };
  const auto close = TBitmap::New(0, 180, 50, 17, "CERRAR", oNote);
  close->bLClicked = [note, nRec](int, int, int, TWindow&) -> Result {
    CERRARNOTA(*note, nRec);
    return std::nullopt;
  };
  oNote.bLClicked = [note, nRec, saveButton](int, int, int, TWindow&) -> Result {
    EDITAR(*note, nRec, {}, *saveButton);
    return std::nullopt;
  };
}

// A note's validation, however it is closed (its close image, Alt+F4, hiding all notes):
// what its editor holds is stored and its record marked closed, so that it opens again.
bool NoteClosing(int nRec) {
  const Routine routine;
  if (!oNota) return true;  // the program has ended: nothing is left to store into
  GUARDATEXTO(nRec);
  Table& nota = NoteTable();
  nota.GoTo(static_cast<uint32_t>(nRec));
  nota.SetLogical(Nota::ACTIVADA, false);
  return true;
}

}  // namespace

std::shared_ptr<TSay> ShowNoteText(TWindow& oNote, int nRec, const std::string& cText, int32_t nClrText,
                                   int32_t nClrNota, int nWidth) {
  std::shared_ptr<TSay> say = TSay::New(1.5, 1, [cText] { return cText; }, oNote, nClrText, nClrNota, nWidth, 215);
  aNoteSays[nRec - 1] = say;
  return say;
}

void NUEVANOTA(bool lNew) {
  const Routine routine;
  const int32_t clrNota = SettingColour("NOTA", kDefaultNoteColour);
  const int32_t clrTexto = SettingColour("TEXTO", kDefaultTextColour);
  Table& nota = NoteTable();
  if (lNew) {
    const bool first = nota.LastRec() == 0;
    const int x = first ? 5 : NRANDOM(65);
    const int y = first ? 5 : NRANDOM(18);
    nota.AppendBlank();
    nota.SetNumber(Nota::X1, x);
    nota.SetNumber(Nota::Y1, y);
    nota.SetNumber(Nota::X2, x + 25);
    nota.SetNumber(Nota::Y2, y + 15);
    nota.SetNumber(Nota::CLRTEXTO, clrTexto);
    nota.SetNumber(Nota::CLRNOTA, clrNota);
  }
  const auto n = static_cast<int>(nota.RecNo());
  const auto noteColour = static_cast<int32_t>(nota.GetNumber(Nota::CLRNOTA));
  const auto textColour = static_cast<int32_t>(nota.GetNumber(Nota::CLRTEXTO));
  const std::string text = nota.GetText(Nota::TEXTO);
  const double x1 = nota.GetNumber(Nota::X1);
  const double y1 = nota.GetNumber(Nota::Y1);
  double x2 = nota.GetNumber(Nota::X2);
  double y2 = nota.GetNumber(Nota::Y2);
  if (x2 <= x1 || y2 <= y1) {  // a damaged rectangle: the note opens at the usual size
    x2 = x1 + 25;
    y2 = y1 + 15;
  }
  // Marked open only once its record has been read: a note that cannot be read stays closed.
  nota.SetLogical(Nota::ACTIVADA, true);
  nLastNote = n;
  ReserveNoteEntries(n);
  const WindowPtr note = TWindow::New({.nTop = y1,
                                       .nLeft = x1,
                                       .nBottom = y2,
                                       .nRight = x2,
                                       .cTitle = "Nota " + std::to_string(n),
                                       .nStyle = kPopupStyle | kBorderStyle,
                                       .nClrFore = textColour,
                                       .nClrBack = noteColour});
  aNoteWindows[n - 1] = note;
  aNoteEditors[n - 1].reset();
  KeepReachable(*note);
  AddTitleStrip(*note, n);
  note->bGotFocus = [n] { NoteTable().GoTo(static_cast<uint32_t>(n)); };
  note->bValid = [n] { return NoteClosing(n); };
  note->bRClicked = [n](int nRow, int nCol, int, TWindow& oWnd) { MENUPOPUP(nRow, nCol, oWnd, n); };
  note->cToolTip = kNoteToolTip;
  ShowNoteText(*note, n, text, textColour, noteColour, 190);
  note->bInit = [](TWindow& oWnd) { SETWINDOWPOS(oWnd.hWnd, kTopMostBand, 0, 0, 0, 0, kNoMoveNoSize); };
  note->Activate({.cShow = "NORMAL"});
}

void CERRARNOTA(TWindow& oNote, int /*nRec*/) {
  const Routine routine;
  oNote.End();  // the note's validation keeps what is typed and marks its record closed
}

void CLICKMOVER(TWindow& oNote) {
  const Routine routine;
  const WindowPtr keep = oNote.shared_from_this();  // the note may be closed during the drag
  const MouseCapture capture(oNote.hWnd);  // the release reaches the note wherever it happens
  const auto dragging = [&] { return oNote.hWnd != nullptr && capture.Held() && GETKEYSTATE(kLeftMouseButton); };
  std::array<int, 2> last{-1, -1};
  while (dragging()) {
    const std::array<int, 2> cursor = GETCURSORPOS();
    if (cursor != last) MOVEWINDOW(oNote.hWnd, cursor[0], cursor[1]);
    last = cursor;
    if (!SYSREFRESH() || !dragging()) break;
    WAITEVENT(0.25);  // until the pointer moves, the button comes up or anything else happens
  }
}

}  // namespace memotab
