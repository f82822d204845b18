// memotab.exe with its notes, driven from outside as a person drives it: the X pointer on
// the tray icon in Wine's tray window, on the menus and on the note windows, typing with
// the keyboard; then the table it leaves, read with memotab-db. Also the end of the
// Windows session and two hundred notes shown and hidden again and again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "memotab_program.h"
#include "note_table.h"
#include "program_menus.h"
#include "screen_shot.h"
#include "table.h"
#include "test_files.h"
#include "ui_driver.h"

#include <psapi.h>  // after the Windows headers

namespace memotab {
namespace {

using test::Program;

struct StoredNote {
  int x1, y1;
  int32_t clrNota;
  std::string texto;
};

// A note table in `dir` holding these notes, all closed, and the settings to show them.
void PrepareNotes(const test::TempDir& dir, const std::vector<StoredNote>& notes) {
  Table table = Table::Open(test::CreateNoteTable(dir), FileAccess::kReadWriteAlone);
  for (const StoredNote& note : notes) {
    table.AppendBlank();
    table.SetNumber(Nota::X1, note.x1);
    table.SetNumber(Nota::Y1, note.y1);
    table.SetNumber(Nota::X2, note.x1 + 25);
    table.SetNumber(Nota::Y2, note.y1 + 15);
    table.SetNumber(Nota::CLRNOTA, note.clrNota);
    table.SetNumber(Nota::CLRTEXTO, 0);
    table.SetText(Nota::TEXTO, note.texto);
  }
  std::ofstream(dir.File("Memotab.INI")) << "[INICIO]\r\nVER=SI\r\n";
}

// The visible note windows of a process, by title.
std::map<std::string, HWND> NoteWindows(DWORD processId) {
  std::pair<DWORD, std::map<std::string, HWND>> found{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM data) {
        auto& [process, notes] = *reinterpret_cast<std::pair<DWORD, std::map<std::string, HWND>>*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        const std::string title = test::WindowText(window);
        if (owner == process && IsWindowVisible(window) && title.rfind("Nota ", 0) == 0) notes[title] = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.second;
}

// All the windows of a process, children included.
int WindowCount(DWORD processId) {
  std::pair<DWORD, int> counted{processId, 0};
  EnumWindows(
      [](HWND window, LPARAM data) {
        auto& [process, count] = *reinterpret_cast<std::pair<DWORD, int>*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != process) return TRUE;
        ++count;
        EnumChildWindows(window, [](HWND, LPARAM inner) { return ++*reinterpret_cast<int*>(inner), TRUE; },
                         reinterpret_cast<LPARAM>(&count));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&counted));
  return counted.second;
}

using test::ChooseMenuItem;
using test::ChooseTrayItem;
using test::MenuItemCentre;
using test::MenusOf;
using test::RightClickForMenu;
using test::TrayIcon;
using test::WindowArea;

// The records of a table as memotab-db prints them, one JSON object a line.
std::vector<std::string> Dump(const std::string& table) {
  const std::filesystem::path tool = std::filesystem::path(test::ProgramPath()).parent_path().parent_path() /
                                     "tools" / "memotab-db" / "memotab-db.exe";
  const std::string output = table + ".dump.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = file;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + tool.string() + "\" dump \"" + table + "\"";
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(file);
  std::ifstream in(output);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Record(int recno, bool deleted, const StoredNote& note, bool activada = false) {
  std::ostringstream json;
  json << "{\"recno\":" << recno << ",\"deleted\":" << (deleted ? "true" : "false") << ",\"X1\":" << note.x1
       << ",\"Y1\":" << note.y1 << ",\"X2\":" << note.x1 + 25 << ",\"Y2\":" << note.y1 + 15
       << ",\"CLRTEXTO\":0,\"CLRNOTA\":" << note.clrNota << ",\"TEXTO\":\"" << note.texto
       << "\",\"FECHA\":null,\"HORA\":\"\",\"STATUS\":\"\",\"ACTIVADA\":"
       << (activada ? "true" : "false") << "}";
  return json.str();
}

TEST(NotesProgram, APersonMakesEditsColoursDeletesNotesAndLeavesThroughTheTray) {
  test::TempDir dir;
  const std::vector<StoredNote> notes = {{4, 10, 65535, "primera"}, {32, 10, 16777215, "segunda"}, {60, 10, 65535, "tercera"}};
  PrepareNotes(dir, notes);
  Program program(dir.Path().string());
  ASSERT_NE(program.MainWindow(), nullptr);
  const DWORD id = program.Id();

  // Three notes at their rectangles.
  std::map<std::string, HWND> shown;
  ASSERT_TRUE(test::WaitUntil([&] { return (shown = NoteWindows(id)).size() == 3; }));
  for (int i = 0; i < 3; ++i) {
    const RECT area = WindowArea(shown.at("Nota " + std::to_string(i + 1)));
    EXPECT_EQ(area.left, notes[i].x1 * 8);
    EXPECT_EQ(area.top, notes[i].y1 * 16);
  }
  ASSERT_TRUE(test::WaitUntil([] { return TrayIcon() != nullptr; }));
  for (int i = 0; i < 3; ++i) {  // painted in its colour
    const RECT area = WindowArea(shown.at("Nota " + std::to_string(i + 1)));
    const RECT low{area.left + 4, area.bottom - 12, area.right - 4, area.bottom - 4};
    EXPECT_TRUE(test::WaitUntil([&] { return test::ScreenShot(low).Holds(low, static_cast<COLORREF>(notes[i].clrNota)); }));
  }
  test::ScreenShot({0, 0, 800, 450}).Save(test::ArtifactPath("desktop-notes.bmp"));

  // "Nueva nota" from the tray menu: a fourth note.
  ASSERT_TRUE(ChooseTrayItem(id, 2));
  ASSERT_TRUE(test::WaitUntil([&] { return (shown = NoteWindows(id)).size() == 4; }));
  const RECT fourth = WindowArea(shown.at("Nota 4"));
  // Out of the way of the others, as a person would drag it (its record keeps its place).
  MoveWindow(shown.at("Nota 4"), 900, 500, 201, 241, TRUE);

  // Click the first note's text, type, click its save button.
  const RECT first = WindowArea(shown.at("Nota 1"));
  test::ClickMouse(first.left + 100, first.top + 120);
  HWND editor = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (editor = FindWindowExA(shown.at("Nota 1"), nullptr, "EDIT", nullptr)) != nullptr; }));
  ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOfThread(editor) == editor; }));
  test::Xdotool("key ctrl+End type --delay 40 \" y pan\"");
  EXPECT_TRUE(test::WaitUntil([&] { return test::ControlText(editor).find("pan") != std::string::npos; }));
  test::ClickMouse(first.left + 170, first.top + 8);
  EXPECT_TRUE(test::WaitUntil([&] { return FindWindowExA(shown.at("Nota 1"), nullptr, "EDIT", nullptr) == nullptr; }));

  // The second note's colour: "Color de la NOTA", then "&Verde".
  const RECT second = WindowArea(shown.at("Nota 2"));
  const HWND noteMenu = RightClickForMenu(id, {second.left + 100, second.top + 120});
  ASSERT_NE(noteMenu, nullptr);
  const POINT opener = MenuItemCentre(noteMenu, test::kNoteMenuLayout, 0);
  HWND colours = nullptr;
  EXPECT_TRUE(test::HoverUntil(opener, [&] {
    const std::vector<HWND> menus = MenusOf(id);
    colours = menus.size() == 2 ? (menus[0] == noteMenu ? menus[1] : menus[0]) : nullptr;
    return colours != nullptr;
  }));
  if (colours != nullptr) {
    test::WaitUntilPlaced(colours);
    RECT both = WindowArea(shown.at("Nota 2"));
    const RECT menuArea = WindowArea(noteMenu);
    const RECT coloursArea = WindowArea(colours);
    UnionRect(&both, &both, &menuArea);
    UnionRect(&both, &both, &coloursArea);
    test::ScreenShot(both).Save(test::ArtifactPath("note-menu-program.bmp"));
    EXPECT_TRUE(ChooseMenuItem(id, colours, test::kColourMenuLayout, 2));  // "&Verde"
  }
  EXPECT_TRUE(test::WaitUntil([&] { return MenusOf(id).empty(); }));

  // Delete the third note: the character asks in its question balloon, titled as the
  // program; the answer is yes.
  const RECT third = WindowArea(shown.at("Nota 3"));
  const HWND deleteMenu = RightClickForMenu(id, {third.left + 100, third.top + 120});
  ASSERT_NE(deleteMenu, nullptr);
  std::future<std::string> question = test::WhenWindowAppears<std::string>(
      "Memotab v1.6",
      [](HWND balloon) {
        if (balloon == nullptr) return std::string("(no question)");
        char kind[64] = {};
        GetClassNameA(balloon, kind, sizeof kind);
        test::ClickButton(balloon, IDYES);
        return std::string(kind);
      },
      std::chrono::seconds(10), id);
  EXPECT_TRUE(ChooseMenuItem(id, deleteMenu, test::kNoteMenuLayout, 3));
  EXPECT_EQ(question.get(), "MemotabQuestionBalloon");
  EXPECT_TRUE(test::WaitUntil([&] { return NoteWindows(id).size() == 3; }));

  // "Salir de Memotab v1.6" with notes open.
  ASSERT_TRUE(ChooseTrayItem(id, 16));
  ASSERT_EQ(program.WaitForExit(15000), 0u);

  const StoredNote fourthNote{fourth.left / 8, fourth.top / 16, 65535, ""};
  const std::vector<std::string> expected = {Record(1, false, {4, 10, 65535, "primera y pan"}),
                                             Record(2, false, {32, 10, 32768, "segunda"}),
                                             Record(3, true, notes[2]), Record(4, false, fourthNote)};
  EXPECT_EQ(Dump(dir.File("MEMOTAB.DBF")), expected);
}

TEST(NotesProgram, APersonClosesANoteBeingEditedWithAltF4AndItKeepsItsTextAndOpensAgain) {
  test::TempDir dir;
  PrepareNotes(dir, {{4, 10, 65535, "antes"}, {32, 10, 65535, "otra"}});
  Program program(dir.Path().string());
  ASSERT_NE(program.MainWindow(), nullptr);
  const DWORD id = program.Id();
  std::map<std::string, HWND> shown;
  ASSERT_TRUE(test::WaitUntil([&] { return (shown = NoteWindows(id)).size() == 2; }));
  ASSERT_TRUE(test::WaitUntil([] { return TrayIcon() != nullptr; }));

  const HWND note = shown.at("Nota 1");
  const RECT area = WindowArea(note);
  test::ClickMouse(area.left + 100, area.top + 120);
  HWND editor = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (editor = FindWindowExA(note, nullptr, "EDIT", nullptr)) != nullptr; }));
  ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOfThread(editor) == editor; }));
  test::Xdotool("key ctrl+End type --delay 40 \" y ahora\"");
  ASSERT_TRUE(test::WaitUntil([&] { return test::ControlText(editor) == "antes y ahora"; }));
  test::Xdotool("key alt+F4");
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(note); }));
  EXPECT_EQ(NoteWindows(id).count("Nota 2"), 1u);

  // "Mostrar todas las Notas" opens it again: its record says it is closed.
  ASSERT_TRUE(ChooseTrayItem(id, 7));
  EXPECT_TRUE(test::WaitUntil([&] { return NoteWindows(id).size() == 2; }));
  ASSERT_TRUE(ChooseTrayItem(id, 16));
  ASSERT_EQ(program.WaitForExit(15000), 0u);
  EXPECT_EQ(Dump(dir.File("MEMOTAB.DBF")),
            (std::vector<std::string>{Record(1, false, {4, 10, 65535, "antes y ahora"}),
                                      Record(2, false, {32, 10, 65535, "otra"})}));
}

TEST(NotesProgram, AtTheEndOfTheSessionWhatIsBeingTypedIsStoredAndTheTableClosed) {
  test::TempDir dir;
  PrepareNotes(dir, {{4, 10, 65535, "antes"}});
  Program program(dir.Path().string());
  const HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  std::map<std::string, HWND> shown;
  ASSERT_TRUE(test::WaitUntil([&] { return (shown = NoteWindows(program.Id())).size() == 1; }));
  const HWND note = shown.at("Nota 1");
  PostMessageA(note, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 120));
  PostMessageA(note, WM_LBUTTONUP, 0, MAKELPARAM(100, 120));
  HWND editor = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (editor = FindWindowExA(note, nullptr, "EDIT", nullptr)) != nullptr; }));
  PostMessageA(editor, EM_SETSEL, 5, 5);  // the caret after the stored text
  for (const char c : std::string(" y despu\xE9s")) PostMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_TRUE(test::WaitUntil([&] { return test::ControlText(editor) == "antes y despu\xE9s"; }));

  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer));
  EXPECT_EQ(answer, TRUE);
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &answer));
  // When the message has been handled the table is closed: Windows may end the process now.
  Table table = Table::Open(dir.File("MEMOTAB.DBF"), FileAccess::kReadWriteAlone);
  table.GoTo(1);
  EXPECT_EQ(table.GetText(Nota::TEXTO), "antes y despu\xE9s");
  EXPECT_FALSE(table.GetLogical(Nota::ACTIVADA));
  table.Close();
  EXPECT_EQ(program.WaitForExit(10000), 0u);
}

// The windows and private memory of the program with its notes shown.
struct Footprint {
  int windows = 0;
  size_t privateBytes = 0;
};

Footprint FootprintOf(const Program& program) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  GetProcessMemoryInfo(program.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  return {WindowCount(program.Id()), memory.PrivateUsage};
}

TEST(NotesProgram, TwoHundredNotesHiddenAndShownTenTimesLeaveNoWindowsOrMemoryBehind) {
  test::TempDir dir;
  std::vector<StoredNote> notes;
  for (int i = 0; i < 200; ++i) notes.push_back({10 + i % 50, 8 + i % 25, 65535, "nota " + std::to_string(i + 1)});
  PrepareNotes(dir, notes);
  Program program(dir.Path().string());
  ASSERT_NE(program.MainWindow(), nullptr);
  const DWORD id = program.Id();
  ASSERT_TRUE(test::WaitUntil([&] { return NoteWindows(id).size() == 200; }, std::chrono::seconds(60)));
  ASSERT_TRUE(test::WaitUntil([] { return TrayIcon() != nullptr; }));

  std::vector<Footprint> shown;
  for (int cycle = 1; cycle <= 10; ++cycle) {
    ASSERT_TRUE(ChooseTrayItem(id, 8)) << "Ocultar todas las Notas, cycle " << cycle;
    ASSERT_TRUE(test::WaitUntil([&] { return NoteWindows(id).empty(); }, std::chrono::seconds(30)))
        << NoteWindows(id).size() << " notes still shown, cycle " << cycle;
    ASSERT_TRUE(ChooseTrayItem(id, 7)) << "Mostrar todas las Notas, cycle " << cycle;
    ASSERT_TRUE(test::WaitUntil([&] { return NoteWindows(id).size() == 200; }, std::chrono::seconds(60)))
        << NoteWindows(id).size() << " notes shown, cycle " << cycle;
    ASSERT_TRUE(test::WaitUntil([&] { return MenusOf(id).empty(); }));
    shown.push_back(FootprintOf(program));
  }
  // The first cycle may still fill caches; from then on nothing may grow.
  EXPECT_EQ(shown.back().windows, shown.front().windows);
  EXPECT_LE(shown.back().privateBytes, shown.front().privateBytes + 2 * 1024 * 1024)
      << "private bytes: " << shown.front().privateBytes << " after the first cycle, " << shown.back().privateBytes
      << " after the tenth";
  std::printf("200 notes: %d windows, %zu private bytes after cycle 1, %zu after cycle 10\n", shown.back().windows,
              shown.front().privateBytes, shown.back().privateBytes);
  ASSERT_TRUE(ChooseTrayItem(id, 16));
  EXPECT_EQ(program.WaitForExit(30000), 0u);
}

}  // namespace
}  // namespace memotab
