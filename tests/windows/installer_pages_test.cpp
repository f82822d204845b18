// The installer's pages as a person goes through them, kept as pictures among the test
// artifacts, and the check the installer tests use for a program's tray icon.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "installer_fixture.h"
#include "ui_driver.h"
#include "win.h"

#include <shellapi.h>  // after the Windows headers

namespace memotab::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The pages a person goes through, kept as pictures among the test artifacts.
class InstallerPagesTest : public InstallerTest {
 protected:
  // A visible control of a wizard (on any of its pages) whose text begins with `text`;
  // nothing when there is none.
  static HWND Control(HWND wizard, const std::string& text) {
    struct Search {
      const std::string* text;
      HWND found;
    } search{&text, nullptr};
    EnumChildWindows(
        wizard,
        [](HWND control, LPARAM context) -> BOOL {
          auto* wanted = reinterpret_cast<Search*>(context);
          if (!IsWindowVisible(control) || !test::WindowText(control).starts_with(*wanted->text)) return TRUE;
          wanted->found = control;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  // Waits for a wizard's page to show a control whose text begins with `text`; the control.
  static HWND WaitForControl(HWND wizard, const std::string& text) {
    HWND control = nullptr;
    test::WaitUntil([&] { return (control = Control(wizard, text)) != nullptr; }, 10s);
    return control;
  }
  // Saves a picture of a window once its page has been painted: once three pictures in a
  // row are the same.
  static void KeepPicture(HWND window, const std::string& name) {
    const fs::path artifacts = fs::current_path() / "artifacts";
    fs::create_directories(artifacts);
    const fs::path picture = artifacts / name;
    std::vector<uint8_t> previous;
    int same = 0;
    EXPECT_TRUE(test::WaitUntil([&] {
      if (test::SaveWindowPicture(window, picture.string()) <= 20) return false;
      std::vector<uint8_t> latest = Bytes(picture);
      same = latest == previous ? same + 1 : 0;
      previous = std::move(latest);
      return same == 2;
    }, std::chrono::seconds(30))) << name;  // another test's moving window may cover it a while
  }
  // Waits for a visible window of the process whose caption begins with `caption` (the
  // wizard adds a page's own caption to it); the window.
  static HWND WaitForWizard(const std::string& caption, DWORD processId) {
    HWND wizard = nullptr;
    test::WaitUntil([&] { return (wizard = test::FindVisibleWindowStartingWith(caption, processId)) != nullptr; }, 10s);
    return wizard;
  }
};

TEST_F(InstallerPagesTest, InstallAndRemoveThroughEveryPage) {
  const test::ChildProcess installer(test::Quoted(Installer()));
  const HWND wizard = WaitForWizard("Instalar Memotab " MEMOTAB_VERSION_TEXT, installer.Id());
  ASSERT_NE(wizard, nullptr);
  ASSERT_NE(WaitForControl(wizard, "Memotab guarda sus notas"), nullptr);
  KeepPicture(wizard, "installer-1-welcome.bmp");
  test::ClickButton(wizard, IDOK);

  const HWND startWithWindows = WaitForControl(wizard, "Iniciar Memotab con Windows");
  ASSERT_NE(startWithWindows, nullptr);
  EXPECT_EQ(SendMessageW(startWithWindows, BM_GETCHECK, 0, 0), BST_CHECKED);
  KeepPicture(wizard, "installer-2-options.bmp");
  PostMessageW(startWithWindows, BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return SendMessageW(startWithWindows, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
  test::ClickButton(wizard, IDOK);

  const HWND openNow = WaitForControl(wizard, "Abrir Memotab ahora");
  ASSERT_NE(openNow, nullptr);
  EXPECT_EQ(SendMessageW(openNow, BM_GETCHECK, 0, 0), BST_CHECKED);
  KeepPicture(wizard, "installer-3-finish.bmp");
  test::ClickButton(wizard, IDOK);
  EXPECT_EQ(installer.WaitForExit(kInstallerTimeout), 0u);
  EXPECT_TRUE(fs::exists(places.startMenuLink));
  EXPECT_FALSE(fs::exists(places.startupLink));

  HWND opened = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (opened = test::RunningMainWindow(InstalledProgram())) != nullptr; }, 10s));
  EXPECT_TRUE(test::WaitUntil([&] { return InUseByAnotherProgram(Data("MEMOTAB.DBF")); }));
  ASSERT_EQ(test::CloseRunningCopy(opened), 0u);

  const test::ChildProcess uninstaller(test::Quoted(Uninstaller()) + L" _?=" + places.program.wstring());
  const HWND removal = WaitForWizard("Quitar Memotab " MEMOTAB_VERSION_TEXT, uninstaller.Id());
  ASSERT_NE(removal, nullptr);
  ASSERT_NE(WaitForControl(removal, "Programa:"), nullptr);
  KeepPicture(removal, "uninstaller-1-confirm.bmp");
  test::ClickButton(removal, IDOK);
  const HWND close = GetDlgItem(removal, IDOK);
  ASSERT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(close) && test::WindowText(close) == "&Cerrar"; }, 30s));
  KeepPicture(removal, "uninstaller-2-done.bmp");
  test::ClickButton(removal, IDOK);
  EXPECT_EQ(uninstaller.WaitForExit(kInstallerTimeout), 0u);
  EXPECT_FALSE(fs::exists(InstalledProgram()));
  EXPECT_TRUE(fs::exists(Data("MEMOTAB.DBF")));
}

// The check of a running program's notification-area icon.
TEST(TrayProbeTest, SeesAnIconOnlyWhileTheShellShowsIt) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(test::HasTrayIcon(GetCurrentProcessId()));
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_ICON;
  icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &icon));
  EXPECT_TRUE(test::HasTrayIcon(GetCurrentProcessId()));
  Shell_NotifyIconW(NIM_DELETE, &icon);
  EXPECT_FALSE(test::HasTrayIcon(GetCurrentProcessId()));
  DestroyWindow(window);
}

}  // namespace
}  // namespace memotab::test
