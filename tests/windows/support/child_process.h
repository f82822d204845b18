#pragma once

#include <filesystem>
#include <string>

#include "win.h"

namespace memotab::test {

// A program a test starts in a working directory of its choosing; ended by force if the
// test leaves it running.
class ChildProcess {
 public:
  // `commandLine` is the program's quoted path followed by its arguments; an empty
  // `directory` keeps the test's own working directory.
  explicit ChildProcess(const std::wstring& commandLine, const std::filesystem::path& directory = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return process_.dwProcessId; }
  HANDLE Handle() const { return process_.hProcess; }
  // The exit code, or STILL_ACTIVE when the program has not ended within the time.
  DWORD WaitForExit(DWORD milliseconds) const;
  // Memotab's main window once the program has started up (the window is then hidden);
  // nothing when the program ends first or takes longer than ten seconds.
  HWND MainWindow() const;

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// Memotab's main window in a process once the program has started up: the start-up creates
// the window hidden, shows it, gives it its toolbar and hides it again. Nothing before that.
HWND StartedMainWindow(DWORD processId);

// A path given relative to the folder of the running test program.
std::filesystem::path BesideTestProgram(const std::filesystem::path& relative);
// A path in double quotes, as a command line takes it.
std::wstring Quoted(const std::filesystem::path& path);

}  // namespace memotab::test
