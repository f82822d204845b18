// The Windows installer as a user meets it: silent installation into the user's own
// folders, the shortcuts and their working directory, the installed-programs entry,
// starting the installed program, reinstalling over existing notes, and removal that
// leaves the notes behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "installer_fixture.h"
#include "note_table.h"
#include "table.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every file below a folder with its contents, by relative path.
std::map<fs::path, std::vector<uint8_t>> Snapshot(const fs::path& folder) {
  std::map<fs::path, std::vector<uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), folder)] = Bytes(entry.path());
  }
  return files;
}

// The program's own files in the data folder: the help, the about box's text, and the
// help's pictures, sounds and characters of the staged folder.
std::vector<fs::path> ProgramsOwnDataFiles() {
  std::vector<fs::path> files{"MEMOTAB.HTML", "MsAgent.txt"};
  for (const auto& [folder, extension] :
       {std::pair{"ayuda", ".png"}, std::pair{"Sounds", ".Wav"}, std::pair{"Personajes", ".mtpj"}}) {
    for (const auto& entry : fs::directory_iterator(Staged() / folder)) {
      if (entry.path().extension() == extension) files.push_back(fs::path(folder) / entry.path().filename());
    }
  }
  return files;
}

void AddNote(const fs::path& table, const std::string& text) {
  Table notes = Table::Open(table.string(), FileAccess::kReadWriteAlone);
  notes.AppendBlank();
  notes.SetText(Nota::TEXTO, text);
}

std::wstring VersionText(const std::vector<BYTE>& info, const wchar_t* name) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\0C0A04E4\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return L"";
  return static_cast<const wchar_t*>(value);
}

// The machine an executable is built for, from its headers; 0 when it is no executable.
WORD Machine(const fs::path& program) {
  const std::vector<uint8_t> bytes = Bytes(program);
  IMAGE_DOS_HEADER dos{};
  if (bytes.size() < sizeof dos) return 0;
  std::memcpy(&dos, bytes.data(), sizeof dos);
  const size_t signatureAt = static_cast<size_t>(dos.e_lfanew);
  IMAGE_FILE_HEADER header{};
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || bytes.size() < signatureAt + sizeof(DWORD) + sizeof header) return 0;
  DWORD signature = 0;
  std::memcpy(&signature, bytes.data() + signatureAt, sizeof signature);
  std::memcpy(&header, bytes.data() + signatureAt + sizeof signature, sizeof header);
  return signature == IMAGE_NT_SIGNATURE ? header.Machine : 0;
}

// The rights an executable's manifest asks the system for ("asInvoker", "requireAdministrator"…);
// "" when it has no manifest or the manifest asks for none.
std::string RequestedExecutionLevel(const fs::path& program) {
  const HMODULE module =
      LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return "";
  std::string manifest;
  if (const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST)) {
    if (const HGLOBAL loaded = LoadResource(module, resource)) {
      manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, resource));
    }
  }
  FreeLibrary(module);
  const size_t element = manifest.find("<requestedExecutionLevel");
  const std::string attribute = "level=\"";
  const size_t level = manifest.find(attribute, element);
  if (element == std::string::npos || level == std::string::npos) return "";
  const size_t start = level + attribute.size();
  return manifest.substr(start, manifest.find('"', start) - start);
}

TEST_F(InstallerTest, SilentInstallPutsTheProgramItsDataAndItsShortcutsInPlace) {
  ASSERT_EQ(InstallSilently(L"/INICIAR=SI"), 0u);

  EXPECT_TRUE(SameAsStaged(InstalledProgram(), "memotab.exe"));
  EXPECT_TRUE(fs::exists(Uninstaller()));
  for (const char* seeded : {"MEMOTAB.DBF", "MEMOTAB.FPT", "Memotab.INI"}) {
    EXPECT_TRUE(SameAsStaged(Data(seeded), seeded));
  }
  const std::vector<fs::path> own = ProgramsOwnDataFiles();
  for (const fs::path expected : {"ayuda/notas.png", "Sounds/Aviso.Wav", "Personajes/Nota.mtpj"}) {
    EXPECT_NE(std::ranges::find(own, expected.lexically_normal()), own.end()) << expected;
  }
  for (const fs::path& file : own) EXPECT_TRUE(SameAsStaged(Data(file), file));
  // Nothing else: neither the program nor what else the staged folder holds (see make_test_installer).
  std::set<fs::path> expected{own.begin(), own.end()};
  expected.insert({"MEMOTAB.DBF", "MEMOTAB.FPT", "Memotab.INI", kTestsMark});
  std::set<fs::path> installed;
  for (const auto& [file, bytes] : Snapshot(places.data)) installed.insert(file);
  EXPECT_EQ(installed, expected);

  for (const fs::path& link : {places.startMenuLink, places.startupLink}) {
    const auto shortcut = test::ReadShellLink(link);
    ASSERT_TRUE(shortcut) << link;
    EXPECT_TRUE(test::SamePath(shortcut->target, InstalledProgram())) << shortcut->target;
    EXPECT_TRUE(test::SamePath(shortcut->workingDirectory, places.data)) << shortcut->workingDirectory;
  }
}

TEST_F(InstallerTest, InstalledProgramsListShowsNameVersionPublisherIconAndSize) {
  ASSERT_EQ(InstallSilently(), 0u);

  EXPECT_EQ(test::UninstallText(L"DisplayName"), L"Memotab");
  EXPECT_EQ(test::UninstallText(L"DisplayVersion"), L"1.6");
  EXPECT_EQ(test::UninstallText(L"Publisher"), L"Memotab");
  EXPECT_EQ(test::UninstallText(L"DisplayIcon"), InstalledProgram().wstring() + L",0");
  EXPECT_EQ(test::UninstallText(L"UninstallString"), test::Quoted(Uninstaller()));
  EXPECT_EQ(test::UninstallText(L"QuietUninstallString"), test::Quoted(Uninstaller()) + L" /S");
  EXPECT_EQ(test::UninstallNumber(L"NoModify"), 1u);
  EXPECT_EQ(test::UninstallNumber(L"NoRepair"), 1u);
  // In kilobytes, what removal frees: the program folder (the data folder stays).
  uintmax_t bytes = 0;
  for (const auto& [file, contents] : Snapshot(places.program)) bytes += contents.size();
  const auto size = test::UninstallNumber(L"EstimatedSize");
  ASSERT_TRUE(size);
  EXPECT_GE(*size + 8, bytes / 1024);
  EXPECT_LE(*size, bytes / 1024 + 8);

  // What Explorer shows of the installed program itself.
  const std::wstring program = InstalledProgram().wstring();
  std::vector<BYTE> info(GetFileVersionInfoSizeW(program.c_str(), nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, (DWORD{MEMOTAB_VERSION_MAJOR} << 16) | MEMOTAB_VERSION_MINOR);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(VersionText(info, L"ProductName"), L"Memotab");
  EXPECT_EQ(VersionText(info, L"ProductVersion"), L"1.6");
  EXPECT_EQ(VersionText(info, L"FileDescription"), L"Memotab: notas adhesivas y recordatorios");
  EXPECT_EQ(VersionText(info, L"LegalCopyright"), L"\u00A9 2026 El equipo de Memotab");
}

TEST_F(InstallerTest, InstallerAndUninstallerAre64BitAndNeedNoAdministratorRights) {
  ASSERT_EQ(InstallSilently(), 0u);
  for (const fs::path& program : {Installer(), Uninstaller()}) {
    EXPECT_EQ(Machine(program), IMAGE_FILE_MACHINE_AMD64) << program;
    EXPECT_EQ(RequestedExecutionLevel(program), "asInvoker") << program;
  }
  EXPECT_EQ(Machine(InstalledProgram()), IMAGE_FILE_MACHINE_AMD64);
}

TEST_F(InstallerTest, StartWithWindowsFollowsTheSwitchAndIsKeptByAReinstall) {
  ASSERT_EQ(InstallSilently(), 0u);
  EXPECT_TRUE(fs::exists(places.startupLink)) << "a first installation starts Memotab with Windows";
  ASSERT_EQ(InstallSilently(L"/INICIAR=NO"), 0u);
  EXPECT_FALSE(fs::exists(places.startupLink));
  ASSERT_EQ(InstallSilently(), 0u);
  EXPECT_FALSE(fs::exists(places.startupLink));
  ASSERT_EQ(InstallSilently(L"/iniciar=si"), 0u);
  EXPECT_TRUE(fs::exists(places.startupLink));
  ASSERT_EQ(InstallSilently(), 0u);
  EXPECT_TRUE(fs::exists(places.startupLink));
  EXPECT_TRUE(fs::exists(places.startMenuLink));
}

TEST_F(InstallerTest, AnUnknownStartSwitchValueInstallsNothing) {
  EXPECT_EQ(InstallSilently(L"/INICIAR=QUIZA"), 2u);
  EXPECT_FALSE(fs::exists(places.program));
  EXPECT_EQ(Snapshot(places.data).size(), 1u) << "the data folder holds only what the test put there";
  EXPECT_FALSE(fs::exists(places.startMenuLink));
  EXPECT_FALSE(test::UninstallText(L"DisplayName"));
}

TEST_F(InstallerTest, InstalledProgramStartsFromItsShortcutInTheDataFolder) {
  ASSERT_EQ(InstallSilently(), 0u);
  const auto shortcut = test::ReadShellLink(places.startMenuLink);
  ASSERT_TRUE(shortcut);

  test::ChildProcess program(test::Quoted(shortcut->target), shortcut->workingDirectory);
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(test::WaitUntil([&] { return test::HasTrayIcon(program.Id()); }));
  EXPECT_TRUE(InUseByAnotherProgram(Data("MEMOTAB.DBF"))) << "the program works on the data folder's table";

  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program.WaitForExit(10000), 0u);
  EXPECT_FALSE(fs::exists(Data("Error.log")));
}

TEST_F(InstallerTest, UninstallerRemovesTheProgramAndLeavesTheNotes) {
  ASSERT_EQ(InstallSilently(L"/INICIAR=SI"), 0u);
  AddNote(Data("MEMOTAB.DBF"), "Llamar a la tía Carmen el jueves");
  const auto before = Snapshot(places.data);

  // Run in place (_?=), so that it does not hand over to a copy of itself and returns at the end.
  const test::ChildProcess uninstaller(test::Quoted(Uninstaller()) + L" /S _?=" + places.program.wstring());
  EXPECT_EQ(uninstaller.WaitForExit(kInstallerTimeout), 0u);

  EXPECT_FALSE(fs::exists(InstalledProgram()));
  EXPECT_FALSE(fs::exists(places.startMenuLink));
  EXPECT_FALSE(fs::exists(places.startupLink));
  EXPECT_FALSE(test::UninstallText(L"DisplayName"));
  EXPECT_EQ(Snapshot(places.data), before);
}

TEST_F(InstallerTest, ReinstallKeepsNotesAndSettingsAndRefreshesTheProgramsOwnFiles) {
  ASSERT_EQ(InstallSilently(), 0u);
  AddNote(Data("MEMOTAB.DBF"), "Pagar la luz");
  test::WriteBytes(Data("Memotab.INI").string(), {'[', 'I', 'N', 'I', 'C', 'I', 'O', ']', '\r', '\n', 'V', 'E', 'R', '=',
                                                  'N', 'O', '\r', '\n'});
  test::WriteBytes(Data("MEMOTAB.HTML").string(), {'v', 'i', 'e', 'j', 'a'});
  fs::remove(Data("Sounds/Aviso.Wav"));
  fs::remove(Data("ayuda/notas.png"));
  test::WriteBytes(Data("ayuda/vieja.png").string(), {'v', 'i', 'e', 'j', 'a'});  // a picture no longer shipped
  const auto table = Bytes(Data("MEMOTAB.DBF"));
  const auto memo = Bytes(Data("MEMOTAB.FPT"));
  const auto settings = Bytes(Data("Memotab.INI"));

  ASSERT_EQ(InstallSilently(), 0u);
  EXPECT_EQ(Bytes(Data("MEMOTAB.DBF")), table);
  EXPECT_EQ(Bytes(Data("MEMOTAB.FPT")), memo);
  EXPECT_EQ(Bytes(Data("Memotab.INI")), settings);
  EXPECT_TRUE(SameAsStaged(Data("MEMOTAB.HTML"), "MEMOTAB.HTML"));
  EXPECT_TRUE(SameAsStaged(Data("Sounds/Aviso.Wav"), "Sounds/Aviso.Wav"));
  EXPECT_TRUE(SameAsStaged(Data("ayuda/notas.png"), "ayuda/notas.png"));
  EXPECT_FALSE(fs::exists(Data("ayuda/vieja.png")));
}

TEST_F(InstallerTest, ATableWithoutItsMemoFileIsNotGivenAnEmptyOne) {
  ASSERT_EQ(InstallSilently(), 0u);
  AddNote(Data("MEMOTAB.DBF"), "Una nota cuyo texto está en el archivo que falta");
  fs::remove(Data("MEMOTAB.FPT"));
  const auto table = Bytes(Data("MEMOTAB.DBF"));

  ASSERT_EQ(InstallSilently(), 0u);
  EXPECT_EQ(Bytes(Data("MEMOTAB.DBF")), table);
  EXPECT_FALSE(fs::exists(Data("MEMOTAB.FPT")));
}

}  // namespace
}  // namespace memotab::test
