// The assistant on Memotab's own character service, measured as the program runs it
// (under Wine here): the time to load the character and show it, the processor time it
// takes while it rests and while it speaks, and the process's working set with the
// character shown, and the memory it keeps after many requests. Prints one line per measure.
#include <cstdio>
#include <string>

#include "win.h"

#include <psapi.h>

#include "builtin_objects.h"
#include "character_service.h"
#include "event_loop.h"
#include "t_ms_agent.h"

namespace {

using namespace memotab;

double Seconds(ULONGLONG from) { return static_cast<double>(GetTickCount64() - from) / 1000.0; }

// Processor time (user and kernel) of this process so far, in seconds.
double ProcessorSeconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto seconds = [](FILETIME time) {
    return static_cast<double>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// PagefileUsage is the memory committed for the process alone (Wine leaves PrivateUsage at 0).
PROCESS_MEMORY_COUNTERS_EX MemoryCounters() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters;
}

double Megabytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

double WorkingSetMegabytes() { return Megabytes(MemoryCounters().WorkingSetSize); }

}  // namespace

int main() {
  const double before = WorkingSetMegabytes();
  ULONGLONG start = GetTickCount64();
  character::RegisterCharacterService();
  const auto agent = TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = "", .lSound = true});
  const double loaded = Seconds(start);
  agent->lWait = true;
  agent->Show();
  const double shown = Seconds(start);
  std::printf("load the character: %.1f ms; load and show it: %.1f ms\n", loaded * 1000, shown * 1000);
  std::printf("working set: %.1f MB before, %.1f MB with the character shown\n", before, WorkingSetMegabytes());

  double cpu = ProcessorSeconds();
  start = GetTickCount64();
  SYSWAIT(5.0);
  std::printf("processor while resting: %.2f %% of one core over %.1f s\n",
              100 * (ProcessorSeconds() - cpu) / Seconds(start), Seconds(start));

  agent->SetBalloon({}, 0, false);
  cpu = ProcessorSeconds();
  start = GetTickCount64();
  agent->Say("Buenos días. Hoy tienes tres recordatorios: llamar a Ana a las diez, comprar pan al salir del "
             "trabajo y preparar la reunión del jueves con el equipo de ventas.");
  std::printf("processor while speaking: %.2f %% of one core over %.1f s\n",
              100 * (ProcessorSeconds() - cpu) / Seconds(start), Seconds(start));
  std::printf("working set after speaking: %.1f MB\n", WorkingSetMegabytes());

  // Requests as the program makes them all day long (a waited move, its status read).
  constexpr int kRequests = 10000;
  const SIZE_T privateBefore = MemoryCounters().PagefileUsage;
  start = GetTickCount64();
  for (int i = 0; i < kRequests; ++i) agent->Move(200 + i % 400, 300, 0);
  std::printf("%d requests in %.1f s: committed memory %.2f MB before, %.2f MB after (%+.0f bytes a request)\n",
              kRequests, Seconds(start), Megabytes(privateBefore), Megabytes(MemoryCounters().PagefileUsage),
              (static_cast<double>(MemoryCounters().PagefileUsage) - static_cast<double>(privateBefore)) / kRequests);

  agent->Hide();
  agent->End();
  return 0;
}
