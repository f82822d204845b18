#pragma once

#include <utility>

#include "c5_menu_building.h"
#include "error_block.h"

namespace memotab {

// Runs an event handler of the application where system code calls the program (a window
// or dialog procedure): its errors go to the error handler (GuardErrors), and an attempt
// that throws leaves no half-built menu behind for the next one.
template <typename Operation, typename Value>
Value GuardHandler(Operation&& operation, Value fallback) {
  return GuardErrors(
      [&] {
        const MenuBuildingScope building;
        return operation();
      },
      std::move(fallback));
}

}  // namespace memotab
