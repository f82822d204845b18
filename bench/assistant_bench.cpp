// The assistant on Memotab's own character service, measured as the program runs it
// (under Wine here): the time to load the character and show it (the built-in one, and with
// a character file as argument, that one read from its file), the processor time it
// takes while it rests and while it speaks, and the process's working set with the
// character shown, and the memory it keeps after many requests: committed memory, the
// bytes our own code holds on its heap, and the bytes held in the process's heaps (the
// system's libraries included). Prints one line per measure.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "win.h"

#include <psapi.h>

#include "builtin_objects.h"
#include "character_control.h"
#include "character_file.h"
#include "character_service.h"
#include "character_window.h"
#include "figure.h"
#include "event_loop.h"
#include "t_ms_agent.h"

namespace {

// The bytes this program's own code holds from operator new, and the blocks.
long long ownBytes = 0;
long long ownBlocks = 0;
// Each block carries its size in front of it.
constexpr size_t kHeader = 16;

void* Take(size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<size_t*>(block) = size;
  ownBytes += static_cast<long long>(size);
  ++ownBlocks;
  return block + kHeader;
}

void Give(void* pointer) {
  if (pointer == nullptr) return;
  auto* block = static_cast<unsigned char*>(pointer) - kHeader;
  ownBytes -= static_cast<long long>(*reinterpret_cast<size_t*>(block));
  --ownBlocks;
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Take(size); }
void* operator new[](size_t size) { return Take(size); }
void operator delete(void* pointer) noexcept { Give(pointer); }
void operator delete[](void* pointer) noexcept { Give(pointer); }
void operator delete(void* pointer, size_t) noexcept { Give(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Give(pointer); }

namespace {

using namespace memotab;

// The bytes in use in all the heaps of the process (the C library's, the system's, OLE's).
long long HeapBytesInUse() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  long long used = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return used;
}

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

// Loads and shows the character of a file and prints how long that took; 1 (and why) when the
// service could not read the file and gave its own first character instead.
int MeasureFromFile(const std::string& file) {
  ULONGLONG start = GetTickCount64();
  // Without a name of its own the character goes by the one its file gives it.
  const auto chosen = TMsAgent::New({.cName = "", .lMenu = false, .cFile = file, .lSound = true});
  const double fromFile = Seconds(start);
  chosen->lWait = true;
  chosen->Show();
  const double shown = Seconds(start);
  const std::string loaded = chosen->GetName();
  const auto width = static_cast<int>(chosen->GetWidth());
  const auto height = static_cast<int>(chosen->GetHeight());
  chosen->Hide();
  chosen->End();
  std::string named;
  try {
    named = character::LoadCharacterFile(file).name;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s cannot be loaded (%s): the service showed its own character instead\n", file.c_str(),
                 error.what());
    return 1;
  }
  if (!chosen->lOK || loaded != named) {
    std::fprintf(stderr, "%s holds %s, but the service showed %s\n", file.c_str(), named.c_str(), loaded.c_str());
    return 1;
  }
  std::printf("load %s from its file %s: %.1f ms; load and show it: %.1f ms (a character of %dx%d)\n", loaded.c_str(),
              file.c_str(), fromFile * 1000, shown * 1000, width, height);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
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

  // Requests as the program makes them all day long (a waited move, its status read), in
  // two rounds: what grows with the number of requests grows again in the second.
  int made = 0;
  for (const int requests : {10000, 40000}) {
    const SIZE_T committedBefore = MemoryCounters().PagefileUsage;
    const long long ownBefore = ownBytes;
    const long long heapsBefore = HeapBytesInUse();
    start = GetTickCount64();
    for (int i = 0; i < requests; ++i) agent->Move(200 + (made + i) % 400, 300, 0);
    made += requests;
    const auto perRequest = [requests](double from, double to) { return (to - from) / requests; };
    std::printf("%d requests (%d in all) in %.1f s: committed memory %.2f MB -> %.2f MB (%+.0f bytes a request); "
                "our own heap use %+lld bytes (%+.2f a request, %lld blocks live, %zu request objects live); "
                "bytes in use in the process's heaps %+lld of %lld (%+.1f a request)\n",
                requests, made, Seconds(start), Megabytes(committedBefore), Megabytes(MemoryCounters().PagefileUsage),
                perRequest(static_cast<double>(committedBefore), static_cast<double>(MemoryCounters().PagefileUsage)),
                ownBytes - ownBefore, perRequest(static_cast<double>(ownBefore), static_cast<double>(ownBytes)),
                ownBlocks, character::LiveRequestsForTesting(), HeapBytesInUse() - heapsBefore, HeapBytesInUse(),
                perRequest(static_cast<double>(heapsBefore), static_cast<double>(HeapBytesInUse())));
  }

  // A window of the figure alone, without requests or automation calls: the cost of drawing
  // one frame (composing it and handing it to the window), and what moving it commits.
  {
    const auto nota = character::BuiltInCharacter();
    character::CharacterWindow window(nota->width, nota->height, {});
    character::Picture frame;
    window.Show();
    constexpr int kFrames = 1000;
    const character::Animation& wave = *nota->Find("Wave");
    start = GetTickCount64();
    for (int i = 0; i < kFrames; ++i) {
      character::ComposeFrame(*nota, nota->frames[wave.frames[static_cast<size_t>(i) % wave.frames.size()]], frame);
      window.Present(frame);
    }
    std::printf("one frame composed and handed to the window: %.3f ms\n", Seconds(start) * 1000 / kFrames);
    const SIZE_T movesBefore = MemoryCounters().PagefileUsage;
    for (int i = 0; i < 10000; ++i) {
      window.MoveTo({200 + i % 400, 300});
      SYSREFRESH();
    }
    std::printf("10000 moves of a figure's window alone: committed memory %+.0f bytes a move\n",
                (static_cast<double>(MemoryCounters().PagefileUsage) - static_cast<double>(movesBefore)) / 10000);
  }

  agent->Hide();
  agent->End();

  // A character read from its file, as the one chosen in the options is loaded at start-up
  // (after the built-in one above, so the service itself is already warm).
  return argc > 1 ? MeasureFromFile(argv[1]) : 0;
}
