#pragma once

#include <filesystem>
#include <string>

#include "ui_driver.h"
#include "win.h"

namespace memotab::test {

// memotab.exe beside the test program (MEMOTAB_EXE_RELATIVE names it from there).
inline std::string ProgramPath() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return (std::filesystem::path(self).parent_path() / MEMOTAB_EXE_RELATIVE).lexically_normal().string();
}

// One running copy of memotab.exe; ended by force if a test leaves it running.
class Program {
 public:
  explicit Program(const std::string& directory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + ProgramPath() + "\"";
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                              &process_) != FALSE;
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return process_.dwProcessId; }
  HANDLE Handle() const { return process_.hProcess; }
  // The exit code, or STILL_ACTIVE when the program has not ended within the time.
  DWORD WaitForExit(DWORD milliseconds) const {
    if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  // The program's main window once start-up has given it its toolbar and hidden it.
  HWND MainWindow() const {
    for (int i = 0; i < 500; ++i) {
      const HWND window = FindProcessWindow("TWINDOW", "Memotab v1.6", process_.dwProcessId);
      if (window != nullptr && FindWindowExA(window, nullptr, TOOLBARCLASSNAMEA, nullptr) != nullptr &&
          !IsWindowVisible(window)) {
        return window;
      }
      if (WaitForExit(20) != STILL_ACTIVE) return nullptr;
    }
    return nullptr;
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

}  // namespace memotab::test
