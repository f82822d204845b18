// The note routines on real windows: opening, editing, closing, showing and hiding,
// colours, deletion and the end of the Windows session.
#include <gtest/gtest.h>

#include <fstream>

#include "free_routines.h"
#include "gdi_objects.h"
#include "note_deletion.h"
#include "note_editing.h"
#include "note_windows.h"
#include "notes_fixture.h"
#include "notes_visibility.h"
#include "paths.h"
#include "ui_driver.h"

namespace memotab {
namespace {

class NotesTest : public test::NotesFixture {};

using test::WindowArea;

TEST_F(NotesTest, FirstNoteOpensAt40By80AsATopMostYellowPopupAndLaterOnesAtRandom) {
  NUEVANOTA(true);
  ASSERT_EQ(oNota->LastRec(), 1u);
  const HWND first = Note(1);
  const RECT area = WindowArea(first);
  EXPECT_EQ(area.left, 40);
  EXPECT_EQ(area.top, 80);
  EXPECT_EQ(area.right - area.left, 201);
  EXPECT_EQ(area.bottom - area.top, 241);
  EXPECT_EQ(test::WindowText(first), "Nota 1");
  const LONG style = GetWindowLongA(first, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_CAPTION), WS_POPUP | WS_BORDER);
  EXPECT_TRUE(GetWindowLongA(first, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_EQ(aNoteWindows[0]->cToolTip.value_or(""),
            "1) Haga Click en el Area de la NOTA para capturar el Texto \r\n"
            "2) Haga Click en el Bot\xF3n derecho para cambiar colores y otras opciones");
  EXPECT_EQ(Stored(1, Nota::CLRNOTA), 65535);
  EXPECT_EQ(Stored(1, Nota::CLRTEXTO), 0);
  EXPECT_TRUE(oNota->GetLogical(Nota::ACTIVADA));
  EXPECT_EQ(nLastNote, 1);

  for (int i = 2; i <= 25; ++i) {
    NUEVANOTA(true);
    const double x = Stored(i, Nota::X1);
    const double y = Stored(i, Nota::Y1);
    EXPECT_TRUE(x >= 0 && x <= 65 && y >= 0 && y <= 18) << x << "," << y;
    EXPECT_EQ(Stored(i, Nota::X2) - x, 25);
    EXPECT_EQ(Stored(i, Nota::Y2) - y, 15);
    const RECT later = WindowArea(Note(i));
    EXPECT_EQ(later.left, static_cast<int>(x) * 8);
    EXPECT_EQ(later.top, static_cast<int>(y) * 16);
    EXPECT_EQ(test::WindowText(Note(i)), "Nota " + std::to_string(i));
  }
}

TEST_F(NotesTest, ColourIndexesOutsideThePaletteFallBackToYellowAndBlack) {
  std::ofstream(SettingsFile()) << "[COLORES]\r\nNOTA=0\r\nTEXTO=17\r\n";
  NUEVANOTA(true);
  EXPECT_EQ(Stored(1, Nota::CLRNOTA), 65535);
  EXPECT_EQ(Stored(1, Nota::CLRTEXTO), 0);
  std::ofstream(SettingsFile()) << "[COLORES]\r\nNOTA=2\r\nTEXTO=16\r\n";
  NUEVANOTA(true);
  EXPECT_EQ(Stored(2, Nota::CLRNOTA), 8388608);  // "Azul"
  EXPECT_EQ(Stored(2, Nota::CLRTEXTO), 16777215);
  EXPECT_TRUE(IsWindowVisible(Note(2)));
}

TEST_F(NotesTest, TypedTextIsStoredExactlyInItsOwnRecordForTwoNotesOneAfterTheOther) {
  NUEVANOTA(true);
  NUEVANOTA(true);
  const std::string first = "Se\xF1or \xE1rbol\r\ncuesta 5 \x80";  // "Señor árbol", "5 €"
  const std::string second = "otra\r\n\r\nnota";
  Type(StartEditing(1), first);
  ASSERT_TRUE(Save(1));
  Type(StartEditing(2), second);
  ASSERT_TRUE(Save(2));
  EXPECT_EQ(StoredText(1), first);
  EXPECT_EQ(StoredText(2), second);
  // The text view shows what was stored; saving unchanged text stores the same.
  EXPECT_EQ(test::WindowText(aNoteSays[0]->hWnd), first);
  StartEditing(1);
  ASSERT_TRUE(Save(1));
  EXPECT_EQ(StoredText(1), first);
}

TEST_F(NotesTest, TextGoesToItsOwnNoteWhenTheCurrentRecordHasMovedMeanwhile) {
  NUEVANOTA(true);
  NUEVANOTA(true);
  const HWND editor = StartEditing(1);
  Type(editor, "mio");
  oNota->GoTo(2);  // as the reminder scan or another note's menu leaves it
  SetFocus(Note(2));  // the editor hands its text back as it loses the focus
  EXPECT_EQ(StoredText(1), "mio");
  EXPECT_EQ(StoredText(2), "");
  EXPECT_EQ(oNota->RecNo(), 2u);  // and leaves the table where it was
  SetFocus(editor);
  Type(editor, " y nada m\xE1s");
  oNota->GoTo(2);
  ASSERT_TRUE(Save(1));
  EXPECT_EQ(StoredText(1), "mio y nada m\xE1s");
  EXPECT_EQ(StoredText(2), "");
}

TEST_F(NotesTest, ClosedNoteReopensWithShowAllAtItsStoredPlaceColoursAndText) {
  NUEVANOTA(true);
  NUEVANOTA(true);
  Type(StartEditing(2), "guardada");
  ASSERT_TRUE(Save(2));
  CAMBIACOLORES(255, 16777215, 2, *aNoteWindows[1]);
  const RECT before = WindowArea(Note(2));
  test::ClickLikeUser(PartAt(2, 190, 8), 4, 4);  // the close button
  ASSERT_TRUE(test::DispatchUntil([] { return aNoteWindows[1]->hWnd == nullptr; }));
  oNota->GoTo(2);
  EXPECT_FALSE(oNota->GetLogical(Nota::ACTIVADA));

  MUESTRANOTAS();
  ASSERT_NE(aNoteWindows[1]->hWnd, nullptr);
  const RECT after = WindowArea(Note(2));
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(aNoteWindows[1]->nClrPane, 255);
  EXPECT_EQ(aNoteWindows[1]->nClrText, 16777215);
  EXPECT_EQ(test::WindowText(aNoteSays[1]->hWnd), "guardada");
  oNota->GoTo(2);
  EXPECT_TRUE(oNota->GetLogical(Nota::ACTIVADA));
}

TEST_F(NotesTest, AltF4OnANoteBeingEditedClosesItAsItsCloseButtonDoes) {
  NUEVANOTA(true);
  NUEVANOTA(true);
  const HWND editor = StartEditing(2);
  Type(editor, "cerrada con Alt+F4");
  oNota->GoTo(1);
  PostMessageA(editor, WM_SYSKEYDOWN, VK_F4, MAKELPARAM(1, KF_ALTDOWN));
  ASSERT_TRUE(test::DispatchUntil([] { return aNoteWindows[1]->hWnd == nullptr; }));
  EXPECT_EQ(StoredText(2), "cerrada con Alt+F4");
  EXPECT_EQ(StoredText(1), "");
  oNota->GoTo(2);
  EXPECT_FALSE(oNota->GetLogical(Nota::ACTIVADA));
  EXPECT_NE(aNoteWindows[0]->hWnd, nullptr);

  MUESTRANOTAS();  // it opens again as any closed note does
  ASSERT_NE(aNoteWindows[1]->hWnd, nullptr);
  EXPECT_EQ(test::WindowText(aNoteSays[1]->hWnd), "cerrada con Alt+F4");
}

TEST_F(NotesTest, MovedNoteReturnsToItsStoredPlaceAfterHideAndShow) {
  NUEVANOTA(true);
  MOVEWINDOW(Note(1), 400, 500);  // where a drag leaves it
  EXPECT_EQ(WindowArea(Note(1)).left, 500);
  EXPECT_TRUE(OCULTARNOTAS());
  EXPECT_EQ(aNoteWindows[0]->hWnd, nullptr);
  oNota->GoTo(1);
  EXPECT_FALSE(oNota->GetLogical(Nota::ACTIVADA));
  MUESTRANOTAS();
  EXPECT_EQ(WindowArea(Note(1)).left, 40);
  EXPECT_EQ(WindowArea(Note(1)).top, 80);
}

TEST_F(NotesTest, NoteStoredOffEveryScreenOpensInsideItAndKeepsItsRecord) {
  oNota->AppendBlank();
  oNota->SetNumber(Nota::X1, 900);  // 7200 pixels to the right
  oNota->SetNumber(Nota::Y1, 5);
  oNota->SetNumber(Nota::X2, 925);
  oNota->SetNumber(Nota::Y2, 20);
  oNota->SetNumber(Nota::CLRNOTA, 65535);
  MUESTRANOTAS();
  const RECT area = WindowArea(Note(1));
  const std::array<int, 4> screen = WORKAREAS().at(0);
  EXPECT_EQ(area.right, screen[3]);
  EXPECT_EQ(area.top, 80);
  EXPECT_EQ(Stored(1, Nota::X1), 900);
  EXPECT_EQ(Stored(1, Nota::X2), 925);
}

TEST_F(NotesTest, NoteWithAnEmptyOrInvertedRectangleOpensAtTheUsualSize) {
  oNota->AppendBlank();
  oNota->SetNumber(Nota::X1, 7);  // X2 and Y2 left 0, as a damaged record may hold them
  oNota->SetNumber(Nota::Y1, 3);
  MUESTRANOTAS();
  const RECT area = WindowArea(Note(1));
  EXPECT_EQ(area.left, 56);
  EXPECT_EQ(area.top, 48);
  EXPECT_EQ(area.right - area.left, 201);
  EXPECT_EQ(area.bottom - area.top, 241);
  EXPECT_EQ(Stored(1, Nota::X2), 0);
}

TEST_F(NotesTest, HidingNotesKeepsWhatIsBeingTyped) {
  NUEVANOTA(true);
  Type(StartEditing(1), "sin guardar");
  EXPECT_TRUE(OCULTARNOTAS());
  EXPECT_EQ(StoredText(1), "sin guardar");
  MUESTRANOTAS();
  EXPECT_EQ(test::WindowText(aNoteSays[0]->hWnd), "sin guardar");
  EXPECT_FALSE(IsEditing(1));
}

TEST_F(NotesTest, EachColourChangeKeepsTheOtherColour) {
  NUEVANOTA(true);
  CAMBIACOLORES(static_cast<int32_t>(Stored(1, Nota::CLRNOTA)), 8388608, 1, *aNoteWindows[0]);  // "&Azul" text
  EXPECT_EQ(Stored(1, Nota::CLRTEXTO), 8388608);
  EXPECT_EQ(Stored(1, Nota::CLRNOTA), 65535);
  EXPECT_EQ(aNoteSays[0]->nClrText, 8388608);
  CAMBIACOLORES(32768, static_cast<int32_t>(Stored(1, Nota::CLRTEXTO)), 1, *aNoteWindows[0]);
  EXPECT_EQ(Stored(1, Nota::CLRNOTA), 32768);
  EXPECT_EQ(Stored(1, Nota::CLRTEXTO), 8388608);
  // While editing the editor takes the colours and keeps the text.
  Type(StartEditing(1), "en curso");
  CAMBIACOLORES(255, 0, 1, *aNoteWindows[0]);
  EXPECT_EQ(aNoteEditors[0]->nClrPane, 255);
  EXPECT_EQ(test::ControlText(Editor(1)), "en curso");
}

// Answers the next deletion question of this process with a button; gives its text.
std::future<std::string> Answer(int button) {
  return test::WhenWindowAppears<std::string>("Memotab v1.6", [button](HWND box) {
    if (box == nullptr) return std::string("(no question)");
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    test::ClickButton(box, button);
    return text;
  });
}

TEST_F(NotesTest, DeletionHappensOnlyOnAYesInTheYesNoBox) {
  NUEVANOTA(true);
  NUEVANOTA(true);
  std::future<std::string> no = Answer(IDNO);
  BORRARNOTA(1);
  EXPECT_EQ(no.get(), "Desea Eliminar esta nota ?");
  oNota->GoTo(1);
  EXPECT_FALSE(oNota->Deleted());
  EXPECT_TRUE(IsWindow(Note(1)));

  const HWND first = Note(1);
  StartEditing(1);  // a note being edited is deleted all the same
  std::future<std::string> yes = Answer(IDYES);
  BORRARNOTA(1);
  yes.get();
  EXPECT_TRUE(test::DispatchUntil([&] { return !IsWindow(first); }));
  EXPECT_EQ(aNoteWindows[0].get(), nullptr);  // nothing of a deleted note stays
  EXPECT_EQ(aNoteSays[0].get(), nullptr);
  EXPECT_EQ(aNoteEditors[0].get(), nullptr);
  oNota->GoTo(1);
  EXPECT_TRUE(oNota->Deleted());
  EXPECT_FALSE(oNota->GetLogical(Nota::ACTIVADA));
  std::vector<uint32_t> seen;
  for (oNota->GoTop(); !oNota->Eof(); oNota->Skip()) seen.push_back(oNota->RecNo());
  EXPECT_EQ(seen, std::vector<uint32_t>{2});
}

// A note whose window refuses to close is deleted all the same, but its window stays known, so
// that hiding the notes (or the program's end) still closes it once it agrees.
TEST_F(NotesTest, ADeletedNoteWhoseWindowStaysOpenStaysKnown) {
  for (int i = 0; i < 3; ++i) NUEVANOTA(true);
  aNoteWindows[0]->bValid = [] { return false; };
  std::future<std::string> yes = Answer(IDYES);
  BORRARNOTA(1);
  yes.get();
  ASSERT_NE(aNoteWindows[0].get(), nullptr);
  EXPECT_TRUE(IsWindow(Note(1)));

  aNoteWindows[1]->bValid = [] { return false; };
  yes = Answer(IDYES);
  ELIMINATODAS();
  yes.get();
  EXPECT_EQ(aNoteWindows[2].get(), nullptr);
  ASSERT_NE(aNoteWindows[1].get(), nullptr);
  EXPECT_TRUE(IsWindow(Note(2)));

  for (int i = 1; i <= 2; ++i) aNoteWindows[i - 1]->bValid = [] { return true; };
  OCULTARNOTAS();
  EXPECT_EQ(Note(1), nullptr);
  EXPECT_EQ(Note(2), nullptr);
}

// Notes that came and went give back the GDI objects their windows held (the pictures of
// their title strips among them): a dozen new notes, hidden, add next to nothing to what the
// same number of notes left once they had been shown and hidden; deleted, nothing at all.
TEST_F(NotesTest, NotesHiddenOrDeletedKeepNoGdiObjects) {
  constexpr int kNotes = 12;
  for (int i = 0; i < kNotes; ++i) NUEVANOTA(true);
  OCULTARNOTAS();
  MUESTRANOTAS();  // the system's own caches, for as many windows, are made here
  OCULTARNOTAS();
  std::future<std::string> no = Answer(IDNO);  // and those of the question box
  ELIMINATODAS();
  no.get();
  const long long before = test::CountGdiObjects();
  ASSERT_GT(before, 0);

  for (int i = 0; i < kNotes; ++i) NUEVANOTA(true);
  OCULTARNOTAS();
  EXPECT_LT(test::CountGdiObjects() - before, kNotes);  // three pictures a note were kept before

  std::future<std::string> yes = Answer(IDYES);
  ELIMINATODAS();
  yes.get();
  EXPECT_LT(test::CountGdiObjects() - before, kNotes / 2);
  for (const WindowPtr& note : aNoteWindows) EXPECT_EQ(note.get(), nullptr);
}

TEST_F(NotesTest, AfterDeletingAllTheNextNoteTakesTheNumberAfterTheLast) {
  for (int i = 0; i < 3; ++i) NUEVANOTA(true);
  std::future<std::string> no = Answer(IDNO);
  ELIMINATODAS();
  EXPECT_EQ(no.get(), "Desea Eliminar TODAS las Notas ?");
  EXPECT_TRUE(IsWindow(Note(3)));

  std::future<std::string> yes = Answer(IDYES);
  ELIMINATODAS();
  yes.get();
  oNota->GoTop();
  EXPECT_TRUE(oNota->Eof());
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(aNoteWindows[i - 1].get(), nullptr);
  NUEVANOTA(true);
  EXPECT_EQ(oNota->RecNo(), 4u);
  EXPECT_EQ(test::WindowText(Note(4)), "Nota 4");
  EXPECT_TRUE(IsWindowVisible(Note(4)));
}

}  // namespace
}  // namespace memotab
