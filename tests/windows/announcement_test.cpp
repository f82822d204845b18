// The "Recordatorio" window on real windows, driven by the keyboard and the pointer: it comes
// active on its button, unless the person is typing in a note or in a dialog; then the keys stay
// where they were typed until the person clicks the window.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "announcement.h"
#include "note_windows.h"
#include "notes_fixture.h"
#include "t_dialog.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

class AnnouncementWindow : public test::NotesFixture {
 protected:
  // Presses and releases each key in turn on the keyboard: the keys go to the foreground window.
  static void PressKeys(std::initializer_list<WORD> virtualKeys) {
    std::vector<INPUT> keys;
    for (const WORD key : virtualKeys) {
      for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT input{.type = INPUT_KEYBOARD};
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        keys.push_back(input);
      }
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)), keys.size());
  }
  static bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return test::DispatchUntil([&] { return GetForegroundWindow() == window; });
  }
  // The shown "Recordatorio" window of this thread other than `besides` (the dialog that sets a
  // reminder has that title too).
  static HWND ShownReminder(HWND besides = nullptr) {
    struct Search {
      HWND besides;
      HWND found = nullptr;
    } search{besides};
    const auto look = [&] {
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND window, LPARAM state) {
            auto* const s = reinterpret_cast<Search*>(state);
            if (window == s->besides || !IsWindowVisible(window) || test::WindowText(window) != "Recordatorio") return TRUE;
            s->found = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr;
    };
    test::DispatchUntil(look);
    return search.found;
  }
  static std::string EditText(HWND edit) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)), '\0');
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size() + 1));
    return text;
  }
  static bool NothingSelected(HWND edit) {
    DWORD start = 1;
    DWORD end = 2;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == end;
  }
};

TEST_F(AnnouncementWindow, WhileANoteIsTypedInItLeavesItTheKeysUntilAClickOnItsCaptionAndThenEscapeClosesIt) {
  if (const std::string why = test::PointerUnavailable(); !why.empty()) GTEST_SKIP() << why;
  NUEVANOTA(true);
  ASSERT_TRUE(BringToFront(Note(1)));
  const HWND editor = StartEditing(1);
  ASSERT_TRUE(test::DispatchUntil([&] { return GetFocus() == editor; }));

  MOSTRARRECORDATORIO("Dentista a las 10");
  const HWND reminder = ShownReminder();
  ASSERT_NE(reminder, nullptr);
  EXPECT_NE(GetWindowLongA(reminder, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetActiveWindow(), Note(1));
  EXPECT_EQ(GetFocus(), editor);
  // An "o" and a space meant for the note go on into it instead of closing the reminder unseen.
  PressKeys({'O', VK_SPACE});
  EXPECT_TRUE(test::DispatchUntil([&] { return EditText(editor) == "o "; })) << EditText(editor);
  EXPECT_TRUE(IsWindowVisible(reminder));

  // The person clicks the reminder's caption: it comes active with the focus on its button.
  RECT frame{};
  GetWindowRect(reminder, &frame);
  POINT client{0, 0};
  ClientToScreen(reminder, &client);
  ASSERT_TRUE(test::ClickMouse(frame.left + 30, (frame.top + client.y) / 2));
  const HWND button = GetDlgItem(reminder, 102);
  EXPECT_TRUE(test::DispatchUntil([&] { return GetActiveWindow() == reminder && GetFocus() == button; }));
  EXPECT_TRUE(NothingSelected(GetDlgItem(reminder, 101)));
  PressKeys({VK_ESCAPE});
  EXPECT_TRUE(test::DispatchUntil([&] { return !IsWindow(reminder); }));
  EXPECT_EQ(EditText(editor), "o ");
}

TEST_F(AnnouncementWindow, WhileADialogsFieldIsTypedInItLeavesTheDialogTheKeysAndFlashesWithATaskbarButton) {
  const DialogPtr dialog = TDialog::New({.cResName = "RECORDATORIO", .oWnd = oWndMain.get()});
  dialog->Activate({.lModal = false});
  const HWND field = GetDlgItem(dialog->hWnd, 102);
  ASSERT_TRUE(BringToFront(dialog->hWnd));
  SetFocus(field);
  ASSERT_EQ(GetFocus(), field);

  MOSTRARRECORDATORIO("Dentista a las 10");
  const HWND reminder = ShownReminder(dialog->hWnd);
  ASSERT_NE(reminder, nullptr);
  EXPECT_EQ(GetActiveWindow(), dialog->hWnd);
  EXPECT_EQ(GetFocus(), field);
  EXPECT_NE(GetWindowLongA(reminder, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  // Escape meant for the dialog closes the dialog, not the reminder.
  PressKeys({VK_ESCAPE});
  EXPECT_TRUE(test::DispatchUntil([&] { return dialog->hWnd == nullptr; }));
  EXPECT_TRUE(IsWindowVisible(reminder));
  if (dialog->hWnd != nullptr) DestroyWindow(dialog->hWnd);
  DestroyWindow(reminder);
}

TEST_F(AnnouncementWindow, ASecondReminderOnTopOfTheFirstTakesTheKeysAndSpaceClosesTheOneOnTop) {
  MOSTRARRECORDATORIO("Primero");
  const HWND first = ShownReminder();
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(test::DispatchUntil([&] { return GetActiveWindow() == first; }));

  MOSTRARRECORDATORIO("Segundo");
  const HWND second = ShownReminder(first);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(test::DispatchUntil([&] { return GetActiveWindow() == second && GetFocus() == GetDlgItem(second, 102); }));
  ASSERT_TRUE(BringToFront(second));
  PressKeys({VK_SPACE});  // on the focused button
  EXPECT_TRUE(test::DispatchUntil([&] { return !IsWindow(second); }));
  EXPECT_TRUE(IsWindowVisible(first));
  if (IsWindow(second)) DestroyWindow(second);
  DestroyWindow(first);
}

TEST_F(AnnouncementWindow, OtherwiseItComesActiveOnItsButtonAndTabReachesALongTextThatScrollsFromTheKeys) {
  NUEVANOTA(true);  // shown, not being edited
  std::string text;
  for (int line = 1; line <= 40; ++line) text += "Renglon " + std::to_string(line) + "\r\n";
  MOSTRARRECORDATORIO(text);
  const HWND reminder = ShownReminder();
  ASSERT_NE(reminder, nullptr);
  const HWND button = GetDlgItem(reminder, 102);
  const HWND shown = GetDlgItem(reminder, 101);
  ASSERT_TRUE(test::DispatchUntil([&] { return GetActiveWindow() == reminder && GetFocus() == button; }));
  ASSERT_TRUE(BringToFront(reminder));
  EXPECT_EQ(SendMessageA(shown, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  PressKeys({VK_TAB});
  ASSERT_TRUE(test::DispatchUntil([&] { return GetFocus() == shown; }));
  PressKeys({VK_NEXT, VK_NEXT});
  EXPECT_TRUE(test::DispatchUntil([&] { return SendMessageA(shown, EM_GETFIRSTVISIBLELINE, 0, 0) > 0; }));
  PressKeys({VK_ESCAPE});
  EXPECT_TRUE(test::DispatchUntil([&] { return !IsWindow(reminder); }));
}

}  // namespace
}  // namespace memotab
