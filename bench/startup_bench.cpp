// Start-up under Wine (or Windows): the time from starting memotab.exe with 200 notes to
// its 200th note window shown, beside the time a minimal Win32 program of ours takes to
// show its one window, on the same machine in the same run; and memotab's working set
// with the 200 notes shown.
//
//   startup_bench.exe [RUNS]        (memotab.exe and minimal_window.exe beside it)
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "note_table.h"
#include "table.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

fs::path Beside(const char* name) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path() / name;
}

struct Visible {
  DWORD process;
  std::string prefix;
  int count = 0;
  HWND main = nullptr;
  bool character = false;  // the assistant's figure is shown
};

BOOL CALLBACK CountVisible(HWND window, LPARAM data) {
  auto& visible = *reinterpret_cast<Visible*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != visible.process) return TRUE;
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::string(title) == "Memotab v1.6") visible.main = window;
  if (IsWindowVisible(window) && std::string(title).rfind(visible.prefix, 0) == 0) ++visible.count;
  char windowClass[64] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  if (IsWindowVisible(window) && std::string(windowClass) == "MemotabCharacter") visible.character = true;
  return TRUE;
}

Visible Look(DWORD process, const std::string& prefix) {
  Visible visible{process, prefix};
  EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&visible));
  return visible;
}

struct Run {
  double seconds = -1;
  size_t workingSet = 0;
};

// Starts a program in a folder and times it until `count` windows whose titles begin with
// `prefix` are visible (and, when asked, the assistant's figure); then closes it.
Run TimeUntilShown(const fs::path& program, const fs::path& folder, const std::string& prefix, int count,
                   bool withCharacter = false) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + program.string() + "\"";
  const auto start = Clock::now();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.string().c_str(), &startup,
                      &process)) {
    return {};
  }
  Run run;
  Visible seen{};
  while (Clock::now() - start < std::chrono::seconds(120)) {
    seen = Look(process.dwProcessId, prefix);
    if (seen.count >= count && (seen.character || !withCharacter)) {
      run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
      break;
    }
    Sleep(1);
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) run.workingSet = memory.WorkingSetSize;
  if (seen.main != nullptr) {
    PostMessageA(seen.main, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    EnumWindows(
        [](HWND window, LPARAM id) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == static_cast<DWORD>(id)) PostMessageA(window, WM_CLOSE, 0, 0);
          return TRUE;
        },
        static_cast<LPARAM>(process.dwProcessId));
  }
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

// A table of 200 closed notes, spread over the screen, and the settings that show them.
void PrepareFolder(const fs::path& folder) {
  fs::create_directories(folder);
  const std::string path = (folder / memotab::kNoteTableName).string();
  fs::remove(path);
  fs::remove(folder / "MEMOTAB.FPT");
  memotab::CreateTable(path, memotab::NoteTableFields(), memotab::kNoteTableVersion, memotab::kNoteTableCodePage);
  memotab::Table table = memotab::Table::Open(path, memotab::FileAccess::kReadWriteAlone);
  for (int i = 0; i < 200; ++i) {
    table.AppendBlank();
    table.SetNumber(memotab::Nota::X1, 10 + i % 50);
    table.SetNumber(memotab::Nota::Y1, 8 + i % 25);
    table.SetNumber(memotab::Nota::X2, 35 + i % 50);
    table.SetNumber(memotab::Nota::Y2, 23 + i % 25);
    table.SetNumber(memotab::Nota::CLRNOTA, 65535);
    table.SetText(memotab::Nota::TEXTO, "nota " + std::to_string(i + 1));
  }
  table.Close();
  FILE* settings = std::fopen((folder / "Memotab.INI").string().c_str(), "wb");
  if (settings != nullptr) {
    std::fputs("[INICIO]\r\nVER=SI\r\n", settings);
    std::fclose(settings);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const fs::path folder = fs::temp_directory_path() / "memotab-startup-bench";
  std::vector<double> minimal;
  std::vector<double> memotab;
  size_t workingSet = 0;
  for (int i = 0; i < runs; ++i) {
    minimal.push_back(TimeUntilShown(Beside("minimal_window.exe"), folder.parent_path(), "Memotab minimal window", 1).seconds);
    PrepareFolder(folder);  // start-up packs the table and clears the open flags: start afresh
    const Run run = TimeUntilShown(Beside("memotab.exe"), folder, "Nota ", 200);
    memotab.push_back(run.seconds);
    workingSet = std::max(workingSet, run.workingSet);
  }
  // Once more, until the character has come too.
  PrepareFolder(folder);
  const Run withCharacter = TimeUntilShown(Beside("memotab.exe"), folder, "Nota ", 200, true);
  const double floor = Median(minimal);
  const double notes = Median(memotab);
  std::printf("minimal window shown:        %.3f s (median of %d)\n", floor, runs);
  std::printf("memotab, 200th note shown:   %.3f s (median of %d)\n", notes, runs);
  std::printf("ratio:                       %.1f\n", floor > 0 ? notes / floor : 0.0);
  std::printf("working set with 200 notes:  %.1f MiB\n", static_cast<double>(workingSet) / (1024.0 * 1024.0));
  std::printf("and the character shown:     %.1f MiB (after %.3f s)\n",
              static_cast<double>(withCharacter.workingSet) / (1024.0 * 1024.0), withCharacter.seconds);
  fs::remove_all(folder);
  return floor > 0 && notes > 0 ? 0 : 1;
}
