#pragma once

#include "win.h"

namespace memotab {

// The sizes and the painting of the owner-drawn menu items, for the owner window's
// WM_MEASUREITEM and WM_DRAWITEM. Both give false when no live menu item is meant.

// Writes the item's width and height into the request.
bool MENUMEASUREITEM(MEASUREITEMSTRUCT& request);
// Paints the item: the strip with its picture at the menu's foot, the pane or the highlight
// bar, the item's picture, check mark and text.
bool MENUDRAWITEM(const DRAWITEMSTRUCT& request);

}  // namespace memotab
