#include "piped_process.h"

#include <cerrno>
#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

extern char** environ;
#endif

namespace memotab::test {

std::optional<std::string> PipedProcess::ReadLine() {
  size_t end;
  while ((end = buffered_.find('\n')) == std::string::npos) {
    if (!ReadMore()) {
      if (buffered_.empty()) return std::nullopt;
      return std::exchange(buffered_, {});
    }
  }
  std::string line = buffered_.substr(0, end);
  buffered_.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

#ifdef _WIN32

namespace {

HANDLE Handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

std::string Quoted(const std::string& argument) { return "\"" + argument + "\""; }

}  // namespace

PipedProcess::PipedProcess(const std::string& program, const std::vector<std::string>& arguments) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childInput = nullptr, ourInput = nullptr, ourOutput = nullptr, childOutput = nullptr;
  if (!CreatePipe(&childInput, &ourInput, &inherited, 0) || !CreatePipe(&ourOutput, &childOutput, &inherited, 0)) {
    throw std::runtime_error("cannot make pipes for " + program);
  }
  SetHandleInformation(ourInput, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(ourOutput, HANDLE_FLAG_INHERIT, 0);
  input_ = reinterpret_cast<intptr_t>(ourInput);
  output_ = reinterpret_cast<intptr_t>(ourOutput);

  std::string command = Quoted(program);
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started{};
  const BOOL ok =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
  CloseHandle(childInput);
  CloseHandle(childOutput);
  if (!ok) {
    CloseHandle(ourInput);
    CloseHandle(ourOutput);
    throw std::runtime_error("cannot start " + command);
  }
  CloseHandle(started.hThread);
  process_ = reinterpret_cast<intptr_t>(started.hProcess);
  id_ = started.dwProcessId;
}

PipedProcess::~PipedProcess() {
  if (!exitCode_) Kill();
  CloseInput();
  CloseHandle(Handle(output_));
  CloseHandle(Handle(process_));
}

bool PipedProcess::ReadMore() {
  char chunk[4096];
  DWORD count = 0;
  if (!ReadFile(Handle(output_), chunk, sizeof chunk, &count, nullptr) || count == 0) return false;
  buffered_.append(chunk, count);
  return true;
}

void PipedProcess::CloseInput() {
  if (input_ == -1) return;
  CloseHandle(Handle(input_));
  input_ = -1;
}

int PipedProcess::Wait() {
  if (!exitCode_) {
    WaitForSingleObject(Handle(process_), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(Handle(process_), &code);
    exitCode_ = static_cast<int>(code);
  }
  return *exitCode_;
}

void PipedProcess::Kill() {
  if (exitCode_) return;
  TerminateProcess(Handle(process_), 99);
  Wait();
}

std::string BesideThisProgram(const std::string& name) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of("\\/") + 1) + name + ".exe";
}

#else

PipedProcess::PipedProcess(const std::string& program, const std::vector<std::string>& arguments) {
  int toChild[2], fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot make pipes for " + program);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failure = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  input_ = toChild[1];
  output_ = fromChild[0];
  if (failure != 0) {
    close(toChild[1]);
    close(fromChild[0]);
    throw std::runtime_error("cannot start " + program);
  }
  process_ = pid;
  id_ = static_cast<unsigned long>(pid);
}

PipedProcess::~PipedProcess() {
  if (!exitCode_) Kill();
  CloseInput();
  close(static_cast<int>(output_));
}

bool PipedProcess::ReadMore() {
  char chunk[4096];
  ssize_t count;
  while ((count = read(static_cast<int>(output_), chunk, sizeof chunk)) < 0 && errno == EINTR) {
  }
  if (count <= 0) return false;
  buffered_.append(chunk, static_cast<size_t>(count));
  return true;
}

void PipedProcess::CloseInput() {
  if (input_ == -1) return;
  close(static_cast<int>(input_));
  input_ = -1;
}

int PipedProcess::Wait() {
  if (!exitCode_) {
    int status = 0;
    while (waitpid(static_cast<pid_t>(process_), &status, 0) < 0 && errno == EINTR) {
    }
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  return *exitCode_;
}

void PipedProcess::Kill() {
  if (exitCode_) return;
  kill(static_cast<pid_t>(process_), SIGKILL);
  Wait();
}

std::string BesideThisProgram(const std::string& name) {
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  const std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
  return path.substr(0, path.rfind('/') + 1) + name;
}

#endif

}  // namespace memotab::test
