// The installer tests' own safety: they install only in the test prefix, their clean-up
// deletes no data folder that they did not make, and it ends every copy of the installed
// program, however far it has got.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "installer_fixture.h"
#include "installation.h"
#include "test_files.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::test {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable of this process for the object's lifetime.
class EnvironmentChange {
 public:
  EnvironmentChange(const wchar_t* name, const wchar_t* value) : name_(name) {
    std::wstring previous(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (!previous.empty()) {
      previous.resize(GetEnvironmentVariableW(name, previous.data(), static_cast<DWORD>(previous.size())));
      previous_ = previous;
    }
    SetEnvironmentVariableW(name, value);
  }
  ~EnvironmentChange() { SetEnvironmentVariableW(name_, previous_ ? previous_->c_str() : nullptr); }
  EnvironmentChange(const EnvironmentChange&) = delete;
  EnvironmentChange& operator=(const EnvironmentChange&) = delete;

 private:
  const wchar_t* name_;
  std::optional<std::wstring> previous_;
};

TEST(InstallationGuardTest, TestsInstallOnlyInThePrefixMarkedForThem) {
  ASSERT_EQ(WhyTestsMayNotInstallHere(), std::nullopt) << "the Windows tests run in the test prefix";
  {
    const EnvironmentChange unmarked(L"MEMOTAB_TEST_PREFIX", nullptr);
    EXPECT_NE(WhyTestsMayNotInstallHere(), std::nullopt);
  }
  {
    const EnvironmentChange another(L"MEMOTAB_TEST_PREFIX", L"/home/alguien/.wine");
    EXPECT_NE(WhyTestsMayNotInstallHere(), std::nullopt);
  }
  EXPECT_EQ(WhyTestsMayNotInstallHere(), std::nullopt);
}

TEST(InstallationGuardTest, RemovalDeletesOnlyADataFolderTheTestsMarked) {
  const TempDir dir;
  const InstallPlaces places{
      .program = dir.Path() / "Programa",
      .data = dir.Path() / "Datos",
      .startMenuLink = dir.Path() / "Menu.lnk",
      .startupLink = dir.Path() / "Inicio.lnk",
      .uninstallKey = L"Software\\MemotabInstallationGuardTest",
  };
  const std::vector<fs::path> files{places.program / "memotab.exe", places.data / "MEMOTAB.DBF",
                                    places.startMenuLink, places.startupLink};
  fs::create_directories(places.program);
  fs::create_directories(places.data);
  for (const fs::path& file : files) WriteBytes(file.string(), {'x'});
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, places.uninstallKey.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  const auto keyExists = [&] {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, places.uninstallKey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(opened);
    return true;
  };

  EXPECT_NE(RemoveInstallation(places), std::nullopt) << "somebody's notes";
  for (const fs::path& kept : files) EXPECT_TRUE(fs::exists(kept)) << kept;
  EXPECT_TRUE(keyExists());

  MakeMarkedDataFolder(places);
  EXPECT_EQ(RemoveInstallation(places), std::nullopt);
  for (const fs::path& gone : {places.program, places.data, places.startMenuLink, places.startupLink}) {
    EXPECT_FALSE(fs::exists(gone)) << gone;
  }
  EXPECT_FALSE(keyExists());
  RegDeleteTreeW(HKEY_CURRENT_USER, places.uninstallKey.c_str());
}

TEST_F(InstallerTest, CleanUpEndsACopyOfTheInstalledProgramThatNeverShowedItsMainWindow) {
  ASSERT_EQ(InstallSilently(), 0u);
  const TempDir withoutTable;  // the program reports the missing table and waits for an answer
  const ChildProcess program(Quoted(InstalledProgram()), withoutTable.Path());
  ASSERT_TRUE(WaitUntil([&] { return FindVisibleWindowStartingWith("Memotab Framework", program.Id()) != nullptr; },
                        std::chrono::seconds(30)));

  EXPECT_EQ(RemoveInstallation(places), std::nullopt);
  EXPECT_NE(program.WaitForExit(0), STILL_ACTIVE);
  EXPECT_FALSE(fs::exists(places.program));
}

}  // namespace
}  // namespace memotab::test
