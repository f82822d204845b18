// The tray icon: the records it sends the shell, its message window, the mouse events it
// turns into closures, and real clicks on it in the tray Wine shows when the display has
// none of its own (a small window named "Wine System Tray", one child window per icon).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "event_loop.h"
#include "free_routines.h"
#include "menu_fixtures.h"
#include "screen_shot.h"
#include "t_tray_icon.h"
#include "tray_shell.h"
#include "ui_driver.h"

namespace memotab {
namespace {

// The main window as the program makes it, shown.
WindowPtr MainWindow() {
  const WindowPtr main = TWindow::New({.nTop = 0, .nLeft = 5, .nBottom = 4.4, .nRight = 45.5, .cTitle = "Memotab v1.6",
                                       .nStyle = static_cast<uint32_t>(NOR(131072)), .oIcon = TIcon::New("NOTAS")});
  ShowWindow(main->hWnd, SW_SHOWNORMAL);
  return main;
}

// Keeps every record the tray icons send to the shell while it lives.
class TrayIconTest : public ::testing::Test {
 protected:
  struct Sent {
    DWORD message;
    NOTIFYICONDATAA record;
  };
  TrayIconTest() {
    SetTrayRecordObserverForTesting([this](DWORD message, const NOTIFYICONDATAA& record) { sent.push_back({message, record}); });
  }
  ~TrayIconTest() override { SetTrayRecordObserverForTesting(nullptr); }

  std::vector<Sent> sent;
};

TEST_F(TrayIconTest, TheShellGetsTheBasicRecordWithATooltipEndedRightAfterItsSpace) {
  const WindowPtr main = MainWindow();
  const std::shared_ptr<TTrayIcon> tray = TTrayIcon::New(*main, {.cCaption = "Memotab v1.6"});
  ASSERT_EQ(sent.size(), 1u);
  const NOTIFYICONDATAA& added = sent[0].record;
  EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(added.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
  EXPECT_EQ(added.hWnd, tray->oWnd->hWnd);
  EXPECT_EQ(added.uID, 1u);
  EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(added.uCallbackMessage, 2067u);
  EXPECT_EQ(added.hIcon, main->oIcon->hIcon);
  EXPECT_STREQ(added.szTip, "Memotab v1.6 ");

  EXPECT_TRUE(tray->SetText(""));
  EXPECT_EQ(sent.back().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(sent.back().record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
  tray->SetText(std::string(80, 'x'));
  EXPECT_EQ(std::string(sent.back().record.szTip), std::string(63, 'x'));  // cut to the field, ended

  // The main window goes first, and the message window it owns with it; the shell still
  // knows the icon by that window.
  const HWND messageWindow = tray->oWnd->hWnd;
  DestroyWindow(main->hWnd);
  EXPECT_FALSE(IsWindow(messageWindow));
  tray->SetText("Memotab v1.6");
  EXPECT_EQ(sent.back().record.hWnd, messageWindow);
  EXPECT_TRUE(tray->End());
  EXPECT_EQ(sent.back().message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(sent.back().record.hWnd, messageWindow);
  EXPECT_EQ(sent.back().record.uID, 1u);
  EXPECT_EQ(sent.back().record.uFlags, 0u);
  const size_t count = sent.size();
  EXPECT_TRUE(tray->End());
  EXPECT_EQ(sent.size(), count);
}

TEST_F(TrayIconTest, ItsWindowIsHiddenDisabledTopLevelOwnedByTheMainWindowAtTheScreensOrigin) {
  const WindowPtr main = MainWindow();
  const std::shared_ptr<TTrayIcon> tray = TTrayIcon::New(*main, {.cCaption = "Memotab v1.6"});
  EXPECT_FALSE(IsWindowVisible(main->hWnd));  // making the icon hides the main window
  const HWND window = tray->oWnd->hWnd;
  const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  EXPECT_EQ(style & WS_CHILD, 0u);
  EXPECT_EQ(style & WS_DISABLED, static_cast<DWORD>(WS_DISABLED));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), main->hWnd);
  EXPECT_EQ(GETWNDAPP(), nullptr);  // activating it made it no application window
  POINT point{300, 200};
  ClientToScreen(window, &point);  // a menu shown for it at the cursor opens at the cursor
  EXPECT_EQ(point.x, 300);
  EXPECT_EQ(point.y, 200);

  // The shell says to every top-level window that it made the taskbar again: the icon adds
  // itself again. This shell still shows it and refuses the addition, so it is updated.
  sent.clear();
  SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  ASSERT_TRUE(test::DispatchUntil([&] { return sent.size() >= 2; }));
  EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(sent[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(sent[1].record.hWnd, window);
  EXPECT_STREQ(sent[1].record.szTip, "Memotab v1.6 ");
  EXPECT_TRUE(test::HasTrayIcon(GetCurrentProcessId()));
}

TEST_F(TrayIconTest, EachMouseMessageRunsItsClosureOnceWithTheCursorRowFirst) {
  const WindowPtr main = MainWindow();
  std::vector<std::string> calls;
  const auto log = [&calls](const std::string& name) {
    return [&calls, name](int nRow, int nCol) { calls.push_back(name + " " + std::to_string(nRow) + "," + std::to_string(nCol)); };
  };
  const std::shared_ptr<TTrayIcon> tray = TTrayIcon::New(
      *main, {.bLClicked = log("L"), .bRClicked = log("R"), .bMMoved = log("M"), .bLDblClick = log("D"),
              .bLButtonUp = log("LU"), .bRButtonUp = log("RU")});
  SetCursorPos(300, 200);
  for (const UINT mouse : std::vector<UINT>{WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONDBLCLK,
                                           WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_USER}) {
    SendMessageA(tray->oWnd->hWnd, 2067, 1, static_cast<LPARAM>(mouse));
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"L 200,300", "R 200,300", "M 200,300", "D 200,300", "LU 200,300",
                                             "RU 200,300"}));
}

TEST_F(TrayIconTest, UnsetArgumentsTakeTheWindowsIconCaptionAndMouseSlots) {
  const WindowPtr main = MainWindow();
  std::vector<int> clicked;
  main->bLClicked = [&](int nRow, int nCol, int, TWindow& window) -> Result {
    clicked = {nRow, nCol, window.hWnd == main->hWnd};
    return std::nullopt;
  };
  const std::shared_ptr<TTrayIcon> tray = TTrayIcon::New(*main);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_STREQ(sent[0].record.szTip, "Memotab v1.6 ");
  EXPECT_EQ(sent[0].record.hIcon, main->oIcon->hIcon);
  SetCursorPos(310, 210);
  SendMessageA(tray->oWnd->hWnd, 2067, 1, WM_LBUTTONDOWN);
  EXPECT_EQ(clicked, (std::vector<int>{210, 310, 1}));
}

// The icon windows in Wine's own tray window.
std::vector<HWND> WineTrayIcons() {
  std::vector<HWND> icons;
  const HWND tray = FindWindowA(nullptr, "Wine System Tray");
  for (HWND icon = GetWindow(tray, GW_CHILD); tray != nullptr && icon != nullptr; icon = GetWindow(icon, GW_HWNDNEXT)) {
    icons.push_back(icon);
  }
  return icons;
}

// The icon window that is in `now` and was not in `before`.
HWND NewIcon(const std::vector<HWND>& before, const std::vector<HWND>& now) {
  for (const HWND icon : now) {
    if (std::find(before.begin(), before.end(), icon) == before.end()) return icon;
  }
  return nullptr;
}

TEST(TrayShowing, ARealRightClickOpensTheMenuAtTheCursorAndALeftClickRunsOnce) {
  if (const std::string why = test::PointerUnavailable(); !why.empty()) GTEST_SKIP() << why;
  const WindowPtr main = MainWindow();
  const WindowPtr other = test::ElsewhereWindow();
  const std::vector<HWND> before = WineTrayIcons();
  int leftClicks = 0;
  int menusClosed = 0;
  POINT menuAsked{};
  std::vector<std::string> chosen;
  std::atomic<HMENU> shown{nullptr};
  std::atomic<int> movesOverIcon{0};
  std::atomic<bool> enabledWhileShown{false};
  std::atomic<bool> foregroundWhileShown{false};
  std::shared_ptr<TTrayIcon> tray;
  tray = TTrayIcon::New(*main, {
      .cCaption = "Memotab v1.6",
      .bLClicked = [&](int, int) { ++leftClicks; },
      .bRClicked = [&](int nRow, int nCol) {  // as the program's tray menu will be opened
        menuAsked = {nCol, nRow};
        const auto menu = C5MENUBEGIN(test::ProgramMenuLook("LOGO"));
        const MenuAction record = [&](TMenuItemC5& item) { chosen.push_back(*item.cPrompt); };
        C5MENUADDITEM({.cPrompt = "Abrir Memotab v1.6", .bAction = record});
        C5MENUADDITEM();
        C5MENUADDITEM({.cPrompt = "Nueva nota", .bAction = record});
        C5MENUADDITEM({.cPrompt = "Notas pendientes", .bAction = record});
        C5MENUADDITEM();
        C5MENUADDITEM({.cPrompt = "Mostrar Agente", .bAction = record, .bWhen = [](TMenuItemC5&) { return false; }});
        C5MENUADDITEM({.cPrompt = "Ocultar Agente", .bAction = record});
        C5MENUADDITEM();
        C5MENUADDITEM({.cPrompt = "Cerrar menú"});
        C5MENUADDITEM();
        C5MENUADDITEM({.cPrompt = "Salir de Memotab v1.6", .bAction = record});
        C5MENUEND();
        shown = menu->hMenu;
        menu->Activate(nRow, nCol, *tray->oWnd);
        shown = nullptr;
        ++menusClosed;
      },
      .bMMoved = [&](int, int) { ++movesOverIcon; }});
  HWND icon = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (icon = NewIcon(before, WineTrayIcons())) != nullptr; }));
  RECT iconArea{};
  GetWindowRect(icon, &iconArea);
  const POINT onIcon = test::Centre(iconArea);
  const HWND trayWindow = tray->oWnd->hWnd;
  // Clicks the icon as a user would: with the pointer over it (once the tray reports it so)
  // and not so soon after the last click that the two make a double click.
  auto lastClick = std::chrono::steady_clock::now() - std::chrono::seconds(10);
  const auto clickIcon = [&](int button) {
    std::this_thread::sleep_until(lastClick + std::chrono::milliseconds(GetDoubleClickTime() + 100));
    lastClick = std::chrono::steady_clock::now();
    const int moves = movesOverIcon;
    return test::HoverUntil(onIcon, [&] { return movesOverIcon > moves; }) && test::ClickMouse(onIcon.x, onIcon.y, button);
  };
  const auto openMenu = [&] {
    return clickIcon(3) && test::WaitUntil([&] { return shown.load() != nullptr; }) && test::WaitForMenuItem(shown, 0);
  };
  const auto closeIfStillShown = [&] {
    if (!test::WaitUntil([&] { return shown.load() == nullptr; })) PostMessageA(trayWindow, WM_CANCELMODE, 0, 0);
  };

  // A right click opens the menu at the cursor; a click on an item chooses it.
  std::future<POINT> corner = std::async(std::launch::async, [&] {
    POINT topLeft{-1, -1};
    const std::optional<RECT> first = openMenu() ? test::ShownMenuItem(shown, 0) : std::nullopt;
    const std::optional<RECT> newNote = test::ShownMenuItem(shown, 2);
    const HWND menuWindow = first ? test::ShownMenuWindowAt(test::Centre(*first)) : nullptr;
    if (newNote && menuWindow != nullptr) {
      // The system gives the foreground to no disabled window: the tray's is enabled meanwhile.
      enabledWhileShown = IsWindowEnabled(trayWindow) != FALSE;
      foregroundWhileShown = GetForegroundWindow() == trayWindow;
      RECT menuArea{};
      GetWindowRect(menuWindow, &menuArea);
      topLeft = {menuArea.left, menuArea.top};
      RECT trayArea{};
      GetWindowRect(FindWindowA(nullptr, "Wine System Tray"), &trayArea);
      RECT both{};
      UnionRect(&both, &trayArea, &menuArea);
      const POINT paneOfNewNote{newNote->right - 8, test::Centre(*newNote).y};
      test::WaitUntil([&] { return test::ScreenShot(*newNote).At(paneOfNewNote.x, paneOfNewNote.y) == test::kPane; });
      test::ScreenShot(both).Save(test::ArtifactPath("tray-menu.bmp"));
      const POINT centre = test::Centre(*newNote);
      if (test::HoverUntil(centre, [&] { return test::MenuItemHighlighted(shown, 2); })) test::ClickMouse(centre.x, centre.y);
    }
    closeIfStillShown();
    return topLeft;
  });
  EXPECT_TRUE(test::DispatchUntil([&] { return menusClosed == 1; }, std::chrono::seconds(15)));
  const POINT topLeft = corner.get();
  EXPECT_EQ(topLeft.x, onIcon.x);
  EXPECT_EQ(topLeft.y, onIcon.y);
  EXPECT_EQ(menuAsked.x, onIcon.x);
  EXPECT_EQ(menuAsked.y, onIcon.y);
  EXPECT_EQ(chosen, (std::vector<std::string>{"Nueva nota"}));
  EXPECT_TRUE(enabledWhileShown);
  EXPECT_TRUE(foregroundWhileShown);
  EXPECT_FALSE(IsWindowEnabled(trayWindow));  // disabled again once the menu has closed

  // Another right click, then a click elsewhere: the menu closes and nothing runs.
  std::future<bool> elsewhere = std::async(std::launch::async, [&] {
    const bool opened = openMenu();
    if (opened) test::ClickMouse(800, 575);
    const bool closed = test::WaitUntil([&] { return shown.load() == nullptr; });
    closeIfStillShown();
    return opened && closed;
  });
  EXPECT_TRUE(test::DispatchUntil([&] { return menusClosed == 2; }, std::chrono::seconds(15)));
  EXPECT_TRUE(elsewhere.get());
  EXPECT_EQ(chosen.size(), 1u);

  // A left click runs its closure once: on the press, not again on the release.
  std::future<bool> left = std::async(std::launch::async, [&] { return clickIcon(1); });
  EXPECT_TRUE(test::DispatchUntil([&] { return leftClicks > 0; }, std::chrono::seconds(10)));
  EXPECT_TRUE(left.get());
  SYSWAIT(0.3);
  EXPECT_EQ(leftClicks, 1);
  EXPECT_EQ(menusClosed, 2);
  tray->End();
}

}  // namespace
}  // namespace memotab
