// A handler that throws leaves the framework as it found it: after the error handler's
// answer (Retry or Default) the window, button or paint routine works as before.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "error_answers.h"
#include "event_loop.h"
#include "note_window.h"
#include "scoped_flag.h"
#include "t_button.h"
#include "t_dialog.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

TEST(ThrowingHandler, AFlagTurnedOffForAWhileIsTurnedOnAgainWhenTheWorkThrows) {
  bool lWait = true;  // as the start-up turns the assistant's waiting off while it shows it
  EXPECT_THROW(
      {
        const ScopedFlag noWait(lWait, false);
        EXPECT_FALSE(lWait);
        throw std::runtime_error("el asistente no aparece");
      },
      std::runtime_error);
  EXPECT_TRUE(lWait);
}

TEST(ThrowingHandler, ValidationThatThrewLetsTheWindowCloseLater) {
  test::AnswerErrors answers;
  const WindowPtr window = test::NoteWindow();
  bool broken = true;
  window->bValid = [&] {
    if (broken) throw std::runtime_error("validación rota");
    return true;
  };
  // A click whose action closes the window, as the toolbar's exit button does.
  window->bLClicked = [](int, int, int, TWindow& clicked) -> Result { return clicked.End(); };
  SendMessageA(window->hWnd, WM_LBUTTONDOWN, 0, 0);
  ASSERT_EQ(answers.errors.size(), 1u);
  EXPECT_FALSE(window->lValidating);
  EXPECT_NE(window->hWnd, nullptr);

  broken = false;
  EXPECT_TRUE(window->End());
  SYSREFRESH();
  EXPECT_EQ(window->hWnd, nullptr);
}

TEST(ThrowingHandler, ButtonWhoseActionThrewAnswersTheNextClick) {
  test::AnswerErrors answers;
  const DialogPtr dialog = TDialog::New({.cResName = "AVISO"});
  std::atomic<int> runs{0};
  TButton::ReDefine(102, [&] {
    if (++runs == 1) throw std::runtime_error("primer clic");
    dialog->End(1);
  }, *dialog);
  std::future<bool> answered = test::WhenWindowAppears<bool>("Recordatorio", [&](HWND window) {
    const HWND button = GetDlgItem(window, 102);
    test::ClickLikeUser(button);
    test::WaitUntil([&] { return runs == 1; });
    test::ClickLikeUser(button);
    const bool second = test::WaitUntil([&] { return runs == 2; }, std::chrono::seconds(2));
    if (!second) test::PressKey(button, VK_ESCAPE);  // a dead button would keep the dialog up for good
    return second;
  });
  dialog->Activate();
  EXPECT_TRUE(answered.get());
  EXPECT_EQ(dialog->nResult, 1);
  EXPECT_EQ(answers.errors.size(), 1u);
}

TEST(ThrowingHandler, PaintThatThrewFreesItsBufferAndRetryPaintsTheSameArea) {
  test::AnswerErrors answers(1);  // Retry once
  const WindowPtr window = test::NoteWindow();
  struct Attempt {
    HDC hDC;
    HGDIOBJ bitmap;
    RECT area;
  };
  std::vector<Attempt> attempts;
  window->bPainted = [&](HDC hDC, const tagPAINTSTRUCT& ps, TWindow&) -> Result {
    attempts.push_back({hDC, GetCurrentObject(hDC, OBJ_BITMAP), ps.rcPaint});
    if (attempts.size() == 1) throw std::runtime_error("pintura rota");
    return std::nullopt;
  };
  ShowWindow(window->hWnd, SW_SHOWNORMAL);
  UpdateWindow(window->hWnd);

  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_EQ(answers.errors.size(), 1u);
  for (const Attempt& attempt : attempts) {
    EXPECT_EQ(GetObjectType(attempt.hDC), 0u) << "memory DC left behind";
    EXPECT_EQ(GetObjectType(attempt.bitmap), 0u) << "buffer bitmap left behind";
  }
  EXPECT_TRUE(EqualRect(&attempts[0].area, &attempts[1].area));
  EXPECT_GT(attempts[1].area.right, 100);
  EXPECT_EQ(window->hDC, nullptr);

  // Painting goes on as usual afterwards.
  InvalidateRect(window->hWnd, nullptr, FALSE);
  UpdateWindow(window->hWnd);
  EXPECT_EQ(attempts.size(), 3u);
  EXPECT_EQ(answers.errors.size(), 1u);
}

}  // namespace
}  // namespace memotab
