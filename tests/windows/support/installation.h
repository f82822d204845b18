#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "win.h"

namespace memotab::test {

// The installed-programs entry, under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Memotab";

// Where a per-user installation of Memotab puts things for the user running the tests.
struct InstallPlaces {
  std::filesystem::path program;        // the program folder in the user's programs folder
  std::filesystem::path data;           // %APPDATA%\Memotab
  std::filesystem::path startMenuLink;  // the Start menu's shortcut
  std::filesystem::path startupLink;    // the shortcut in the Startup folder
  std::wstring uninstallKey = kUninstallKey;
};
InstallPlaces UserInstallPlaces();

// The installer tests install Memotab for the user running them and remove it again, so
// they run only under Wine, in the prefix that scripts/wine-session prepares for tests and
// names in MEMOTAB_TEST_PREFIX: never on a user's own Windows or Wine prefix. Why they may
// not install here; nothing when they may.
std::optional<std::string> WhyTestsMayNotInstallHere();

// The file the tests put into a data folder before they install into it. No other data
// folder is theirs to delete: it holds somebody's notes.
inline constexpr const char* kTestsMark = "made-by-memotab-tests.txt";
// Makes the data folder, holding only the tests' mark.
void MakeMarkedDataFolder(const InstallPlaces& places);
std::optional<std::wstring> UninstallText(const wchar_t* name);
std::optional<DWORD> UninstallNumber(const wchar_t* name);

// A shortcut as the shell reads it.
struct ShellLink {
  std::filesystem::path target;
  std::filesystem::path workingDirectory;
};
// Reads a .lnk file through the shell's link interface; nothing when it cannot be loaded.
std::optional<ShellLink> ReadShellLink(const std::filesystem::path& link);

// The main window of a running copy of `program` once it has started up; nothing when
// none runs or none has started yet.
HWND RunningMainWindow(const std::filesystem::path& program);

// Closes a running copy as its exit button does and waits for its process to end; the
// exit code, or STILL_ACTIVE when it has not ended within ten seconds.
DWORD CloseRunningCopy(HWND mainWindow);

// Removes every trace of an installation made by the tests: running copies of the
// installed program, its folders, its shortcuts and its installed-programs entry. Removes
// nothing and says why when the data folder is there without the tests' mark; nothing
// when all is gone.
std::optional<std::string> RemoveInstallation(const InstallPlaces& places);

// Whether two paths name the same file or folder, compared as Windows does (any case).
bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace memotab::test
