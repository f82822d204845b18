// The soak test's eyes inside Wine: it starts memotab.exe, and answers questions about the
// program's windows, the screen and the program's resources, one request per line on
// standard input, one JSON object per line on standard output. It never touches the
// program's windows beyond reading them (and placing Wine's tray window out of the notes'
// way): the soak test acts through the X display as a person does.
//
//   start DIR            starts memotab.exe with DIR as its working directory   {"pid":N}
//   exit-code PID MS     waits up to MS for the program to end        {"code":N|null}
//   main PID             the main window once the program has started  {"hwnd":N}
//   windows PID          the program's top-level windows, shown or not
//   children HWND        every window inside a window, with its id and text
//   text HWND            a control's text, asked of its thread
//   send HWND MSG W L    a message without pointers (BM_GETCHECK, …)    {"result":N}
//   at X Y               the window under a point of the screen
//   pixel X Y            the colour of a point of the screen           {"rgb":[r,g,b]}
//   tray                 Wine's tray window and its icons
//   place HWND X Y       moves a window (Wine's tray window) to a point
//   resources PID        kernel handles, GDI objects (also by kind), windows, memory of the program
//   announcements PID MS what the program announces by itself during MS milliseconds
#include "win.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "gdi_objects.h"
#include "screen_shot.h"
#include "text.h"
#include "ui_driver.h"

namespace memotab::test {
namespace {

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string Quote(const std::wstring& wide) { return JsonString(Utf8(wide)); }

std::string Handle(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }

HWND AsWindow(const std::string& number) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(number))); }

std::string Rect(const RECT& rect) {
  std::ostringstream out;
  out << "[" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom << "]";
  return out.str();
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// The title as the window system keeps it: read without a message, so a busy program
// cannot hold the probe up.
std::wstring TitleOf(HWND window) {
  wchar_t text[4096] = {};
  InternalGetWindowText(window, text, 4096);
  return text;
}

// A window's class, title, visibility and screen rectangles (whole window and client area).
std::string Describe(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x, origin.y);
  std::ostringstream out;
  out << "{\"hwnd\":" << Handle(window) << ",\"class\":" << Quote(ClassOf(window)) << ",\"title\":" << Quote(TitleOf(window))
      << ",\"visible\":" << (IsWindowVisible(window) ? "true" : "false") << ",\"enabled\":"
      << (IsWindowEnabled(window) ? "true" : "false") << ",\"rect\":" << Rect(outer) << ",\"client\":" << Rect(client)
      << ",\"id\":" << GetDlgCtrlID(window) << ",\"owner\":" << Handle(GetWindow(window, GW_OWNER))
      << ",\"topmost\":" << ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "true" : "false") << "}";
  return out.str();
}

std::string List(const char* name, const std::vector<HWND>& windows) {
  std::string out = std::string("{\"") + name + "\":[";
  for (size_t i = 0; i < windows.size(); ++i) out += (i ? "," : "") + Describe(windows[i]);
  return out + "]}";
}

DWORD ProcessOf(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
  std::vector<HWND> all;
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, nullptr, nullptr)) != nullptr) {
    if (ProcessOf(window) == processId) all.push_back(window);
  }
  return all;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

// Every window of a process: top-level ones, message-only ones and all that they hold.
std::vector<HWND> AllWindows(DWORD processId) {
  std::vector<HWND> roots = TopLevelWindows(processId);
  HWND window = nullptr;
  while ((window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr) {
    if (ProcessOf(window) == processId) roots.push_back(window);
  }
  std::vector<HWND> all = roots;
  for (const HWND root : roots) {
    const std::vector<HWND> inside = Descendants(root);
    all.insert(all.end(), inside.begin(), inside.end());
  }
  return all;
}

// How many of a process's windows are Wine's sound thread's (Wine makes it in a process that
// plays a sound, and keeps it for minutes after).
int SoundThreadWindows(DWORD processId) {
  return static_cast<int>(std::ranges::count_if(AllWindows(processId), [](HWND window) {
    return ClassOf(window) == L"Message" && TitleOf(window) == L"Wine's sound thread";
  }));
}

// A control's text, asked of its thread, as a JSON string (null when it does not answer).
std::string ControlTextOf(HWND window) {
  std::wstring text(65536, L'\0');
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           2000, &length)) {
    return "null";
  }
  text.resize(length);
  return Quote(text);
}

// The kernel handles a process holds, from the system's list of every handle (Wine does
// not count them per process).
long long CountKernelHandles(DWORD processId) {
  std::vector<unsigned char> buffer(1 << 20);
  NTSTATUS status = 0;
  while ((status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(SystemHandleInformation),
                                            buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
         static_cast<NTSTATUS>(0xC0000004L)) {  // the list is longer: a larger buffer
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  long long count = 0;
  for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == processId;
  return count;
}

std::string Resources(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return "{\"error\":\"no such process\"}";
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  std::ostringstream out;
  std::string kinds;
  for (const auto& [kind, count] : CountGdiObjectsByKind(process)) {
    kinds += (kinds.empty() ? "" : ",") + JsonString(kind) + ":" + std::to_string(count);
  }
  out << "{\"handles\":" << CountKernelHandles(processId) << ",\"gdi\":" << CountGdiObjects(process)
      << ",\"gdi_kinds\":{" << kinds << "},\"windows\":" << AllWindows(processId).size()
      << ",\"sound_thread_windows\":" << SoundThreadWindows(processId)
      << ",\"private\":" << memory.PrivateUsage << ",\"working_set\":" << memory.WorkingSetSize << "}";
  CloseHandle(process);
  return out.str();
}

std::string At(int x, int y) {
  const HWND window = WindowFromPoint({x, y});
  return "{\"hwnd\":" + Handle(window) + ",\"root\":" + Handle(window ? GetAncestor(window, GA_ROOT) : nullptr) +
         ",\"pid\":" + std::to_string(window ? ProcessOf(window) : 0) + "}";
}

std::string Pixel(int x, int y) {
  const ScreenShot shot({x, y, x + 1, y + 1});
  const std::optional<COLORREF> colour = shot.At(x, y);
  if (!colour) return "{\"rgb\":null}";
  std::ostringstream out;
  out << "{\"rgb\":[" << int{GetRValue(*colour)} << "," << int{GetGValue(*colour)} << "," << int{GetBValue(*colour)} << "]}";
  return out.str();
}

std::string Tray() {
  const HWND tray = FindWindowA(nullptr, "Wine System Tray");
  if (tray == nullptr) return "{\"tray\":null,\"icons\":[]}";
  std::vector<HWND> icons;
  for (HWND icon = GetWindow(tray, GW_CHILD); icon != nullptr; icon = GetWindow(icon, GW_HWNDNEXT)) {
    if (IsWindowVisible(icon)) icons.push_back(icon);
  }
  std::string out = List("icons", icons);
  return "{\"tray\":" + Describe(tray) + "," + out.substr(1);
}

// Watches for what the program announces by itself, looking every few milliseconds: a
// reminder window that a key typed into it closes at once is still seen.
class AnnouncementWatch {
 public:
  // Every new text of a speech balloon ("" once it is hidden) and every new reminder
  // window with its text, in the order seen during `milliseconds`.
  std::string During(DWORD processId, DWORD milliseconds) {
    std::string seen;
    const auto add = [&](HWND window, const char* how, const std::string& text) {
      seen += std::string(seen.empty() ? "" : ",") + "{\"hwnd\":" + Handle(window) + ",\"how\":\"" + how +
              "\",\"text\":" + text + "}";
    };
    const ULONGLONG end = GetTickCount64() + milliseconds;
    do {
      std::set<HWND> balloonsThere;
      for (const HWND window : TopLevelWindows(processId)) {
        const std::wstring kind = ClassOf(window);
        if (kind == L"MemotabSpeechBalloon") {
          balloonsThere.insert(window);
          const std::wstring text = IsWindowVisible(window) ? TitleOf(window) : L"";
          std::wstring& last = balloons_[window];
          if (text != last) add(window, "speech", Quote(last = text));
        } else if (kind == L"#32770" && IsWindowVisible(window) && IsReminderWindow(window) &&
                   reminders_.insert(window).second) {
          add(window, "window", ControlTextOf(GetDlgItem(window, 101)));
        }
      }
      for (auto balloon = balloons_.begin(); balloon != balloons_.end();) {  // a balloon destroyed is hidden
        if (balloonsThere.contains(balloon->first)) {
          ++balloon;
          continue;
        }
        if (!balloon->second.empty()) add(balloon->first, "speech", Quote(L""));
        balloon = balloons_.erase(balloon);
      }
      Sleep(2);
    } while (GetTickCount64() < end);
    return "{\"seen\":[" + seen + "]}";
  }

 private:
  // The window a reminder is shown in: its text box, and none of the reminder dialog's fields.
  static bool IsReminderWindow(HWND window) {
    return TitleOf(window) == L"Recordatorio" && GetDlgItem(window, 101) != nullptr &&
           GetDlgItem(window, 800) == nullptr;
  }

  std::map<HWND, std::wstring> balloons_;  // the last text seen in each balloon
  std::set<HWND> reminders_;  // the reminder windows already reported
};

class Probe {
 public:
  std::string Answer(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::vector<std::string> args;
    for (std::string arg; in >> arg;) args.push_back(arg);
    const auto number = [&](size_t i) { return std::stoi(args.at(i)); };
    if (command == "start") return Start(line.substr(line.find(' ') + 1));
    if (command == "exit-code") return ExitCode(static_cast<DWORD>(number(0)), static_cast<DWORD>(number(1)));
    if (command == "main") return "{\"hwnd\":" + Handle(StartedMainWindow(static_cast<DWORD>(number(0)))) + "}";
    if (command == "windows") return List("windows", TopLevelWindows(static_cast<DWORD>(number(0))));
    if (command == "children") return List("children", Descendants(AsWindow(args.at(0))));
    if (command == "text") return "{\"text\":" + ControlTextOf(AsWindow(args.at(0))) + "}";
    if (command == "send") {
      DWORD_PTR result = 0;
      const bool answered = SendMessageTimeoutW(AsWindow(args.at(0)), static_cast<UINT>(number(1)),
                                                static_cast<WPARAM>(std::stoll(args.at(2))),
                                                static_cast<LPARAM>(std::stoll(args.at(3))), SMTO_ABORTIFHUNG, 2000,
                                                &result) != 0;
      return answered ? "{\"result\":" + std::to_string(static_cast<long long>(result)) + "}" : "{\"result\":null}";
    }
    if (command == "at") return At(number(0), number(1));
    if (command == "pixel") return Pixel(number(0), number(1));
    if (command == "tray") return Tray();
    if (command == "place") {
      const bool moved = SetWindowPos(AsWindow(args.at(0)), HWND_TOPMOST, number(1), number(2), 0, 0,
                                      SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
      return std::string("{\"ok\":") + (moved ? "true" : "false") + "}";
    }
    if (command == "resources") return Resources(static_cast<DWORD>(number(0)));
    if (command == "announcements") {
      return announcements_.During(static_cast<DWORD>(number(0)), static_cast<DWORD>(number(1)));
    }
    return "{\"error\":" + JsonString("unknown request: " + line) + "}";
  }

 private:
  AnnouncementWatch announcements_;

  std::string Start(const std::string& directory) {
    auto program = std::make_unique<ChildProcess>(Quoted(BesideTestProgram(MEMOTAB_EXE_RELATIVE)), directory);
    if (!program->Started()) return "{\"pid\":0}";
    const DWORD id = program->Id();
    programs_[id] = std::move(program);
    return "{\"pid\":" + std::to_string(id) + "}";
  }

  std::string ExitCode(DWORD processId, DWORD milliseconds) {
    const auto found = programs_.find(processId);
    if (found == programs_.end()) return "{\"code\":null}";
    const DWORD code = found->second->WaitForExit(milliseconds);
    return code == STILL_ACTIVE ? "{\"code\":null}" : "{\"code\":" + std::to_string(code) + "}";
  }

  std::map<DWORD, std::unique_ptr<ChildProcess>> programs_;
};

}  // namespace
}  // namespace memotab::test

int main() {
  memotab::test::Probe probe;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::string answer;
    try {
      answer = probe.Answer(line);
    } catch (const std::exception& error) {
      answer = "{\"error\":" + memotab::JsonString(error.what()) + "}";
    }
    std::fputs((answer + "\n").c_str(), stdout);
    std::fflush(stdout);
  }
  return 0;
}
