#pragma once

// What the installer tests share: the installer that make_test_installer makes before they
// run, and a fixture that starts and ends every test with no installation for the test user.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "child_process.h"
#include "installation.h"
#include "test_files.h"
#include "version.h"
#include "win.h"

namespace memotab::test {

inline constexpr DWORD kInstallerTimeout = 60000;

// The staged folder the tests' installer is made from, and the installer in it.
inline std::filesystem::path Staged() { return BesideTestProgram(MEMOTAB_INSTALLER_STAGE_RELATIVE); }
inline std::filesystem::path Installer() { return Staged() / "Memotab-" MEMOTAB_VERSION_TEXT "-instalador.exe"; }

inline std::vector<uint8_t> Bytes(const std::filesystem::path& file) {
  return std::filesystem::is_regular_file(file) ? ReadBytes(file.string()) : std::vector<uint8_t>{};
}

// Whether an installed file holds what the staged one does. A staged file that is missing or
// empty is a fault of the staging, never a match.
inline ::testing::AssertionResult SameAsStaged(const std::filesystem::path& installed, const std::filesystem::path& name) {
  const std::filesystem::path staged = Staged() / name;
  const std::vector<uint8_t> expected = Bytes(staged);
  if (expected.empty()) return ::testing::AssertionFailure() << staged << " is missing or empty";
  if (!std::filesystem::is_regular_file(installed)) return ::testing::AssertionFailure() << installed << " is missing";
  if (Bytes(installed) != expected) return ::testing::AssertionFailure() << installed << " differs from " << staged;
  return ::testing::AssertionSuccess();
}

// Whether a file is open in another program (Memotab opens its table for itself alone).
inline bool InUseByAnotherProgram(const std::filesystem::path& file) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(handle);
  return false;
}

// Installs only where the tests may (see WhyTestsMayNotInstallHere) and removes only what
// it installed itself.
class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto reason = WhyTestsMayNotInstallHere()) FAIL() << *reason;
    ASSERT_TRUE(std::filesystem::exists(Installer())) << Installer() << " is missing: the test memotab_installer.make makes it";
    const auto refusal = RemoveInstallation(places);
    ASSERT_FALSE(refusal) << *refusal;
    ownsInstallation_ = true;
    MakeMarkedDataFolder(places);
  }
  void TearDown() override {
    if (!ownsInstallation_) return;
    const auto refusal = RemoveInstallation(places);
    EXPECT_FALSE(refusal) << *refusal;
  }

  DWORD InstallSilently(const std::wstring& switches = L"") const {
    const ChildProcess installer(Quoted(Installer()) + L" /S " + switches);
    return installer.WaitForExit(kInstallerTimeout);
  }
  std::filesystem::path Data(const std::filesystem::path& name) const { return places.data / name; }
  std::filesystem::path InstalledProgram() const { return places.program / "memotab.exe"; }
  std::filesystem::path Uninstaller() const { return places.program / "Desinstalar.exe"; }

  const InstallPlaces places = UserInstallPlaces();

 private:
  bool ownsInstallation_ = false;  // set once SetUp has found the places safe to clear
};

}  // namespace memotab::test
