#pragma once

#include <memory>

#include "t_toolbar.h"

namespace memotab {

// Builds the main window's toolbar: seven 40 x 40 buttons with their pictures and tooltips.
std::shared_ptr<TToolBar> BARRA(TWindow& oWnd);

}  // namespace memotab
