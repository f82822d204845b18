// Owner-drawn menus built as the program builds them and examined without being shown:
// their structure, identifiers, levels, pictures and sizes, and what the owner window
// does with the system's messages about them. CTest runs every test in a process of its
// own, so the first menu a test makes is the first of the run.
#include <gtest/gtest.h>

#include "current_directory.h"
#include "menu_command_ids.h"
#include "menu_fixtures.h"
#include "menu_item_drawing.h"
#include "menu_lists.h"
#include "runtime_error.h"
#include "screen_shot.h"

namespace memotab {
namespace {

using test::ProgramMenuLook;

MENUITEMINFOA SystemItem(HMENU menu, int position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
  GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
  return info;
}

TEST(MenuBuilding, AMenuBegunBetweenTwoItemsIsTheSubmenuOfTheFirst) {
  const auto top = C5MENUBEGIN(ProgramMenuLook("LOGO2"));
  const auto opener = C5MENUADDITEM({.cPrompt = "Color de la NOTA", .cResName = "COLORESN"});
  const auto sub = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto negro = C5MENUADDITEM({.cPrompt = "&Negro", .cResName = "NEGRO"});
  const auto separator = C5MENUADDITEM();
  const auto blanco = C5MENUADDITEM({.cPrompt = "&Blanco", .cResName = "BLANCO"});
  EXPECT_EQ(C5MENUEND(), sub);
  const auto last = C5MENUADDITEM({.cPrompt = "Recordatorio", .cResName = "RELOJ"});
  EXPECT_EQ(C5MENUEND(), top);

  EXPECT_EQ(opener->oSubMenu, sub);
  EXPECT_TRUE(opener->lPadre);
  EXPECT_FALSE(last->lPadre);
  EXPECT_TRUE(separator->lSeparator);
  EXPECT_EQ(GetSubMenu(top->hMenu, 0), sub->hMenu);
  EXPECT_EQ(GetSubMenu(top->hMenu, 1), nullptr);
  EXPECT_EQ(GetMenuItemCount(sub->hMenu), 3);
  EXPECT_EQ(SystemItem(sub->hMenu, 0).fType, static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(SystemItem(sub->hMenu, 0).wID, static_cast<UINT>(negro->nId));
  EXPECT_EQ(SystemItem(sub->hMenu, 1).fType, static_cast<UINT>(MFT_SEPARATOR));  // the system draws it
  EXPECT_EQ(SystemItem(top->hMenu, 0).fType, static_cast<UINT>(MFT_OWNERDRAW));
  EXPECT_EQ(blanco->nItem, 3);
  EXPECT_EQ(blanco->oMenu, sub.get());
  EXPECT_EQ(blanco->nLevel, sub->nLevel);

  // Depth first through the submenus; the system names the submenu's item by its handle.
  EXPECT_EQ(top->GetMenuItem(static_cast<uintptr_t>(blanco->nId)), blanco);
  EXPECT_EQ(top->GetMenuItem(reinterpret_cast<uintptr_t>(sub->hMenu)), opener);
  EXPECT_EQ(top->GetMenuItem(12345), nullptr);
}

TEST(MenuBuilding, EndingWithoutAMenuOrWithoutAnItemToOpenTheSubmenuIsAnError) {
  EXPECT_THROW(C5MENUEND(), RuntimeError);
  EXPECT_THROW(C5MENUADDITEM({.cPrompt = "suelto"}), RuntimeError);
  const auto top = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "dentro"});
  EXPECT_THROW(C5MENUEND(), RuntimeError);
  EXPECT_EQ(C5MENUEND(), top);  // the outer menu is still there to end
}

TEST(MenuBuilding, IdentifiersStartAt20000AndOnlyTheFirstMenuOfTheRunHasLevelOne) {
  const auto first = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto one = C5MENUADDITEM({.cPrompt = "uno"});
  const auto separator = C5MENUADDITEM();
  const auto sub = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto two = C5MENUADDITEM({.cPrompt = "dos"});
  C5MENUEND();
  C5MENUEND();
  EXPECT_EQ(one->nId, 20000);
  EXPECT_EQ(separator->nId, 20001);
  EXPECT_EQ(two->nId, 20002);
  EXPECT_EQ(first->nLevel, 1);
  EXPECT_EQ(sub->nLevel, 2);

  first->End();
  const auto later = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto three = C5MENUADDITEM({.cPrompt = "tres"});
  C5MENUEND();
  EXPECT_EQ(later->nLevel, 3);  // the counter never goes back
  EXPECT_EQ(three->nId, 20003);  // nor do the identifiers, until they pass 65535
}

TEST(MenuCommandIds, SkipWhatIsInUseAndStartAgainPastTheLargestCommand) {
  MenuCommandIds ids;
  const auto inUse = [](int id) { return id == 20001 || id == 20002 || id == 65535; };
  EXPECT_EQ(ids.Next(inUse), 20000);
  EXPECT_EQ(ids.Next(inUse), 20003);
  ids.SetNextForTesting(65534);
  EXPECT_EQ(ids.Next(inUse), 65534);
  EXPECT_EQ(ids.Next(inUse), 20000);  // a command message carries 16 bits
  EXPECT_THROW(ids.Next([](int) { return true; }), RuntimeError);
}

TEST(MenuBuilding, AnIdentifierALiveItemHoldsIsNotGivenAgain) {
  const auto menu = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto held = C5MENUADDITEM({.cPrompt = "vivo"});
  C5MENUEND();
  SetNextMenuCommandIdForTesting(held->nId);
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  EXPECT_EQ(C5MENUADDITEM({.cPrompt = "nuevo"})->nId, held->nId + 1);
  C5MENUEND();
}

TEST(MenuBuilding, AnIdentifierThatIsALiveMenusHandleIsNotGiven) {
  // The system names an item that opens a submenu by the submenu's handle.
  const auto menu = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "vivo"});
  C5MENUEND();
  const auto handle = static_cast<int>(reinterpret_cast<uintptr_t>(menu->hMenu));
  SetNextMenuCommandIdForTesting(handle);
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  EXPECT_EQ(C5MENUADDITEM({.cPrompt = "nuevo"})->nId, handle + 1);
  C5MENUEND();
}

TEST(MenuPictures, ANameWithADotIsAFileOnlyWhenItEndsInBmp) {
  const test::InTempDirectory here;
  test::SaveBitmapFile(here.File("muestra.bmp"), 24, 12, std::vector<COLORREF>(24 * 12, RGB(0, 64, 128)));
  // A picture, but not by its name.
  test::SaveBitmapFile(here.File("muestra.png"), 30, 12, std::vector<COLORREF>(30 * 12, RGB(0, 64, 128)));
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto resource = C5MENUADDITEM({.cPrompt = "recurso", .cResName = "NEGRO"});
  const auto sameName = C5MENUADDITEM({.cPrompt = "otra vez", .cResName = "negro"});
  const auto file = C5MENUADDITEM({.cPrompt = "archivo", .cBmpFile = here.File("muestra.bmp")});
  const auto notBmp = C5MENUADDITEM({.cPrompt = "no bmp", .cBmpFile = here.File("muestra.png")});
  const auto missing = C5MENUADDITEM({.cPrompt = "no hay", .cResName = "NO-EXISTE"});
  const auto menu = C5MENUEND();

  ASSERT_TRUE(resource->hBitmap);
  EXPECT_EQ(resource->hBitmap->nWidth, 16);
  EXPECT_EQ(sameName->hBitmap, resource->hBitmap);  // loaded once per menu
  ASSERT_TRUE(file->hBitmap);
  EXPECT_EQ(file->hBitmap->nWidth, 24);
  EXPECT_FALSE(notBmp->hBitmap);
  EXPECT_FALSE(missing->hBitmap);
  EXPECT_EQ(menu->nMaxWBmp, 24);  // pictures that failed add no width
  ASSERT_TRUE(menu->hLogo);
  EXPECT_EQ(menu->hLogo->nWidth, 43);
}

// What the owner window answers to the system's request to measure a menu item.
struct Measured {
  LRESULT handled;
  UINT width;
  UINT height;
};

Measured Measure(const WindowPtr& owner, int id) {
  MEASUREITEMSTRUCT request{};
  request.CtlType = ODT_MENU;
  request.itemID = static_cast<UINT>(id);
  const LRESULT handled = SendMessageA(owner->hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&request));
  return {handled, request.itemWidth, request.itemHeight};
}

int SystemFontWidth(const std::string& text) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

TEST(MenuMeasuring, WidthsAddTheStripThePicturesAndTheCheckColumn) {
  const WindowPtr owner = test::MenuOwner();
  const int logo = 43;
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto plain = C5MENUADDITEM({.cPrompt = "&Borrar NOTA"});
  const auto twoLinesFirst = C5MENUADDITEM({.cPrompt = "Una\r\n  línea más larga  ", .bAction = [](TMenuItemC5&) {}});
  const auto first = C5MENUEND();
  ASSERT_EQ(first->nLevel, 1);
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto pictured = C5MENUADDITEM({.cPrompt = "&Negro", .cResName = "NEGRO"});
  const auto twoLines = C5MENUADDITEM({.cPrompt = "Una\r\n  línea más larga  ", .bAction = [](TMenuItemC5&) {}});
  const auto tall = C5MENUADDITEM({.cPrompt = "alta"});
  tall->nHeight = 30;
  const auto second = C5MENUEND();
  C5MENUBEGIN({.cBmpLogo = "LOGO", .nWidth = 150});
  const auto fixed = C5MENUADDITEM({.cPrompt = "fija"});
  const auto third = C5MENUEND();

  const Measured plainSize = Measure(owner, plain->nId);
  EXPECT_TRUE(plainSize.handled);
  EXPECT_EQ(plainSize.width, static_cast<UINT>(SystemFontWidth("Borrar NOTA") + logo + 3 + 0 + 10));
  EXPECT_EQ(plainSize.height, 18u);
  const Measured pictureSize = Measure(owner, pictured->nId);
  EXPECT_EQ(pictureSize.width, static_cast<UINT>(SystemFontWidth("Negro") + logo + 3 + 16 + 10));
  EXPECT_EQ(pictureSize.height, 18u);
  // The widest trimmed line; an action item of a later menu leaves 20 more.
  const int widest = SystemFontWidth("línea más larga");
  EXPECT_EQ(Measure(owner, twoLinesFirst->nId).width, static_cast<UINT>(widest + logo + 3 + 0));
  EXPECT_EQ(Measure(owner, twoLines->nId).width, static_cast<UINT>(widest + logo + 3 + 20 + 16));
  EXPECT_EQ(Measure(owner, tall->nId).height, 30u);
  EXPECT_EQ(Measure(owner, fixed->nId).width, 150u);
  EXPECT_FALSE(Measure(owner, 12345).handled);  // not a menu item of the framework
}

// The first and last columns of an item's band (rows top to top + 18) that show `colour`
// in a picture of the menu's items; {-1, -1} when none does.
std::pair<int, int> ColumnsOf(HDC hDC, int top, COLORREF colour) {
  std::pair<int, int> columns{-1, -1};
  for (int x = 0; x < 200; ++x) {
    for (int y = top; y < top + 18; ++y) {
      if (GetPixel(hDC, x, y) != colour) continue;
      if (columns.first < 0) columns.first = x;
      columns.second = x;
    }
  }
  return columns;
}

void DrawMenuItem(HDC hDC, const TC5Menu& menu, const TMenuItemC5& item, int top, UINT action) {
  DRAWITEMSTRUCT request{};
  request.CtlType = ODT_MENU;
  request.itemID = static_cast<UINT>(item.nId);
  request.itemAction = action;
  request.hwndItem = reinterpret_cast<HWND>(menu.hMenu);
  request.hDC = hDC;
  request.rcItem = {0, top, 200, top + 18};
  EXPECT_TRUE(MENUDRAWITEM(request));
}

TEST(MenuDrawing, PicturesSitWhereTheGeometrySaysAndNeverPaintTheStrip) {
  const test::InTempDirectory here;
  constexpr COLORREF kPicture = RGB(12, 200, 34);
  test::SaveBitmapFile(here.File("pintura.bmp"), 16, 12, std::vector<COLORREF>(16 * 12, kPicture));
  const int logo = 43;
  const auto build = [&] {
    C5MENUBEGIN(ProgramMenuLook("LOGO"));
    C5MENUADDITEM({.cPrompt = "primera", .cBmpFile = here.File("pintura.bmp")});
    C5MENUADDITEM({.cPrompt = "segunda", .cBmpFile = here.File("pintura.bmp")});
    return C5MENUEND();
  };
  const auto first = build();
  const auto later = build();
  ASSERT_EQ(first->nLevel, 1);

  const HDC screen = GetDC(nullptr);
  const HDC hDC = CreateCompatibleDC(screen);
  const HBITMAP canvas = CreateCompatibleBitmap(screen, 200, 72);
  const HGDIOBJ previous = SelectObject(hDC, canvas);
  for (int row = 0; row < 2; ++row) {
    DrawMenuItem(hDC, *first, *first->aItems[static_cast<size_t>(row)], row * 18, ODA_DRAWENTIRE);
    DrawMenuItem(hDC, *later, *later->aItems[static_cast<size_t>(row)], 36 + row * 18, ODA_DRAWENTIRE);
  }
  DrawMenuItem(hDC, *first, *first->aItems[0], 0, ODA_SELECT);  // drawn again, after the strip

  // The picture's column is 5 to the left of the item's left edge + 1, which is the strip
  // + 2, + 10 for the check column from the second menu on, - 4 for the very first item.
  EXPECT_EQ(ColumnsOf(hDC, 0, kPicture), std::make_pair(logo, logo + 2 + 1 - 4 - 5 + 15));
  EXPECT_EQ(ColumnsOf(hDC, 18, kPicture), std::make_pair(logo, logo + 2 + 1 - 5 + 15));
  EXPECT_EQ(ColumnsOf(hDC, 36, kPicture), std::make_pair(logo + 2 + 10 + 1 - 5, logo + 2 + 10 + 1 - 5 + 15));
  EXPECT_EQ(ColumnsOf(hDC, 54, kPicture), std::make_pair(logo + 2 + 10 + 1 - 5, logo + 2 + 10 + 1 - 5 + 15));
  SelectObject(hDC, previous);
  DeleteObject(canvas);
  DeleteDC(hDC);
  ReleaseDC(nullptr, screen);
}

TEST(MenuMessages, WhenIsAskedAtEachOpeningOfThePopupAndAgainAtTheChoice) {
  const WindowPtr owner = test::MenuOwner();
  bool agentVisible = true;
  int asked = 0;
  const auto top = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto show = C5MENUADDITEM({.cPrompt = "Mostrar Agente", .bAction = [](TMenuItemC5&) {},
                                   .bWhen = [&](TMenuItemC5&) { return ++asked > 0 && !agentVisible; }});
  const auto hide = C5MENUADDITEM({.cPrompt = "Ocultar Agente", .bAction = [](TMenuItemC5&) {},
                                   .bWhen = [&](TMenuItemC5&) { return agentVisible; }});
  C5MENUADDITEM({.cPrompt = "Más"});
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto inner = C5MENUADDITEM({.cPrompt = "dentro", .bAction = [](TMenuItemC5&) {},
                                    .bWhen = [](TMenuItemC5&) { return false; }});
  const auto sub = C5MENUEND();
  C5MENUEND();
  owner->oPopup = top;

  SendMessageA(owner->hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(top->hMenu), 0);
  EXPECT_FALSE(show->lActive);
  EXPECT_FALSE(show->bAction);
  EXPECT_TRUE(show->bAuxAction);
  EXPECT_TRUE(hide->lActive);
  SendMessageA(owner->hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub->hMenu), 0);
  EXPECT_TRUE(inner->lActive);  // a submenu's items are not asked
  EXPECT_EQ(asked, 1);

  // The state changes while the menu is open: the choice asks again and does nothing.
  agentVisible = false;
  SendMessageA(owner->hWnd, WM_COMMAND, static_cast<WPARAM>(hide->nId), 0);
  EXPECT_FALSE(top->oMenuItemPopup);
  // A disabled item is chosen, but it has no action to run.
  SendMessageA(owner->hWnd, WM_COMMAND, static_cast<WPARAM>(show->nId), 0);
  EXPECT_EQ(top->oMenuItemPopup, show);
  EXPECT_FALSE(top->oMenuItemPopup->bAction);

  // The next opening turns the pair round.
  SendMessageA(owner->hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(top->hMenu), 0);
  EXPECT_TRUE(show->lActive);
  EXPECT_FALSE(hide->lActive);
  owner->oPopup.reset();
}

TEST(MenuMessages, AMenuThatIsNotAPopupRunsTheChoiceAtOnce) {
  const WindowPtr owner = test::MenuOwner();
  int runs = 0;
  const auto menu = C5MENUBEGIN({.lPopup = false});
  const auto item = C5MENUADDITEM({.cPrompt = "ya", .bAction = [&](TMenuItemC5& chosen) { runs += chosen.nItem; }});
  C5MENUEND();
  owner->oPopup = menu;
  SendMessageA(owner->hWnd, WM_COMMAND, static_cast<WPARAM>(item->nId), 0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(menu->oLastItem, item);
  EXPECT_FALSE(menu->oMenuItemPopup);
  owner->oPopup.reset();
}

TEST(MenuLists, AnEndedMenuLeavesTheClassWideLists) {
  const TC5Menu::ListSizes before = TC5Menu::ListSizesForTesting();
  const auto top = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "uno"});
  C5MENUBEGIN(ProgramMenuLook("LOGO"));
  const auto inner = C5MENUADDITEM({.cPrompt = "dos"});
  C5MENUEND();
  C5MENUEND();
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), (TC5Menu::ListSizes{before.nMenus + 2, before.nItems + 2, before.nPopups}));
  EXPECT_EQ(LiveItemOf(static_cast<uintptr_t>(inner->nId)), inner.get());
  top->End();
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), before);
  EXPECT_EQ(LiveItemOf(static_cast<uintptr_t>(inner->nId)), nullptr);
  EXPECT_EQ(top->hMenu, nullptr);
}

TEST(MenuLists, AnEndedMenuShowsNothingAndStaysOutOfTheLists) {
  const WindowPtr owner = test::MenuOwner();
  const auto menu = C5MENUBEGIN(ProgramMenuLook("LOGO"));
  C5MENUADDITEM({.cPrompt = "uno"});
  C5MENUEND();
  menu->End();
  const TC5Menu::ListSizes before = TC5Menu::ListSizesForTesting();
  menu->Activate(10, 20, *owner);
  EXPECT_EQ(TC5Menu::ListSizesForTesting(), before);
  EXPECT_FALSE(owner->oPopup);
  EXPECT_EQ(menu->oWnd, nullptr);
}

}  // namespace
}  // namespace memotab
