// Keeps what the program keeps in module-level variables until the very end: a window with
// its own brush, and a brush and a font of its own. It releases the framework's graphic
// resources as the program's shutdown does and returns 0; the variables go only after that,
// while the process exits, and must find the framework's tracking list still there.
#include <memory>

#include "gdi_resources.h"
#include "t_window.h"
#include "win.h"

namespace {

memotab::WindowPtr keptWindow;
std::shared_ptr<memotab::TBrush> keptBrush;
std::shared_ptr<memotab::TFont> keptFont;

}  // namespace

int main() {
  using namespace memotab;
  keptWindow = TWindow::New({.cTitle = "Memotab v1.6", .nStyle = static_cast<uint32_t>(WS_POPUP), .nClrBack = 65535});
  keptBrush = TBrush::New(6540766);
  keptFont = TFont::New("Arial", 0, -12);
  keptWindow->SetBrush(keptBrush);
  RESALLFREE();
  return 0;
}
