#include "menu_item_drawing.h"

#include <algorithm>
#include <string>

#include "menu_lists.h"
#include "t_c5_menu.h"
#include "text.h"
#include "window_dc.h"

namespace memotab {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x808080;

int LogoWidth(const TC5Menu& menu) { return menu.hLogo ? menu.hLogo->nWidth : 0; }

// The room an item leaves on its left for the check mark, in every menu but the first.
int CheckColumn(const TC5Menu& menu) { return menu.nLevel > 1 && !menu.lNoChks ? 10 : 0; }

// Measuring -------------------------------------------------------------------------------

std::string WithoutMnemonics(std::string text) {
  std::erase(text, '&');
  return text;
}

// The width of a text on the screen in the item's font, else the system font.
int TextWidth(std::string_view text, const TFont* font) {
  const WindowDc screen(nullptr);
  const HGDIOBJ previous = SelectObject(screen.hDC(), font != nullptr ? font->hFont() : GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32A(screen.hDC(), text.data(), static_cast<int>(text.size()), &size);
  SelectObject(screen.hDC(), previous);
  return size.cx;
}

int WidestLine(const std::string& text, const TFont* font) {
  int widest = 0;
  size_t start = 0;
  while (true) {
    const size_t end = text.find("\r\n", start);
    const std::string_view line = std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
    widest = std::max(widest, TextWidth(Trim(line), font));
    if (end == std::string::npos) return widest;
    start = end + 2;
  }
}

// A menu bar's item gives back some of the room its text would take.
int MenuBarWidth(int width) {
  if (width > 80) return width - 20;
  if (width > 70) return width - 18;
  if (width > 60) return width - 15;
  if (width > 50) return width - 10;
  return width;
}

int MeasuredWidth(const TMenuItemC5& item, const TC5Menu& menu) {
  if (menu.nWidth) return *menu.nWidth;
  if (!item.cPrompt) return item.hBitmap ? item.hBitmap->nWidth : 0;
  const std::string text = WithoutMnemonics(*item.cPrompt);
  const TFont* font = item.oFont.get();
  if (text.find("\r\n") != std::string::npos) {
    const int actionRoom = menu.nLevel > 1 && !item.lPadre ? 20 : 0;
    return WidestLine(text, font) + LogoWidth(menu) + 3 + actionRoom + menu.nMaxWBmp;
  }
  if (menu.lPopup || menu.nLevel > 1) {
    return TextWidth(text, font) + LogoWidth(menu) + 3 + menu.nMaxWBmp + (menu.lNoChks ? 0 : 10);
  }
  return MenuBarWidth(TextWidth(text, font) + (item.hBitmap ? item.hBitmap->nWidth : 0));
}

int MeasuredHeight(const TMenuItemC5& item, const TC5Menu& menu) {
  if (item.nHeight) return *item.nHeight;
  if (item.lSeparator) return 6;
  return menu.nLevel > 1 || menu.lPopup ? menu.nHItem : 18;
}

// Drawing ---------------------------------------------------------------------------------

// The system's check mark, drawn in black with its white background left out.
void DrawCheckMark(HDC hDC, int left, int top) {
  const int width = GetSystemMetrics(SM_CXMENUCHECK);
  const int height = GetSystemMetrics(SM_CYMENUCHECK);
  const HDC mark = CreateCompatibleDC(hDC);
  const HBITMAP bitmap = CreateCompatibleBitmap(hDC, width, height);
  const HGDIOBJ previous = SelectObject(mark, bitmap);
  RECT area{0, 0, width, height};
  DrawFrameControl(mark, &area, DFC_MENU, DFCS_MENUCHECK);
  TransparentBlt(hDC, left, top, width, height, mark, 0, 0, width, height, kWhite);
  SelectObject(mark, previous);
  DeleteObject(bitmap);
  DeleteDC(mark);
}

void Fill(HDC hDC, RECT area, const TBrush& brush) { FillRect(hDC, &area, brush.hBrush()); }

// The strip down the menu's left edge: the logo with its foot at the last item's foot, a
// band of the logo colour above it.
void DrawStrip(HDC hDC, const TC5Menu& menu, int lastBottom) {
  int top = lastBottom - menu.hLogo->nHeight;
  if (top < 0) top = 1;
  menu.hLogo->Draw(hDC, 0, top, false);
  Fill(hDC, {0, 0, menu.hLogo->nWidth, top}, *menu.hLogoColor);
}

void DrawPrompt(HDC hDC, const TMenuItemC5& item, const TC5Menu& menu, RECT area, bool selected, bool entire) {
  SetBkMode(hDC, TRANSPARENT);
  const HGDIOBJ previousFont = item.oFont ? SelectObject(hDC, item.oFont->hFont()) : nullptr;
  const UINT flags = static_cast<UINT>(item.nTextAlign) | DT_EXPANDTABS;
  COLORREF colour = static_cast<COLORREF>(selected ? menu.nClrTxtSel : item.nClrText.value_or(menu.nClrText));
  if (!item.lActive) {
    if (menu.nClrDisa) {
      colour = static_cast<COLORREF>(*menu.nClrDisa);
    } else {
      if (entire) {  // a white shadow one pixel right and down, then grey
        RECT shadow = area;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(hDC, kWhite);
        DrawTextA(hDC, item.cPrompt->c_str(), -1, &shadow, flags);
      }
      colour = kGrey;
    }
  }
  SetTextColor(hDC, colour);
  DrawTextA(hDC, item.cPrompt->c_str(), -1, &area, flags);
  if (previousFont != nullptr) SelectObject(hDC, previousFont);
}

void DrawItem(const DRAWITEMSTRUCT& request, const TC5Menu& menu, size_t index) {
  const TMenuItemC5& item = *menu.aItems[index];
  const HDC hDC = request.hDC;
  const bool entire = request.itemAction == ODA_DRAWENTIRE;
  const bool selected = (request.itemState & ODS_SELECTED) != 0;
  if (menu.hLogo && index + 1 == menu.aItems.size()) DrawStrip(hDC, menu, request.rcItem.bottom);

  RECT area = request.rcItem;
  area.left += LogoWidth(menu);
  RECT pane = area;
  if (!entire && menu.nLevel > 1) pane.top -= 1;
  Fill(hDC, pane, *menu.hBrush);
  if (selected) Fill(hDC, pane, *TBrush::New(menu.nClrSelect));
  if (index + 1 < menu.aItems.size() && menu.aItems[index + 1]->lSeparator) {
    Fill(hDC, {area.left, area.bottom + 1, area.right, area.bottom + 8}, *menu.hBrush);
  }

  int left = area.left + 2 + CheckColumn(menu);
  const std::shared_ptr<TPicture>& picture = !item.lActive && item.hDisable ? item.hDisable : item.hBitmap;
  if (picture && !item.lSeparator) {
    // The first menu has no check column, so its pictures start a few pixels inside the
    // strip (the first item's more). What falls there is left out: the strip is painted
    // with the last item, and an item painted again when it is highlighted must not paint
    // over it.
    const int column = left + 1 - (menu.nLevel == 1 && index == 0 ? 4 : 0) - 5;
    const int saved = SaveDC(hDC);
    IntersectClipRect(hDC, area.left, area.top, area.right, area.bottom);
    picture->Draw(hDC, column, area.top + (area.bottom - area.top - picture->nHeight) / 2, true);
    RestoreDC(hDC, saved);
  }
  if (item.lChecked) DrawCheckMark(hDC, left - 3 - CheckColumn(menu), area.top + 2);
  left += menu.nMaxWBmp;
  if (item.cPrompt) {
    const int arrowRoom = item.lPadre && menu.nLevel > 1 ? 20 : 0;
    DrawPrompt(hDC, item, menu, {left + 6, area.top + 2, area.right - 3 - arrowRoom, area.bottom - 1}, selected, entire);
  }
  // The system draws a submenu's arrow over the item afterwards, in the colours it finds.
  SetBkColor(hDC, static_cast<COLORREF>(selected ? menu.nClrSelect : menu.nClrPane));
  SetTextColor(hDC, static_cast<COLORREF>(selected ? menu.nClrTxtSel : item.nClrText.value_or(menu.nClrText)));
}

}  // namespace

bool MENUMEASUREITEM(MEASUREITEMSTRUCT& request) {
  const TMenuItemC5* item = LiveItemOf(request.itemID);
  if (item == nullptr || item->oMenu == nullptr) return false;
  request.itemWidth = static_cast<UINT>(std::max(0, MeasuredWidth(*item, *item->oMenu)));
  request.itemHeight = static_cast<UINT>(std::max(0, MeasuredHeight(*item, *item->oMenu)));
  return true;
}

bool MENUDRAWITEM(const DRAWITEMSTRUCT& request) {
  const TC5Menu* menu = LiveMenuOf(reinterpret_cast<HMENU>(request.hwndItem));
  if (menu == nullptr) return false;
  for (size_t index = 0; index < menu->aItems.size(); ++index) {
    if (!menu->aItems[index]->Matches(request.itemID)) continue;
    if (request.itemAction == ODA_DRAWENTIRE || request.itemAction == ODA_SELECT) DrawItem(request, *menu, index);
    return true;
  }
  return false;
}

}  // namespace memotab
