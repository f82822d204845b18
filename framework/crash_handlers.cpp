// A crash is reported from a thread of its own: the crashed thread's stack may be used up
// and its state is not to be trusted. The crashed thread waits for the report, then ends
// the process without running any more of the program's code.
#include "crash_handlers.h"

#include "win.h"

#include <atomic>
#include <cstdio>
#include <exception>

#include "error_block.h"
#include "error_log.h"
#include "error_report.h"
#include "framework_error.h"

namespace memotab {

namespace {

// Sub codes of the framework's errors for crashes.
constexpr int kSubFault = 9001;      // a fault the program does not handle
constexpr int kSubTerminate = 9002;  // std::terminate
constexpr DWORD kTerminateExitCode = 3;
// The code of the exceptions that carry C++ exceptions in this runtime, and the mask that
// finds it.
constexpr DWORD kCppThrowCode = 0x20474343;
constexpr DWORD kCppThrowMask = 0x20FFFFFF;
// Stack kept free for the handler after a stack overflow.
constexpr ULONG kStackForTheHandler = 64 * 1024;
// How long the crashed thread waits for Error.log: a reporter that is stuck on something
// the crashed thread held must not keep the program from ending.
constexpr DWORD kLogDeadlineMilliseconds = 30000;

struct Crash {
  DWORD exitCode = 0;
  DWORD code = 0;                    // the fault's code; 0 for std::terminate
  const void* address = nullptr;     // the code address where it happened
  ULONG_PTR access[2] = {};          // access violations: 0 read, 1 write, 8 execute; the address
  std::exception_ptr exception;      // std::terminate: the exception that led there, if any
};

Crash crash;
std::atomic_flag crashing = ATOMIC_FLAG_INIT;
std::atomic<DWORD> reporterThread{0};
HANDLE logWritten = nullptr;

std::string Hex(uintptr_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

// "memotab.exe+0x1A2B (0x000000014001A2B)"
std::string CodeAddress(const void* address) {
  const std::string absolute = Hex(reinterpret_cast<uintptr_t>(address), 16);
  HMODULE module = nullptr;
  char path[MAX_PATH] = {};
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module) ||
      GetModuleFileNameA(module, path, MAX_PATH) == 0) {
    return absolute;
  }
  const std::string file = path;
  const uintptr_t offset = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module);
  return file.substr(file.find_last_of("\\/") + 1) + "+" + Hex(offset, 1) + " (" + absolute + ")";
}

std::string FaultDescription() {
  switch (crash.code) {
    case EXCEPTION_ACCESS_VIOLATION: {
      const char* kind = crash.access[0] == 0 ? "reading" : crash.access[0] == 8 ? "executing" : "writing";
      return std::string("Access violation ") + kind + " address " + Hex(crash.access[1], 16);
    }
    case EXCEPTION_STACK_OVERFLOW: return "Stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "Integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "Illegal instruction";
    case EXCEPTION_IN_PAGE_ERROR: return "A page of the program could not be read";
    default: return "Unhandled exception " + Hex(crash.code, 8);
  }
}

RuntimeError CrashError() {
  const std::string where = "at " + CodeAddress(crash.address);
  if (crash.code != 0) return RuntimeError(0, kFrameworkName, kSubFault, FaultDescription(), {}, where);
  std::string description = "Unexpected end (std::terminate)";
  if (crash.exception) description += ": " + AsRuntimeError(crash.exception).cDescription;
  return RuntimeError(0, kFrameworkName, kSubTerminate, description, {}, where);
}

DWORD WINAPI ReportCrash(void*) {
  try {
    const RuntimeError error = CrashError();
    try {
      WriteErrorLog(error);
    } catch (...) {
      // What could be written stays.
    }
    SetEvent(logWritten);
    ShowStopBox(ERRORMESSAGE(error).c_str());
  } catch (...) {
    // Not even the error could be described: the program ends without a report.
  }
  SetEvent(logWritten);
  return 0;
}

[[noreturn]] void EndNow(DWORD exitCode) {
  TerminateProcess(GetCurrentProcess(), exitCode);
  ExitProcess(exitCode);
}

// Returns to the first crash only. A crash of the reporter ends the program; one of another
// thread waits for the first crash to end it.
void EnterCrash() {
  if (!crashing.test_and_set()) return;
  if (GetCurrentThreadId() == reporterThread) EndNow(crash.exitCode);
  for (;;) Sleep(INFINITE);
}

[[noreturn]] void ReportAndEnd(DWORD exitCode) {
  crash.exitCode = exitCode;
  DWORD id = 0;
  const HANDLE reporter = CreateThread(nullptr, 0, ReportCrash, nullptr, CREATE_SUSPENDED, &id);
  if (reporter != nullptr) {
    reporterThread = id;
    ResumeThread(reporter);
    if (WaitForSingleObject(logWritten, kLogDeadlineMilliseconds) == WAIT_OBJECT_0) {
      WaitForSingleObject(reporter, INFINITE);
    }
  }
  EndNow(exitCode);
}

LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  // A C++ exception nobody catches: the runtime goes on to std::terminate.
  if ((record.ExceptionCode & kCppThrowMask) == kCppThrowCode && (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) == 0) {
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  EnterCrash();
  crash.code = record.ExceptionCode;
  crash.address = record.ExceptionAddress;
  if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
    crash.access[0] = record.ExceptionInformation[0];
    crash.access[1] = record.ExceptionInformation[1];
  }
  ReportAndEnd(record.ExceptionCode);
}

[[noreturn]] void OnTerminate() {
  EnterCrash();
  void* caller = nullptr;
  RtlCaptureStackBackTrace(1, 1, &caller, nullptr);
  crash.address = caller;
  crash.exception = std::current_exception();
  ReportAndEnd(kTerminateExitCode);
}

}  // namespace

void InstallCrashHandlers() {
  if (logWritten == nullptr) logWritten = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ULONG reserve = kStackForTheHandler;
  SetThreadStackGuarantee(&reserve);
  SetUnhandledExceptionFilter(OnUnhandledFault);
  std::set_terminate(OnTerminate);
  // Otherwise Windows' message dispatch swallows faults in timer procedures (Wine's does
  // whatever is asked).
  BOOL suppress = FALSE;
  SetUserObjectInformationW(GetCurrentProcess(), UOI_TIMERPROC_EXCEPTION_SUPPRESSION, &suppress, sizeof suppress);
}

}  // namespace memotab
