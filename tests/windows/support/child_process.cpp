#include "child_process.h"

#include "ui_driver.h"
#include "version.h"

namespace memotab::test {

ChildProcess::ChildProcess(const std::wstring& commandLine, const std::filesystem::path& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = commandLine;  // CreateProcessW may write into it
  started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            directory.empty() ? nullptr : directory.c_str(), &startup, &process_) != FALSE;
}

ChildProcess::~ChildProcess() {
  if (!started_) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

DWORD ChildProcess::WaitForExit(DWORD milliseconds) const {
  if (!started_ || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

HWND ChildProcess::MainWindow() const {
  if (!started_) return nullptr;
  for (int i = 0; i < 500; ++i) {
    if (const HWND window = StartedMainWindow(process_.dwProcessId)) return window;
    if (WaitForExit(20) != STILL_ACTIVE) return nullptr;
  }
  return nullptr;
}

HWND StartedMainWindow(DWORD processId) {
  const HWND window = FindProcessWindow("TWINDOW", MEMOTAB_PROGRAM_TITLE, processId);
  const bool started = window != nullptr && FindWindowExA(window, nullptr, TOOLBARCLASSNAMEA, nullptr) != nullptr &&
                       !IsWindowVisible(window);
  return started ? window : nullptr;
}

std::filesystem::path BesideTestProgram(const std::filesystem::path& relative) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (std::filesystem::path(self).parent_path() / relative).lexically_normal();
}

std::wstring Quoted(const std::filesystem::path& path) { return L"\"" + path.wstring() + L"\""; }

}  // namespace memotab::test
