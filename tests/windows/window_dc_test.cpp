// Window DCs that the program would take and never give back. Wine keeps window DCs in a cache
// of 64 and reuses its entries, so a DC kept shows in no count of GDI objects (not even with the
// cache held full); the DCs that the program's own code takes and gives back are counted at
// its imports instead, over one round of its actions on notes, menus and dialogs, with their
// painting.
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>

#include "announcement.h"
#include "dc_calls.h"
#include "menus.h"
#include "note_windows.h"
#include "notes_fixture.h"
#include "notes_visibility.h"
#include "options.h"
#include "reminder_dialog.h"
#include "thread_timer.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

class WindowDcs : public test::NotesFixture {
 protected:
  static void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (!test::ShownMenuWindows().empty()) EndMenu();
  }

  // A dialog of this thread, ended by a click on one of its buttons once it is up.
  static void Cancel(const char* caption, int buttonId, const std::function<void()>& open) {
    std::future<bool> done = test::WhenWindowAppears<bool>(caption, [buttonId](HWND dialog) {
      if (dialog == nullptr) return false;
      test::ClickLikeUser(GetDlgItem(dialog, buttonId));
      return test::WaitUntil([dialog] { return !IsWindow(dialog); });
    });
    open();
    EXPECT_TRUE(done.get()) << caption;
  }

  // Two notes shown, painted, one edited and saved, its menu shown and left; the options and
  // the reminder dialog opened and cancelled; a reminder window shown and closed; the notes hidden.
  void OneRound() {
    NUEVANOTA(true);
    NUEVANOTA(true);
    const int first = nLastNote - 1;
    for (const int note : {first, nLastNote}) {
      RedrawWindow(Note(note), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    Type(StartEditing(first), "texto");
    EXPECT_TRUE(Save(first));
    {
      const test::ThreadTimer closer(200, CloseShownMenu);
      MENUPOPUP(20, 20, *aNoteWindows[first - 1], first);
    }
    Cancel("Opciones", 103, [] { OPCIONES(); });
    Cancel("Recordatorio", 104, [first] { RECORDATORIO(static_cast<uint32_t>(first)); });
    MOSTRARRECORDATORIO("Dentista a las 10");
    const HWND reminder = test::FindVisibleWindow("Recordatorio");
    ASSERT_NE(reminder, nullptr);
    test::ClickButton(reminder, 102);
    EXPECT_TRUE(test::DispatchUntil([reminder] { return !IsWindow(reminder); }));
    EXPECT_TRUE(OCULTARNOTAS());
  }

};

TEST_F(WindowDcs, OneRoundOfActionsGivesBackEveryWindowDcItsCodeTakes) {
  OneRound();  // what is made once for these windows is made here
  const test::DcCalls calls;
  OneRound();
  EXPECT_GT(calls.Taken(), 10);  // painting, measuring menu items, the buttons' pictures
  EXPECT_EQ(calls.Kept(), 0);
}

TEST(DcCounting, APaintThatTookNoDcGivesNoneBack) {
  const HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  const test::DcCalls calls;
  PAINTSTRUCT paint{};
  ASSERT_EQ(BeginPaint(gone, &paint), nullptr);
  EndPaint(gone, &paint);
  EXPECT_EQ(calls.Taken(), 0);
  EXPECT_EQ(calls.Kept(), 0);
}

}  // namespace
}  // namespace memotab
