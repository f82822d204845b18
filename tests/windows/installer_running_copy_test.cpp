// The installer and the uninstaller meet a running Memotab: they close it the way its exit
// button does, whatever its version and even with one of its dialogs open, and stop with
// an error when the program file cannot be replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "installer_fixture.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A file opened for this process alone, so that no other program can write or delete it.
class HeldOpenAlone {
 public:
  explicit HeldOpenAlone(const fs::path& file)
      : handle_(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldOpenAlone() {
    if (Held()) CloseHandle(handle_);
  }
  HeldOpenAlone(const HeldOpenAlone&) = delete;
  HeldOpenAlone& operator=(const HeldOpenAlone&) = delete;

  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

TEST_F(InstallerTest, AnUpgradeClosesARunningCopyOfAnotherVersion) {
  ASSERT_EQ(InstallSilently(), 0u);
  fs::copy_file(BesideTestProgram("memotab_older_copy.exe"), InstalledProgram(), fs::copy_options::overwrite_existing);
  const ChildProcess older(Quoted(InstalledProgram()), places.data);
  ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow("TWINDOW", "Memotab v1.5", older.Id()) != nullptr; },
                        std::chrono::seconds(30)));

  EXPECT_EQ(InstallSilently(), 0u);
  EXPECT_EQ(older.WaitForExit(10000), 0u) << "closed as the program's exit button closes it";
  EXPECT_TRUE(SameAsStaged(InstalledProgram(), "memotab.exe"));
}

TEST_F(InstallerTest, AProgramFileThatCannotBeReplacedStopsTheInstallation) {
  ASSERT_EQ(InstallSilently(), 0u);
  WriteBytes(InstalledProgram().string(), {'v', 'i', 'e', 'j', 'o'});
  {
    const HeldOpenAlone program(InstalledProgram());
    ASSERT_TRUE(program.Held());
    EXPECT_EQ(InstallSilently(), 2u);
  }
  EXPECT_EQ(ReadBytes(InstalledProgram().string()), (std::vector<uint8_t>{'v', 'i', 'e', 'j', 'o'}));
}

TEST_F(InstallerTest, AHelpFileThatCannotBeReplacedStopsTheInstallation) {
  ASSERT_EQ(InstallSilently(), 0u);
  const HeldOpenAlone help(Data("MEMOTAB.HTML"));
  ASSERT_TRUE(help.Held());
  EXPECT_EQ(InstallSilently(), 2u);
}

TEST_F(InstallerTest, RemovalFromTheInstalledProgramsListClosesTheRunningProgramFirst) {
  ASSERT_EQ(InstallSilently(), 0u);
  ChildProcess program(Quoted(InstalledProgram()), places.data);
  ASSERT_NE(program.MainWindow(), nullptr);
  const auto removal = UninstallText(L"QuietUninstallString");
  ASSERT_TRUE(removal);

  // As the system runs it: the uninstaller hands over to a copy of itself and returns.
  const ChildProcess uninstaller(*removal);
  EXPECT_EQ(uninstaller.WaitForExit(kInstallerTimeout), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(places.program); }, 30s));
  EXPECT_EQ(program.WaitForExit(10000), 0u) << "closed as its own exit button closes it";
  EXPECT_TRUE(fs::exists(Data("MEMOTAB.DBF")));
  EXPECT_TRUE(fs::exists(Data("MEMOTAB.FPT")));
}

TEST_F(InstallerTest, RemovalClosesARunningProgramThatHasADialogOpen) {
  ASSERT_EQ(InstallSilently(), 0u);
  const ChildProcess program(Quoted(InstalledProgram()), places.data);
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  const HWND bar = FindWindowExA(main, nullptr, TOOLBARCLASSNAMEA, nullptr);
  PostMessageA(main, WM_COMMAND, 5, reinterpret_cast<LPARAM>(bar));  // "Acerca de"
  ASSERT_TRUE(WaitUntil([&] { return FindVisibleWindow("Acerca de..", program.Id()) != nullptr; }));

  const ChildProcess uninstaller(Quoted(Uninstaller()) + L" /S _?=" + places.program.wstring());
  EXPECT_EQ(uninstaller.WaitForExit(kInstallerTimeout), 0u);
  EXPECT_EQ(program.WaitForExit(10000), 0u);
  EXPECT_FALSE(fs::exists(InstalledProgram()));
  EXPECT_FALSE(fs::exists(Data("Error.log")));
}

}  // namespace
}  // namespace memotab::test
