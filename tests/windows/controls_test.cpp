// Controls made directly in a window, as a note carries them.
#include <gtest/gtest.h>

#include "about.h"
#include "current_directory.h"
#include "help.h"
#include "note_window.h"
#include "runtime_error.h"
#include "t_bitmap.h"
#include "t_dialog.h"
#include "t_get.h"
#include "t_say.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

TEST(Controls, TextLetsClicksThroughToItsWindow) {
  const WindowPtr note = test::NoteWindow();
  const std::shared_ptr<TSay> text = TSay::New(1.5, 1, [] { return std::string("Comprar pan"); }, *note, 0, 65535, 190, 215);
  RECT place{};
  GetWindowRect(text->hWnd, &place);
  MapWindowPoints(nullptr, note->hWnd, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.top, 24);  // 1.5 x 15 + 2, cut
  EXPECT_EQ(place.left, 6);
  EXPECT_EQ(place.right - place.left, 190);
  EXPECT_EQ(ControlText(text->hWnd), "Comprar pan");
  EXPECT_EQ(SendMessageA(text->hWnd, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  // Its colours are the note's.
  const HDC hDC = GetDC(text->hWnd);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(note->hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                                           reinterpret_cast<LPARAM>(text->hWnd)));
  EXPECT_EQ(GetBkColor(hDC), 65535u);
  LOGBRUSH fill{};
  GetObjectA(brush, sizeof fill, &fill);
  EXPECT_EQ(fill.lbColor, 65535u);
  ReleaseDC(text->hWnd, hDC);
}

TEST(Controls, EditorHandsItsTextBackWhenItLosesTheFocus) {
  const WindowPtr note = test::NoteWindow();
  ShowWindow(note->hWnd, SW_SHOWNORMAL);
  std::string stored = "primera";
  const std::shared_ptr<TMultiGet> editor =
      TMultiGet::New(1.5, 0.5, Bind(stored), *note, 190, 215, {.nClrFore = 0, .nClrBack = 65535, .lNoBorder = true, .lNoVScroll = true});
  EXPECT_EQ(editor->cText(), "primera");
  EXPECT_EQ(GetWindowLongA(editor->hWnd, GWL_STYLE) & (WS_BORDER | WS_VSCROLL), 0);
  EXPECT_NE(GetWindowLongA(editor->hWnd, GWL_STYLE) & ES_MULTILINE, 0);
  SetFocus(editor->hWnd);
  SetWindowTextA(editor->hWnd, "línea 1\r\nlínea 2");
  EXPECT_EQ(stored, "primera");
  SetFocus(note->hWnd);
  EXPECT_EQ(stored, "línea 1\r\nlínea 2");
}

TEST(Controls, PictureChangesAndReportsClicks) {
  const WindowPtr note = test::NoteWindow();
  const std::shared_ptr<TBitmap> save = TBitmap::New(0, 160, 20, 17, "SAVE1", *note);
  ASSERT_TRUE(save->oPicture);
  EXPECT_EQ(save->oPicture->nWidth, 20);
  EXPECT_TRUE(save->LoadImage("SAVE2"));
  EXPECT_EQ(save->oPicture->cName, "SAVE2");
  EXPECT_FALSE(save->LoadImage("NO-SUCH-PICTURE"));
  EXPECT_EQ(save->oPicture->cName, "SAVE2");  // a picture that fails to load leaves the old one
  int clicks = 0;
  save->bLClicked = [&](int, int, int, TWindow&) -> Result {
    ++clicks;
    return std::nullopt;
  };
  SendMessageA(save->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 1);
}

TEST(Controls, EndingAControlTakesItOutOfItsWindow) {
  const WindowPtr note = test::NoteWindow();
  std::string text = "primera";
  const auto say = TSay::New(1.5, 1, [] { return std::string("Comprar pan"); }, *note, 0, 65535, 190, 215);
  std::weak_ptr<TMultiGet> ended;
  HWND editorWindow = nullptr;
  {
    const auto editor = TMultiGet::New(1.5, 0.5, Bind(text), *note, 190, 215, {});
    ended = editor;
    editorWindow = editor->hWnd;
    EXPECT_TRUE(editor->End());
    EXPECT_EQ(editor->hWnd, nullptr);
  }
  EXPECT_FALSE(IsWindow(editorWindow));
  EXPECT_TRUE(ended.expired());  // nothing of it is left behind
  EXPECT_EQ(note->aControls, (std::vector<WindowPtr>{say}));

  // A control made afterwards gets an identifier no other control of the window has.
  const auto next = TSay::New(1.5, 1, [] { return std::string("otra"); }, *note, 0, 65535, 190, 215);
  EXPECT_NE(next->nId, say->nId);
  EXPECT_EQ(note->ControlById(next->nId), next);
}

TEST(Controls, AConditionThatEndsItsControlLeavesTheOthersAsked) {
  const WindowPtr note = test::NoteWindow();
  const auto say = [&] { return TSay::New(1.5, 1, [] { return std::string("Comprar pan"); }, *note, 0, 65535, 190, 215); };
  const auto first = say();
  const auto second = say();
  const auto third = say();
  std::vector<std::string> asked;
  first->bWhen = [&] {
    asked.push_back("first");
    return !first->End();
  };
  second->bWhen = [&] {
    asked.push_back("second");
    return false;
  };
  third->bWhen = [&] {
    asked.push_back("third");
    return true;
  };
  note->AEvalWhen();
  EXPECT_EQ(asked, (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_FALSE(IsWindowEnabled(second->hWnd));
  EXPECT_TRUE(IsWindowEnabled(third->hWnd));
  EXPECT_EQ(note->aControls, (std::vector<WindowPtr>{second, third}));
}

TEST(Controls, OneIdentifierOneControl) {
  const DialogPtr dialog = TDialog::New({.cResName = "ACERCA"});
  TSay::ReDefine(500, [] { return std::string("a"); }, *dialog);
  try {
    TSay::ReDefine(500, [] { return std::string("b"); }, *dialog);
    ADD_FAILURE() << "a second control took the same identifier";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.cDescription, "No:    500");
  }
}

TEST(Help, WithoutHelpFileOrPageTheUserIsTold) {
  test::InTempDirectory here;
  std::future<std::string> told = test::WhenWindowAppears<std::string>("Memotab v1.6", [](HWND box) {
    if (box == nullptr) return std::string();
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    test::ClickButton(box, IDOK);
    return text;
  });
  AYUDA();
  EXPECT_EQ(told.get(), "No se pudo abrir la ayuda:\r\n" + here.File("MEMOTAB.HTML"));
}

TEST(Controls, AControlKeptAfterItsWindowIsGoneForgetsTheWindow) {
  std::shared_ptr<TSay> kept;
  {
    const WindowPtr note = test::NoteWindow();
    kept = TSay::New(1.5, 1, [] { return std::string("Comprar pan"); }, *note, 0, 65535, 190, 215);
    DestroyWindow(note->hWnd);
  }
  EXPECT_EQ(kept->hWnd, nullptr);
  EXPECT_EQ(kept->oWnd, nullptr);
  EXPECT_TRUE(kept->End());
}

}  // namespace
}  // namespace memotab
