#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app_state.h"
#include "current_directory.h"
#include "event_loop.h"
#include "note_table.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::test {

// The program's state as start-up leaves it, without the event loop: an empty note table
// open in a temporary working directory, an assistant without a character, and a stand-in
// main window, so that the note windows the routines open run no loop of their own.
class NotesFixture : public ::testing::Test {
 protected:
  NotesFixture() {
    CreateNoteTable(here.Dir());
    oNota = Table::Open(here.File("MEMOTAB.DBF"), FileAccess::kReadWriteAlone);
    oNota->SetDeletedHidden(true);
    oWndMain = TWindow::New({.cTitle = "Memotab v1.6"});
    SETWNDAPP(oWndMain->hWnd);
    oAgent = TMsAgent::New({.cName = "", .lMenu = false, .cFile = "", .lSound = true});
  }
  ~NotesFixture() override {
    for (const WindowPtr& note : aNoteWindows) {
      if (note && note->hWnd != nullptr) DestroyWindow(note->hWnd);
    }
    aNoteWindows.clear();
    aNoteSays.clear();
    aNoteEditors.clear();
    nLastNote = 0;
    if (oTray) std::exchange(oTray, nullptr)->End();
    oAgent->End();
    oAgent.reset();
    oNota->Close();
    oNota.reset();
    SETWNDAPP(nullptr);
    DestroyWindow(oWndMain->hWnd);
    oWndMain.reset();
  }

  static HWND Note(int nRec) { return aNoteWindows.at(nRec - 1)->hWnd; }
  // The note's child window at a point of its client area (the strip's images, the text).
  static HWND PartAt(int nRec, int x, int y) {
    return ChildWindowFromPointEx(Note(nRec), {x, y}, CWP_SKIPINVISIBLE);
  }
  static HWND SaveButton(int nRec) { return PartAt(nRec, 170, 8); }
  static HWND Editor(int nRec) { return FindWindowExA(Note(nRec), nullptr, "EDIT", nullptr); }

  // Clicks the note's text and waits for its editor.
  static HWND StartEditing(int nRec) {
    ClickLikeUser(Note(nRec), 100, 120);
    HWND editor = nullptr;
    DispatchUntil([&] { return (editor = Editor(nRec)) != nullptr; });
    return editor;
  }
  // Types Windows-1252 text into an edit control, a character at a time ("\r" is Enter).
  static void Type(HWND edit, const std::string& text) {
    for (const char c : text) {
      if (c != '\n') SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
  }
  // Clicks the save button and waits until the note shows its text again.
  static bool Save(int nRec) {
    ClickLikeUser(SaveButton(nRec), 4, 4);
    return DispatchUntil([&] { return Editor(nRec) == nullptr; });
  }
  static std::string StoredText(uint32_t nRec) {
    const uint32_t current = oNota->RecNo();
    oNota->GoTo(nRec);
    std::string text = oNota->GetText(Nota::TEXTO);
    oNota->GoTo(current);
    return text;
  }
  static double Stored(uint32_t nRec, const char* field) {
    const uint32_t current = oNota->RecNo();
    oNota->GoTo(nRec);
    const double value = oNota->GetNumber(field);
    oNota->GoTo(current);
    return value;
  }

  InTempDirectory here;
};

}  // namespace memotab::test
