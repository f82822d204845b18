#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace memotab::test {

// A program a test starts, with pipes to its standard input and from its standard output.
// A child still running when the object ends is killed, so no test leaves one behind.
class PipedProcess {
 public:
  // Starts `program` with `arguments`; raises std::runtime_error when it cannot start.
  PipedProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~PipedProcess();
  PipedProcess(const PipedProcess&) = delete;
  PipedProcess& operator=(const PipedProcess&) = delete;

  // The system's number of the child process.
  unsigned long Id() const { return id_; }
  // The next line the child wrote, without its line end; nothing once its output has ended.
  std::optional<std::string> ReadLine();
  // Closes the child's standard input: it reads the end of its input.
  void CloseInput();
  // Waits for the child to end and returns its exit code.
  int Wait();
  // Ends the child at once, the way a crash or the task manager ends a process.
  void Kill();

 private:
  bool ReadMore();

  intptr_t process_ = -1;  // a process id (POSIX) or a process handle (Windows)
  unsigned long id_ = 0;
  intptr_t input_ = -1;    // our ends of the two pipes
  intptr_t output_ = -1;
  std::string buffered_;
  std::optional<int> exitCode_;
};

// The path of a program that is built into the same folder as the running one.
std::string BesideThisProgram(const std::string& name);

}  // namespace memotab::test
