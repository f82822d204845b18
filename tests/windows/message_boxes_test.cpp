#include "message_boxes.h"

#include <gtest/gtest.h>

#include "ui_driver.h"

namespace memotab {
namespace {

struct BoxSeen {
  bool found = false;
  std::string text;
  bool noIsDefault = false;
};

// Answers the box with this caption by pressing `button`, reporting what it showed.
std::future<BoxSeen> Answer(const std::string& caption, int button) {
  return test::WhenWindowAppears<BoxSeen>(caption, [button](HWND box) {
    BoxSeen seen;
    if (box == nullptr) return seen;
    seen.found = true;
    seen.text = test::WindowText(GetDlgItem(box, 0xFFFF));
    seen.noIsDefault = (GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    test::ClickButton(box, button);
    return seen;
  });
}

TEST(MessageBoxes, InformationBoxShowsTextUnderItsTitle) {
  std::future<BoxSeen> seen = Answer("Memotab v1.6", IDOK);
  MSGINFO("Memotab v1.6 ya está siendo usado!", "Memotab v1.6");
  const BoxSeen box = seen.get();
  EXPECT_TRUE(box.found);
  EXPECT_EQ(box.text, "Memotab v1.6 ya está siendo usado!");

  std::future<BoxSeen> untitled = Answer("Information", IDOK);
  MSGINFO("hola");
  EXPECT_TRUE(untitled.get().found);
}

TEST(MessageBoxes, NoYesIsTrueOnlyForYesAndNoIsTheDefault) {
  std::future<BoxSeen> yes = Answer("Select an option", IDYES);
  EXPECT_TRUE(MSGNOYES("¿Seguro?"));
  EXPECT_TRUE(yes.get().noIsDefault);
  std::future<BoxSeen> no = Answer("Borrar", IDNO);
  EXPECT_FALSE(MSGNOYES("¿Seguro?", "Borrar"));
  EXPECT_TRUE(no.get().found);
}

TEST(MessageBoxes, PlainBoxReturnsTheButtonCode) {
  std::future<BoxSeen> cancel = Answer("Tres botones", IDCANCEL);
  EXPECT_EQ(MESSAGEBOX("¿Guardar?", "Tres botones", 3), 2);
  EXPECT_TRUE(cancel.get().found);
  std::future<BoxSeen> stop = Answer("Stop", IDOK);
  MSGSTOP("Alto");
  EXPECT_EQ(stop.get().text, "Alto");
}

TEST(MessageBoxes, PromptWritesBackOnlyOnOk) {
  std::string value = "inicial";
  std::future<std::string> typed = test::WhenWindowAppears<std::string>("Pregunta", [](HWND dialog) {
    const std::string before = test::ControlText(GetDlgItem(dialog, 101));
    SendDlgItemMessageA(dialog, 101, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nuevo texto"));
    test::ClickButton(dialog, IDOK);
    return before;
  });
  EXPECT_TRUE(MSGGET("Pregunta", "Escriba algo:", value));
  EXPECT_EQ(typed.get(), "inicial");
  EXPECT_EQ(value, "nuevo texto");

  std::future<bool> cancelled = test::WhenWindowAppears<bool>("Pregunta", [](HWND dialog) {
    SendDlgItemMessageA(dialog, 101, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("descartado"));
    test::ClickButton(dialog, IDCANCEL);
    return true;
  });
  EXPECT_FALSE(MSGGET("Pregunta", "Escriba algo:", value));
  EXPECT_TRUE(cancelled.get());
  EXPECT_EQ(value, "nuevo texto");
}

TEST(MessageBoxes, WaitNoteShowsItsTextForTheTimeAndLeavesTheActiveWindowAlone) {
  const HWND user = CreateWindowExA(0, "EDIT", "Nota", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 80, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(user, nullptr);
  SetActiveWindow(user);
  struct Seen {
    RECT rect{};
    bool active = true;  // the note was the active window of the program
  };
  std::future<Seen> shown = test::WhenWindowAppears<Seen>("Espere...", [](HWND note) {
    Seen seen;
    if (note == nullptr) return seen;
    GetWindowRect(note, &seen.rect);
    seen.active = test::ActiveOfThread(note) == note;
    return seen;
  });
  const ULONGLONG start = GetTickCount64();
  MSGWAIT("Espere...", "", 0.5);
  EXPECT_GE(GetTickCount64() - start, 490u);
  const Seen seen = shown.get();
  EXPECT_EQ(seen.rect.right - seen.rect.left, (9 + 4) * 8);
  EXPECT_EQ(seen.rect.bottom - seen.rect.top, 3 * 16);
  EXPECT_FALSE(seen.active);
  EXPECT_EQ(test::FindVisibleWindow("Espere..."), nullptr);
  DestroyWindow(user);
}

}  // namespace
}  // namespace memotab
