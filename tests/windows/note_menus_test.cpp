// The tray menu and the note menu as the program builds them, shown and driven with the
// X pointer as a user drives them.
#include <gtest/gtest.h>

#include <atomic>

#include "menus.h"
#include "note_windows.h"
#include "notes_fixture.h"
#include "screen_shot.h"
#include "stand_ins.h"
#include "ui_driver.h"

namespace memotab {
namespace {

class NoteMenuShowing : public test::NotesFixture {};
class TrayMenuShowing : public test::NotesFixture {};

// The menu a shown menu window holds.
HMENU MenuOfWindow(HWND window) { return reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0)); }

// The first menu this process shows, once it is shown.
HMENU WaitForShownMenu() {
  HMENU menu = nullptr;
  test::WaitUntil([&] {
    const std::vector<HWND> shown = test::ShownMenuWindows();
    return !shown.empty() && (menu = MenuOfWindow(shown.front())) != nullptr;
  });
  return menu;
}

// The items of a shown menu that the menu greys (its own drawing; the system's state of an
// owner-drawn item stays enabled), by position.
std::vector<int> Greyed(const TC5Menu& menu) {
  std::vector<int> positions;
  for (size_t i = 0; i < menu.aItems.size(); ++i) {
    if (menu.aItems[i]->cPrompt && !menu.aItems[i]->lActive) positions.push_back(static_cast<int>(i));
  }
  return positions;
}

// Moves the pointer onto an item until it is highlighted, then clicks it.
bool ChooseItem(HMENU menu, int position) {
  const std::optional<RECT> item = test::WaitForMenuItem(menu, position);
  if (!item) return false;
  const POINT centre = test::Centre(*item);
  return test::HoverUntil(centre, [&] { return test::MenuItemHighlighted(menu, position); }) &&
         test::ClickMouse(centre.x, centre.y);
}

// Waits until the screen shows a menu item in the highlight's colour.
bool HighlightPainted(const RECT& item) {
  return test::WaitUntil([&] { return test::ScreenShot(item).Holds(item, RGB(222, 205, 99)); });
}

// Everything the shown menus cover, with the note beside them.
RECT MenusAndWindow(HWND window) {
  RECT area{};
  GetWindowRect(window, &area);
  for (const HWND shown : test::ShownMenuWindows()) {
    RECT menu{};
    GetWindowRect(shown, &menu);
    UnionRect(&area, &area, &menu);
  }
  return area;
}

TEST_F(NoteMenuShowing, TheTextColourOfTheClickedNoteChangesAndNothingElse) {
  NUEVANOTA(true);
  NUEVANOTA(true);
  MoveWindow(Note(2), 400, 150, 201, 241, TRUE);  // clear of the first note
  oNota->GoTo(1);  // another note's record is current
  struct Seen {
    bool opened = false;
    bool noneGreyed = false;
    bool chosen = false;
  };
  std::future<Seen> driven = std::async(std::launch::async, [] {
    Seen seen;
    test::ClickMouse(500, 300, 3);
    const HMENU top = WaitForShownMenu();
    seen.opened = top != nullptr && test::WaitForMenuItem(top, 5).has_value();
    if (!seen.opened) return seen;
    seen.noneGreyed = Greyed(*aNoteWindows[1]->oPopup).empty();
    const std::optional<RECT> textColour = test::ShownMenuItem(top, 1);
    const HMENU colours = GetSubMenu(top, 1);
    if (textColour && colours != nullptr) {
      test::HoverUntil(test::Centre(*textColour), [&] { return test::ShownMenuItem(colours, 1).has_value(); });
      const std::optional<RECT> azul = test::ShownMenuItem(colours, 1);
      if (azul) {
        test::HoverUntil(test::Centre(*azul), [&] { return test::MenuItemHighlighted(colours, 1); });
        HighlightPainted(*azul);
        test::ScreenShot(MenusAndWindow(aNoteWindows[1]->hWnd)).Save(test::ArtifactPath("note-menu-colours.bmp"));
        seen.chosen = ChooseItem(colours, 1);
      }
    }
    if (!seen.chosen) PostMessageA(aNoteWindows[1]->hWnd, WM_CANCELMODE, 0, 0);
    return seen;
  });
  EXPECT_TRUE(test::DispatchUntil([&] { return Stored(2, Nota::CLRTEXTO) == 8388608; }, std::chrono::seconds(20)));
  const Seen seen = driven.get();
  EXPECT_TRUE(seen.opened);
  EXPECT_TRUE(seen.noneGreyed);
  EXPECT_TRUE(seen.chosen);
  EXPECT_EQ(Stored(2, Nota::CLRNOTA), 65535);
  EXPECT_EQ(Stored(1, Nota::CLRTEXTO), 0);
  EXPECT_EQ(aNoteSays[1]->nClrText, 8388608);
  EXPECT_EQ(oNota->RecNo(), 2u);  // the menu made the clicked note current
}

// Opens the tray menu at (300, 200), runs `inMenu` on the shown menu from another thread
// and returns what it returned once the menu has closed.
template <typename Result>
Result WithTrayMenu(const std::function<Result(HMENU menu)>& inMenu) {
  std::future<Result> driven = std::async(std::launch::async, [&] {
    const HMENU menu = WaitForShownMenu();
    Result result = inMenu(menu);
    if (!test::WaitUntil([] { return test::ShownMenuWindows().empty(); })) {
      PostMessageA(oTray->oWnd->hWnd, WM_CANCELMODE, 0, 0);
    }
    return result;
  });
  MENUTRAY(200, 300, *oTray);
  return driven.get();
}

TEST_F(TrayMenuShowing, ItemsAreGreyedByStateAndCloseMenuNewNoteAndHideAllDoWhatTheySay) {
  NUEVANOTA(true);
  oTray = TTrayIcon::New(*oWndMain, {.cCaption = "Memotab v1.6"});
  const std::vector<int> greyed = WithTrayMenu<std::vector<int>>([](HMENU menu) {
    std::vector<int> positions;
    if (menu == nullptr || !test::WaitForMenuItem(menu, 16)) return positions;
    positions = Greyed(*oTray->oWnd->oPopup);
    const std::optional<RECT> close = test::WaitForMenuItem(menu, 14);  // "Cerrar menú"
    if (!close) return positions;
    const POINT centre = test::Centre(*close);
    test::HoverUntil(centre, [&] { return test::MenuItemHighlighted(menu, 14); });
    HighlightPainted(*close);
    RECT area{};
    GetWindowRect(test::ShownMenuWindowAt(centre), &area);
    test::ScreenShot(area).Save(test::ArtifactPath("tray-menu-program.bmp"));
    test::ClickMouse(centre.x, centre.y);
    return positions;
  });
  // With the assistant not shown, "Ocultar Agente".
  EXPECT_EQ(greyed, (std::vector<int>{12}));
  EXPECT_EQ(oNota->LastRec(), 1u);
  EXPECT_TRUE(IsWindowVisible(Note(1)));
  EXPECT_FALSE(IsWindowVisible(oWndMain->hWnd));

  EXPECT_TRUE(WithTrayMenu<bool>([](HMENU menu) { return ChooseItem(menu, 2); }));  // "Nueva nota"
  EXPECT_TRUE(test::DispatchUntil([] { return aNoteWindows.size() == 2 && aNoteWindows[1]->hWnd != nullptr; }));
  EXPECT_TRUE(WithTrayMenu<bool>([](HMENU menu) { return ChooseItem(menu, 8); }));  // "Ocultar todas las Notas"
  EXPECT_TRUE(test::DispatchUntil([] { return aNoteWindows[0]->hWnd == nullptr && aNoteWindows[1]->hWnd == nullptr; }));
  EXPECT_TRUE(WithTrayMenu<bool>([](HMENU menu) { return ChooseItem(menu, 7); }));  // "Mostrar todas las Notas"
  EXPECT_TRUE(test::DispatchUntil([] { return aNoteWindows[0]->hWnd != nullptr && aNoteWindows[1]->hWnd != nullptr; }));
  EXPECT_TRUE(WithTrayMenu<bool>([](HMENU menu) { return ChooseItem(menu, 0); }));  // "Abrir Memotab v1.6"
  EXPECT_TRUE(test::DispatchUntil([] { return IsWindowVisible(oWndMain->hWnd) != FALSE; }));
  oTray->End();
  oTray.reset();
}

TEST_F(TrayMenuShowing, WithTheCharacterShownOnlyOcultarAgenteIsOfferedAndItHidesIt) {
  test::StandIns standIns;
  *standIns.characterVisible = true;
  *standIns.requestMilliseconds = 0;
  oAgent->End();
  oAgent = TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = "C:\\no\\Nota.acs", .lSound = true});
  ASSERT_TRUE(oAgent->IsVisible());
  oTray = TTrayIcon::New(*oWndMain, {.cCaption = "Memotab v1.6"});
  const std::vector<int> greyed = WithTrayMenu<std::vector<int>>([](HMENU menu) {
    std::vector<int> positions;
    if (menu == nullptr || !test::WaitForMenuItem(menu, 16)) return positions;
    positions = Greyed(*oTray->oWnd->oPopup);
    ChooseItem(menu, 12);  // "Ocultar Agente"
    return positions;
  });
  EXPECT_EQ(greyed, (std::vector<int>{11}));  // "Mostrar Agente"
  EXPECT_TRUE(test::DispatchUntil([] { return !oAgent->IsVisible(); }));
  EXPECT_NE(standIns.agent->Joined().find("Hide("), std::string::npos) << standIns.agent->Joined();
  oAgent->End();
  oTray->End();
  oTray.reset();
}

}  // namespace
}  // namespace memotab
