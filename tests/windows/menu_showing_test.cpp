// Owner-drawn menus shown on the screen and driven with the mouse, as a user does (a popup
// menu takes no keyboard on a display without a window manager). The test's thread shows
// the menu; another thread moves and clicks the mouse and looks at the screen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <stdexcept>

#include "error_answers.h"
#include "menu_fixtures.h"
#include "runtime_error.h"
#include "screen_shot.h"
#include "ui_driver.h"

namespace memotab {
namespace {

using test::ProgramMenuLook;

// The note menu as the program builds it, with actions that record what they were given.
struct NoteMenu {
  std::shared_ptr<TC5Menu> top;
  std::shared_ptr<TC5Menu> colours;
  std::vector<std::shared_ptr<TMenuItemC5>> colourItems;  // the separator included
  std::vector<std::string> chosen;
  bool menuShownDuringAction = false;
  bool givenTheItem = false;

  NoteMenu() {
    const MenuAction record = [this](TMenuItemC5& item) {
      chosen.push_back(item.cPrompt.value_or(""));
      menuShownDuringAction = !test::ShownMenuWindows().empty();
      givenTheItem = colours->GetMenuItem(static_cast<uintptr_t>(item.nId)).get() == &item;
    };
    top = C5MENUBEGIN(ProgramMenuLook("LOGO2"));
    C5MENUADDITEM({.cPrompt = "Color de la NOTA", .cResName = "COLORESN"});
    C5MENUBEGIN(ProgramMenuLook("LOGO"));
    for (size_t i = 0; i < test::kSwatches.size(); ++i) {
      if (i == 8) colourItems.push_back(C5MENUADDITEM());
      colourItems.push_back(C5MENUADDITEM({.cPrompt = test::kColourPrompts[i], .bAction = record, .cResName = test::kSwatches[i]}));
    }
    colours = C5MENUEND();
    C5MENUADDITEM();
    C5MENUADDITEM({.cPrompt = "Mostrar Agente", .bAction = record, .bWhen = [](TMenuItemC5&) { return false; }});
    C5MENUADDITEM({.cPrompt = "Ocultar Agente", .lChecked = true, .bAction = record});
    C5MENUADDITEM();
    C5MENUADDITEM({.cPrompt = "Recordatorio", .bAction = record, .cResName = "RELOJ"});
    C5MENUEND();
  }
};

// A test whose clicks missed closes the menu itself, so that it fails instead of waiting.
void CloseIfStillShown(const TWindow& owner) {
  if (!test::WaitUntil([] { return test::ShownMenuWindows().empty(); })) PostMessageA(owner.hWnd, WM_CANCELMODE, 0, 0);
}

// Opens the colour submenu by resting the mouse on its item; returns whether it opened.
bool OpenColours(const NoteMenu& menu) {
  const std::optional<RECT> opener = test::WaitForMenuItem(menu.top->hMenu, 0);
  return opener && test::HoverUntil(test::Centre(*opener), [&] { return test::ShownMenuItem(menu.colours->hMenu, 0).has_value(); });
}

// Clicks an item of a shown menu once the pointer has highlighted it.
void ChooseItem(HMENU menu, int position) {
  const std::optional<RECT> item = test::ShownMenuItem(menu, position);
  if (!item) return;
  const POINT centre = test::Centre(*item);
  if (test::HoverUntil(centre, [&] { return test::MenuItemHighlighted(menu, position); })) {
    test::ClickMouse(centre.x, centre.y);
  }
}

TEST(MenuShowing, AChoiceRunsItsActionWithTheItemOnceTheMenuHasClosed) {
  if (const std::string why = test::PointerUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const WindowPtr owner = test::MenuOwner();
  const TC5Menu::ListSizes before = TC5Menu::ListSizesForTesting();
  NoteMenu menu;
  struct Seen {
    bool opened = false;
    POINT corner{};
  };
  std::future<Seen> driven = std::async(std::launch::async, [&] {
    Seen seen;
    seen.opened = OpenColours(menu);
    RECT topWindow{};
    if (const std::optional<RECT> opener = test::ShownMenuItem(menu.top->hMenu, 0)) {
      GetWindowRect(test::ShownMenuWindowAt(test::Centre(*opener)), &topWindow);
    }
    seen.corner = {topWindow.left, topWindow.top};
    ChooseItem(menu.colours->hMenu, 1);  // "&Azul"
    CloseIfStillShown(*owner);
    return seen;
  });
  menu.top->Activate(10, 20, *owner);
  const Seen seen = driven.get();

  EXPECT_TRUE(seen.opened);
  POINT expected{20, 10};
  ClientToScreen(owner->hWnd, &expected);
  EXPECT_EQ(seen.corner.x, expected.x);  // the client point, on the screen
  EXPECT_EQ(seen.corner.y, expected.y);
  EXPECT_EQ(menu.chosen, (std::vector<std::string>{"&Azul"}));
  EXPECT_TRUE(menu.givenTheItem);
  EXPECT_FALSE(menu.menuShownDuringAction);
  EXPECT_EQ(menu.top->oLastItem, menu.colourItems[1]);
  EXPECT_FALSE(owner->oPopup);  // ended, and no longer the window's popup
  EXPECT_EQ(menu.top->hMenu, nullptr);
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), before);
}

TEST(MenuShowing, AClickElsewhereClosesTheMenuAndRunsNothing) {
  if (const std::string why = test::PointerUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const WindowPtr owner = test::MenuOwner();
  const WindowPtr elsewhere = test::ElsewhereWindow();
  NoteMenu menu;
  std::future<bool> clickedAway = std::async(std::launch::async, [&] {
    const bool opened = test::WaitForMenuItem(menu.top->hMenu, 0).has_value();
    if (opened) test::ClickMouse(800, 575);
    const bool closed = test::WaitUntil([] { return test::ShownMenuWindows().empty(); });
    CloseIfStillShown(*owner);
    return opened && closed;
  });
  menu.top->Activate(10, 20, *owner);
  EXPECT_TRUE(clickedAway.get());
  EXPECT_TRUE(menu.chosen.empty());
}

// What a shown menu looks like, read from the screen.
struct Look {
  bool opened = false;
  bool highlighted = false;
  std::optional<COLORREF> band;
  std::optional<COLORREF> pane;
  std::optional<COLORREF> highlight;
  bool disabledGrey = false;
  bool disabledShadow = false;
  bool enabledGrey = true;
  bool swatchOutline = false;
  bool swatchFill = false;
  bool magentaKey = true;
  bool systemHighlight = true;
  bool checkMark = false;
};

TEST(MenuShowing, TwoLevelsLookAsDrawnWithStripPaneHighlightSwatchesAndGreyItems) {
  if (const std::string why = test::PointerUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const WindowPtr owner = test::MenuOwner();
  NoteMenu menu;
  std::future<Look> looked = std::async(std::launch::async, [&] {
    Look look;
    look.opened = OpenColours(menu);
    const std::optional<RECT> negro = test::ShownMenuItem(menu.colours->hMenu, 0);
    const std::optional<RECT> azul = test::ShownMenuItem(menu.colours->hMenu, 1);
    const std::optional<RECT> show = test::ShownMenuItem(menu.top->hMenu, 2);
    const std::optional<RECT> hide = test::ShownMenuItem(menu.top->hMenu, 3);
    const std::optional<RECT> opener = test::ShownMenuItem(menu.top->hMenu, 0);
    if (look.opened && negro && azul && show && hide && opener) {
      const POINT centre = test::Centre(*azul);
      look.highlighted = test::HoverUntil(centre, [&] { return test::MenuItemHighlighted(menu.colours->hMenu, 1); });
      test::WaitUntil([&] { return test::ScreenShot(*azul).At(azul->right - 8, centre.y) == test::kHighlight; });
      RECT area{};
      for (const HWND window : test::ShownMenuWindows()) {
        RECT shown{};
        GetWindowRect(window, &shown);
        UnionRect(&area, IsRectEmpty(&area) ? &shown : &area, &shown);
      }
      RECT colours{};
      GetWindowRect(test::ShownMenuWindowAt(centre), &colours);
      const test::ScreenShot shot(area);
      shot.Save(test::ArtifactPath("menu-two-levels.bmp"));
      look.band = shot.At(colours.left + 10, colours.top + 10);
      look.pane = shot.At(negro->right - 8, test::Centre(*negro).y);
      look.highlight = shot.At(azul->right - 8, centre.y);
      look.disabledGrey = shot.Holds(*show, test::kDisabledText);
      look.disabledShadow = shot.Holds(*show, test::kWhite);
      look.enabledGrey = shot.Holds(*hide, test::kDisabledText);
      look.swatchOutline = shot.Holds(*negro, RGB(64, 64, 64));
      look.swatchFill = shot.Holds(*azul, RGB(0, 0, 128));
      look.magentaKey = shot.Holds(colours, test::kMagentaKey);
      // The check mark left of the text, past the strip (21 pixels of "LOGO2").
      RECT topWindow{};
      GetWindowRect(test::ShownMenuWindowAt(test::Centre(*hide)), &topWindow);
      look.checkMark = shot.Holds({topWindow.left + 22, hide->top, topWindow.left + 40, hide->bottom}, RGB(0, 0, 0));
      // The system's arrow of the open submenu's item, drawn in the item's colours.
      look.systemHighlight = shot.Holds(*opener, GetSysColor(COLOR_HIGHLIGHT));
    }
    PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);
    return look;
  });
  menu.top->Activate(10, 20, *owner);
  const Look look = looked.get();

  ASSERT_TRUE(look.opened);
  ASSERT_TRUE(look.highlighted);
  EXPECT_EQ(look.band, test::kHighlight) << "the strip above the logo";
  EXPECT_EQ(look.pane, test::kPane);
  EXPECT_EQ(look.highlight, test::kHighlight);
  EXPECT_TRUE(look.disabledGrey);
  EXPECT_TRUE(look.disabledShadow);
  EXPECT_FALSE(look.enabledGrey);
  EXPECT_TRUE(look.swatchOutline);
  EXPECT_TRUE(look.swatchFill);
  EXPECT_FALSE(look.magentaKey) << "a swatch drawn with its transparent key";
  EXPECT_FALSE(look.systemHighlight) << "the submenu arrow on the system's highlight colour";
  EXPECT_TRUE(look.checkMark);
  EXPECT_TRUE(menu.chosen.empty());
}

TEST(MenuShowing, AMenuKeptOpenForItsWindowEndsWhenTheWindowShowsTheNextOne) {
  const WindowPtr owner = test::MenuOwner();
  const auto kept = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "sigue"});
  C5MENUEND();
  PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);  // closes the menu as soon as it shows
  kept->Activate(10, 20, *owner, false);
  EXPECT_EQ(owner->oPopup, kept);
  EXPECT_NE(kept->hMenu, nullptr);

  const auto next = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "otro"});
  C5MENUEND();
  PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);
  next->Activate(10, 20, *owner);
  EXPECT_EQ(kept->hMenu, nullptr);
  EXPECT_EQ(next->hMenu, nullptr);
  EXPECT_FALSE(owner->oPopup);
}

TEST(MenuShowing, AHandlerThatThrewHalfwayThroughAMenuLeavesTheNextMenusWhole) {
  test::AnswerErrors answers(1);  // Retry once: the handler builds its menu again
  const WindowPtr owner = test::MenuOwner();
  const TC5Menu::ListSizes before = TC5Menu::ListSizesForTesting();
  int attempts = 0;
  std::shared_ptr<TC5Menu> built;
  owner->bLClicked = [&](int, int, int, TWindow&) -> Result {
    C5MENUBEGIN(ProgramMenuLook("LOGO2"));
    C5MENUADDITEM({.cPrompt = "Color de la NOTA"});
    C5MENUBEGIN(ProgramMenuLook("LOGO"));
    if (++attempts == 1) throw std::runtime_error("menú a medias");
    C5MENUADDITEM({.cPrompt = "&Negro"});
    C5MENUEND();
    built = C5MENUEND();
    return std::nullopt;
  };
  SendMessageA(owner->hWnd, WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(attempts, 2);
  EXPECT_EQ(answers.errors, (std::vector<std::string>{"Unexpected failure: menú a medias"}));
  ASSERT_TRUE(built);
  EXPECT_EQ(built->aItems[0]->oSubMenu->aItems.size(), 1u);
  EXPECT_THROW(C5MENUEND(), RuntimeError);  // nothing of the failed attempt is left to end
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), (TC5Menu::ListSizes{before.nMenus + 2, before.nItems + 2, before.nPopups}));

  // The next menu is a menu of its own, shown and chosen from as always.
  int runs = 0;
  const auto next = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto item = C5MENUADDITEM({.cPrompt = "Nueva nota", .bAction = [&](TMenuItemC5&) { ++runs; }});
  EXPECT_EQ(C5MENUEND(), next);
  PostMessageA(owner->hWnd, WM_COMMAND, static_cast<WPARAM>(item->nId), 0);
  PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);
  next->Activate(10, 20, *owner);
  EXPECT_EQ(runs, 1);
  built->End();
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), before);
}

TEST(MenuShowing, AThousandOpeningsLeaveTheClassWideListsAsTheyWere) {
  const WindowPtr owner = test::MenuOwner();
  const TC5Menu::ListSizes before = TC5Menu::ListSizesForTesting();
  int firstId = 0;
  int lastId = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int opening = 0; opening < 1000; ++opening) {
    const auto top = C5MENUBEGIN(ProgramMenuLook("LOGO"));
    const auto first = C5MENUADDITEM({.cPrompt = "uno"});
    C5MENUBEGIN(ProgramMenuLook("LOGO"));
    C5MENUADDITEM({.cPrompt = "dos"});
    const auto last = C5MENUADDITEM({.cPrompt = "tres"});
    C5MENUEND();
    C5MENUEND();
    if (opening == 0) firstId = first->nId;
    lastId = last->nId;
    PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);  // closes the menu as soon as it shows
    top->Activate(10, 20, *owner);
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::cout << "1000 menus built, shown and ended in " << elapsed.count() << " ms\n";
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), before);
  // Identifiers count on from where they were, past those of ended menus, and start again
  // at 20000 only past 65535.
  EXPECT_EQ(lastId - firstId, 1000 * 3 - 1);
  EXPECT_FALSE(owner->oPopup);
}

TEST(MenuShowing, AMenuKeptAfterItsWindowIsGoneForgetsTheWindow) {
  const auto build = [] {
    const auto menu = C5MENUBEGIN(ProgramMenuLook("LOGO"));
    C5MENUADDITEM({.cPrompt = "sigue"});
    C5MENUEND();
    return menu;
  };
  const auto kept = build();
  {
    const WindowPtr owner = test::MenuOwner();
    PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);  // closes the menu as soon as it shows
    kept->Activate(10, 20, *owner, false);
    EXPECT_EQ(kept->oWnd, owner.get());
    const auto next = build();  // the window's popup now; the first is not ended
    PostMessageA(owner->hWnd, WM_CANCELMODE, 0, 0);
    next->Activate(10, 20, *owner, false);
    DestroyWindow(owner->hWnd);
    EXPECT_EQ(next->hMenu, nullptr);  // ended with the window
  }
  EXPECT_NE(kept->hMenu, nullptr);
  EXPECT_EQ(kept->oWnd, nullptr);
  kept->End();
}

}  // namespace
}  // namespace memotab
