#include "toolbar.h"

#include <gtest/gtest.h>

#include "app_state.h"
#include "free_routines.h"
#include "win.h"

namespace memotab {
namespace {

struct ButtonSeen {
  int command;
  bool separator;
  bool enabled;
  std::string text;
};

std::vector<ButtonSeen> Buttons(HWND bar) {
  std::vector<ButtonSeen> buttons;
  const auto count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    char text[128] = {};
    if (!(button.fsStyle & BTNS_SEP)) {
      SendMessageA(bar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(button.idCommand), reinterpret_cast<LPARAM>(text));
    }
    buttons.push_back({button.idCommand, (button.fsStyle & BTNS_SEP) != 0, (button.fsState & TBSTATE_ENABLED) != 0, text});
  }
  return buttons;
}

TEST(Toolbar, SevenButtonsInOrderWithTheirTooltipsAndSalirEndsTheLoop) {
  oWndMain = TWindow::New({.nTop = 0, .nLeft = 5, .nBottom = 4.4, .nRight = 45.5, .cTitle = "Memotab v1.6",
                           .nStyle = static_cast<uint32_t>(NOR(131072))});
  std::vector<ButtonSeen> seen;
  bool hiddenBeforeClosing = false;
  int barHeight = 0;
  RECT client{};
  oWndMain->bInit = [&](TWindow& window) {
    const std::shared_ptr<TToolBar> bar = BARRA(window);
    seen = Buttons(bar->hWnd);
    barHeight = bar->Height();
    GetClientRect(window.hWnd, &client);
    window.PostMsg(WM_COMMAND, 6, reinterpret_cast<LPARAM>(bar->hWnd));  // Minimizar
    window.PostMsg(WM_COMMAND, 7, reinterpret_cast<LPARAM>(bar->hWnd));  // Salir
  };
  oWndMain->bValid = [&] {
    hiddenBeforeClosing = !IsWindowVisible(oWndMain->hWnd);
    return true;
  };
  oWndMain->Activate();  // returns when Salir has closed the window and ended the loop

  const std::vector<std::pair<int, std::string>> expected = {
      {1, "Crea una \r\nNueva Nota"}, {0, ""}, {2, "Despliega las\r\nOpciones"}, {3, "Notas pendientes"}, {0, ""},
      {4, "Visualiza\r\nla Ayuda"}, {5, "Acerca de de\r\nMemotab v1.6"}, {0, ""}, {6, "Minimizar"}, {0, ""},
      {7, "Salir de Memotab v1.6"}};
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(seen[i].separator, expected[i].first == 0) << i;
    if (expected[i].first == 0) continue;
    EXPECT_EQ(seen[i].command, expected[i].first);
    EXPECT_EQ(seen[i].text, expected[i].second);
    EXPECT_TRUE(seen[i].enabled) << seen[i].text;
  }
  EXPECT_GE(client.bottom, barHeight);  // the window is high enough for its bar
  EXPECT_TRUE(hiddenBeforeClosing);
  EXPECT_EQ(oWndMain->hWnd, nullptr);
  oWndMain.reset();
}

}  // namespace
}  // namespace memotab
