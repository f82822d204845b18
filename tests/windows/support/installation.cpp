#include "installation.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

#include "child_process.h"
#include "ui_driver.h"

namespace memotab::test {

using namespace std::chrono_literals;

namespace {

struct ReleaseInterface {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using Owned = std::unique_ptr<Interface, ReleaseInterface>;

// COM on this thread for the object's lifetime.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

struct CloseKernelObject {
  void operator()(HANDLE object) const { CloseHandle(object); }
};
using KernelHandle = std::unique_ptr<void, CloseKernelObject>;

std::filesystem::path KnownFolder(int folder) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::optional<std::vector<BYTE>> UninstallValue(const wchar_t* name, DWORD type) {
  DWORD size = 0;
  const DWORD flags = type == REG_SZ ? RRF_RT_REG_SZ : RRF_RT_REG_DWORD;
  if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, flags, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<BYTE> value(size);
  if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, flags, nullptr, value.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

KernelHandle OpenProcessOf(HWND window, DWORD access) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  return KernelHandle(OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
}

// The processes that run `program`.
std::vector<DWORD> ProcessesRunning(const std::filesystem::path& program) {
  std::vector<DWORD> found;
  const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (!SamePath(entry.szExeFile, program.filename())) continue;
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (process && QueryFullProcessImageNameW(process.get(), 0, image, &length) && SamePath(image, program)) {
      found.push_back(entry.th32ProcessID);
    }
  }
  return found;
}

// Ends every running copy of `program` by force; what went wrong, or nothing.
std::optional<std::string> EndRunningCopies(const std::filesystem::path& program) {
  for (const DWORD id : ProcessesRunning(program)) {
    const KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (process && TerminateProcess(process.get(), 99)) WaitForSingleObject(process.get(), 5000);
  }
  if (!ProcessesRunning(program).empty()) return program.string() + " keeps running: it could not be ended";
  return std::nullopt;
}

std::wstring EnvironmentText(const wchar_t* name) {
  std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
  if (value.empty()) return value;
  value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
  return value;
}

}  // namespace

InstallPlaces UserInstallPlaces() {
  const std::filesystem::path programs = KnownFolder(CSIDL_PROGRAMS);
  return {
      .program = KnownFolder(CSIDL_LOCAL_APPDATA) / "Programs" / "Memotab",
      .data = KnownFolder(CSIDL_APPDATA) / "Memotab",
      .startMenuLink = programs / "Memotab.lnk",
      .startupLink = KnownFolder(CSIDL_STARTUP) / "Memotab.lnk",
  };
}

std::optional<std::wstring> UninstallText(const wchar_t* name) {
  const auto value = UninstallValue(name, REG_SZ);
  if (!value) return std::nullopt;
  return std::wstring(reinterpret_cast<const wchar_t*>(value->data()));
}

std::optional<DWORD> UninstallNumber(const wchar_t* name) {
  const auto value = UninstallValue(name, REG_DWORD);
  if (!value || value->size() != sizeof(DWORD)) return std::nullopt;
  return *reinterpret_cast<const DWORD*>(value->data());
}

std::optional<ShellLink> ReadShellLink(const std::filesystem::path& link) {
  const ComApartment apartment;
  IShellLinkW* rawLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&rawLink)))) {
    return std::nullopt;
  }
  const Owned<IShellLinkW> shellLink(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return std::nullopt;
  const Owned<IPersistFile> file(rawFile);
  wchar_t target[MAX_PATH] = {};
  wchar_t directory[MAX_PATH] = {};
  if (FAILED(file->Load(link.c_str(), STGM_READ)) ||
      FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
      FAILED(shellLink->GetWorkingDirectory(directory, MAX_PATH))) {
    return std::nullopt;
  }
  return ShellLink{.target = target, .workingDirectory = directory};
}

HWND RunningMainWindow(const std::filesystem::path& program) {
  for (const DWORD id : ProcessesRunning(program)) {
    if (const HWND window = StartedMainWindow(id)) return window;
  }
  return nullptr;
}

DWORD CloseRunningCopy(HWND mainWindow) {
  const KernelHandle process = OpenProcessOf(mainWindow, SYNCHRONIZE);
  if (!process) return STILL_ACTIVE;
  PostMessageW(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
  return code;
}

std::optional<std::string> WhyTestsMayNotInstallHere() {
  if (!UnderWine()) {
    return "the installer tests install and remove Memotab for the user running them: they run only under Wine";
  }
  const std::wstring testPrefix = EnvironmentText(L"MEMOTAB_TEST_PREFIX");
  if (testPrefix.empty() || testPrefix != EnvironmentText(L"WINEPREFIX")) {
    return "the installer tests run only in the test prefix that scripts/wine-session prepares "
           "(MEMOTAB_TEST_PREFIX names it): run them through scripts/test or scripts/wine-session";
  }
  return std::nullopt;
}

void MakeMarkedDataFolder(const InstallPlaces& places) {
  std::filesystem::create_directories(places.data);
  std::ofstream mark(places.data / kTestsMark);
  mark << "The installer tests made this folder and delete it.\r\n";
  if (!mark) throw std::runtime_error("cannot write " + (places.data / kTestsMark).string());
}

std::optional<std::string> RemoveInstallation(const InstallPlaces& places) {
  if (std::filesystem::exists(places.data) && !std::filesystem::exists(places.data / kTestsMark)) {
    return places.data.string() + " was not made by the tests (it has no " + kTestsMark + "): it is left as it is";
  }
  if (const auto running = EndRunningCopies(places.program / "memotab.exe")) return running;
  for (const std::filesystem::path& place : {places.program, places.data, places.startMenuLink, places.startupLink}) {
    // A folder stays in use for a moment after a process that worked in it has ended.
    std::error_code error;
    const bool removed = WaitUntil([&] {
      std::filesystem::remove_all(place, error);
      return !error;
    }, 10s);
    if (!removed) return "cannot remove " + place.string() + ": " + error.message();
  }
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, places.uninstallKey.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    return "cannot remove the installed-programs entry: error " + std::to_string(status);
  }
  return std::nullopt;
}

bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  return CompareStringOrdinal(a.lexically_normal().c_str(), -1, b.lexically_normal().c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace memotab::test
