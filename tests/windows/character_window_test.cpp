// The character service's own pieces with real windows: the frame handed to the layered
// window, the hit test, dragging, the request queue and its timer, the work area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <set>

#include "character_actor.h"
#include "character_requests.h"
#include "character_service.h"
#include "event_loop.h"
#include "figure_pictures.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::character {
namespace {

using test::Finished;
using test::WaitUntil;

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

class CharacterActorTest : public ::testing::Test {
 protected:
  std::shared_ptr<const CharacterFile> character = BuiltInCharacter();
  CharacterActor actor{character, nullptr};  // without a voice, wherever the tests run: the words are paced

  Picture RestFrame() const { return test::RestFrame(*character); }
};

TEST_F(CharacterActorTest, TheProgramCarriesItsFirstCharacter) {
  ASSERT_NE(character, nullptr);
  EXPECT_EQ(character->name, "Nota");
  EXPECT_FALSE(actor.Visible());
  EXPECT_FALSE(actor.BusyForTesting());  // nothing is drawn or timed before Show
}

TEST_F(CharacterActorTest, TheLayeredWindowGetsTheComposedFrameAndAnswersOnlyOverTheFigure) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  const Picture rest = RestFrame();
  const CharacterWindow& window = actor.WindowForTesting();
  EXPECT_EQ(BitmapPixels(window.BitmapForTesting(), rest.width, rest.height), rest.pixels);
  const LONG_PTR style = GetWindowLongPtrA(window.Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_EX_LAYERED);
  EXPECT_TRUE(style & WS_EX_TOPMOST);
  EXPECT_TRUE(style & WS_EX_NOACTIVATE);

  const RECT bounds = actor.Bounds();
  const auto hit = [&](int x, int y) {
    return SendMessageA(window.Handle(), WM_NCHITTEST, 0, MAKELPARAM(bounds.left + x, bounds.top + y));
  };
  EXPECT_EQ(hit(rest.width / 2, rest.height / 2), HTCLIENT);  // the note's middle
  EXPECT_EQ(hit(1, 1), HTTRANSPARENT);                      // empty corner: falls through
  EXPECT_EQ(hit(rest.width / 2, rest.height - 9), HTCLIENT);  // the faint shadow: what the system hands over
}

TEST_F(CharacterActorTest, RequestsRunInOrderAndATimerRunsOnlyWhileSomethingMoves) {
  const auto show = actor.Show();
  const auto wave = actor.Play("Wave");
  const auto unknown = actor.Play("Bailar");
  const auto pleased = actor.Play("pleased");  // names in any letter case
  EXPECT_EQ(*show, RequestStatus::kInProgress);
  EXPECT_EQ(*wave, RequestStatus::kPending);
  EXPECT_TRUE(actor.BusyForTesting());
  EXPECT_EQ(Finished(show), RequestStatus::kDone);
  EXPECT_NE(*pleased, RequestStatus::kDone);
  EXPECT_EQ(Finished(wave), RequestStatus::kDone);
  EXPECT_EQ(Finished(unknown), RequestStatus::kFailed);
  EXPECT_EQ(Finished(pleased), RequestStatus::kDone);
  EXPECT_FALSE(actor.BusyForTesting());  // at rest: no timer at all
  EXPECT_EQ(actor.WindowForTesting().ShownForTesting().pixels, RestFrame().pixels);

  const auto looping = actor.Play("Processing");
  SYSWAIT(0.4);
  EXPECT_EQ(*looping, RequestStatus::kInProgress);
  EXPECT_TRUE(actor.BusyForTesting());
  const auto replacing = actor.Play("Alert");  // a later request replaces a looping one
  EXPECT_EQ(*looping, RequestStatus::kInterrupted);
  const auto queued = actor.Play("Sad");
  actor.Stop();
  EXPECT_EQ(*replacing, RequestStatus::kInterrupted);
  EXPECT_EQ(*queued, RequestStatus::kInterrupted);
  EXPECT_FALSE(actor.BusyForTesting());
  EXPECT_EQ(actor.WindowForTesting().ShownForTesting().pixels, RestFrame().pixels);

  EXPECT_EQ(Finished(actor.Hide()), RequestStatus::kDone);
  EXPECT_FALSE(actor.Visible());
  EXPECT_EQ(actor.visibilityCause, VisibilityCause::kProgramHid);
  EXPECT_EQ(Finished(actor.Play("Wave")), RequestStatus::kFailed);  // nobody would see it
  EXPECT_EQ(Finished(actor.Speak(L"Hola")), RequestStatus::kFailed);
}

TEST_F(CharacterActorTest, ALoopingAnimationGivesWayToARequestQueuedBeforeItBegan) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  const auto speech = actor.Speak(L"Hola.");
  const auto thinking = actor.Play("Thinking");  // waits behind the speech, and Wave behind it
  const auto wave = actor.Play("Wave");
  EXPECT_EQ(Finished(wave), RequestStatus::kDone);
  EXPECT_EQ(*speech, RequestStatus::kDone);
  EXPECT_EQ(*thinking, RequestStatus::kInterrupted);
  EXPECT_FALSE(actor.BusyForTesting());
}

TEST_F(CharacterActorTest, AFigureThatIsHidingCountsAsHiddenUntilItIsShownAgain) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  actor.balloon.style = 15;
  const auto hide = actor.Hide();
  EXPECT_EQ(*hide, RequestStatus::kInProgress);
  EXPECT_TRUE(actor.WindowForTesting().Visible());  // still seen going
  EXPECT_FALSE(actor.Visible());                    // but whoever wants it must show it again
  // What the program does when a reminder falls due now: show the figure, then speak.
  const auto show = actor.Show();
  EXPECT_TRUE(actor.Visible());
  const auto speech = actor.Speak(L"Comprar pan.");
  EXPECT_EQ(Finished(speech), RequestStatus::kDone);
  EXPECT_EQ(*hide, RequestStatus::kDone);
  EXPECT_EQ(*show, RequestStatus::kDone);
  EXPECT_TRUE(actor.Visible());
  EXPECT_EQ(actor.visibilityCause, VisibilityCause::kProgramShowed);

  actor.Hide();
  actor.Stop();  // ends the hiding half-way: the figure stays, and says so
  EXPECT_TRUE(actor.Visible());
  EXPECT_EQ(Finished(actor.Hide(), std::chrono::seconds(3)), RequestStatus::kDone);
  EXPECT_FALSE(actor.Visible());
}

TEST_F(CharacterActorTest, MovesFollowAStraightPathAndStayInTheWorkArea) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  EXPECT_EQ(Finished(actor.MoveTo(100, 120, 0)), RequestStatus::kDone);  // a jump
  EXPECT_EQ(actor.Bounds().left, 100);
  EXPECT_EQ(actor.moveCause, MoveCause::kProgram);
  const auto walk = actor.MoveTo(500, 320, 400);
  std::vector<POINT> path;
  EXPECT_TRUE(test::DispatchUntil([&] {
    path.push_back({actor.Bounds().left, actor.Bounds().top});
    return *walk != RequestStatus::kInProgress;
  }));
  EXPECT_EQ(*walk, RequestStatus::kDone);
  EXPECT_EQ(actor.Bounds().left, 500);
  EXPECT_EQ(actor.Bounds().top, 320);
  ASSERT_GT(path.size(), 4u);  // it went there, it did not jump
  for (const POINT& place : path) {  // along the line from (100, 120) to (500, 320)
    EXPECT_NEAR((place.x - 100) * 200.0 / 400.0, place.y - 120.0, 2.0);
  }
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  Finished(actor.MoveTo(work.right + 400, -300, 0));
  EXPECT_EQ(actor.Bounds().right, work.right);
  EXPECT_EQ(actor.Bounds().top, work.top);
}

TEST_F(CharacterActorTest, AFigureLeftOffTheScreenComesBackWhenTheDisplaysOrTheWorkAreaChange) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  Finished(actor.MoveTo(100, 300, 0));
  actor.balloon.style = 11;  // the balloon stays after the words
  ASSERT_EQ(Finished(actor.Speak(L"Hola.")), RequestStatus::kDone);
  const HWND figure = actor.WindowForTesting().Handle();
  const HWND balloon = actor.BalloonForTesting().HandleForTesting();
  ASSERT_TRUE(IsWindowVisible(balloon));
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const std::pair<UINT, WPARAM> changes[] = {{WM_DISPLAYCHANGE, 32}, {WM_SETTINGCHANGE, SPI_SETWORKAREA}};
  for (const auto& [message, wParam] : changes) {
    SCOPED_TRACE(message);
    // Where a monitor unplugged or a smaller resolution leaves it.
    SetWindowPos(figure, nullptr, work.right + 300, work.bottom + 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(figure, message, wParam, 0);
    const RECT bounds = actor.Bounds();
    EXPECT_EQ(bounds.right, work.right);
    EXPECT_EQ(bounds.bottom, work.bottom);
    EXPECT_EQ(test::WindowArea(figure).left, bounds.left);
    const RECT speech = test::WindowArea(balloon);  // beside the figure again
    EXPECT_LT(speech.left, bounds.right);
    EXPECT_GT(speech.right, bounds.left);
    EXPECT_LE(speech.bottom, bounds.top + 80);
  }
  SetWindowPos(figure, nullptr, 100, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(figure, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);  // other settings leave it where it was
  EXPECT_EQ(actor.Bounds().right, work.right);
}

TEST_F(CharacterActorTest, AMoveUnderWayGoesOnFromWhereADisplayChangeLeftTheFigure) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  Finished(actor.MoveTo(100, 200, 0));
  const POINT target{600, 200};
  const auto walk = actor.MoveTo(target.x, target.y, 2000);
  ASSERT_TRUE(test::DispatchUntil([&] { return actor.Bounds().left >= 200; }));
  ASSERT_EQ(*walk, RequestStatus::kInProgress);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const HWND figure = actor.WindowForTesting().Handle();
  SetWindowPos(figure, nullptr, work.right + 300, work.bottom + 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(figure, WM_DISPLAYCHANGE, 32, 0);
  const POINT kept{actor.Bounds().left, actor.Bounds().top};
  EXPECT_EQ(actor.Bounds().right, work.right);
  EXPECT_EQ(actor.Bounds().bottom, work.bottom);

  std::vector<POINT> path;
  EXPECT_TRUE(test::DispatchUntil([&] {
    path.push_back({actor.Bounds().left, actor.Bounds().top});
    return *walk != RequestStatus::kInProgress;
  }));
  EXPECT_EQ(*walk, RequestStatus::kDone);
  EXPECT_EQ(actor.Bounds().left, target.x);
  EXPECT_EQ(actor.Bounds().top, target.y);
  ASSERT_GT(path.size(), 4u);
  // Every step on the line from where it was kept to the target: none back on the old way.
  const double length = std::hypot(target.x - kept.x, target.y - kept.y);
  const auto offLine = [&](const POINT& place) {
    return std::abs(static_cast<double>(place.x - kept.x) * (target.y - kept.y) -
                    static_cast<double>(place.y - kept.y) * (target.x - kept.x)) /
           length;
  };
  const auto farthest =
      std::max_element(path.begin(), path.end(), [&](const POINT& a, const POINT& b) { return offLine(a) < offLine(b); });
  EXPECT_LE(offLine(*farthest), 2.0) << "at " << farthest->x << ", " << farthest->y;
}

TEST_F(CharacterActorTest, TheUserDragsTheFigure) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  Finished(actor.MoveTo(300, 300, 0));
  const HWND window = actor.WindowForTesting().Handle();
  const POINT grip{64, 70};
  SetCursorPos(300 + grip.x, 300 + grip.y);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
  SetCursorPos(300 + grip.x + 90, 300 + grip.y + 40);
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip.x + 90, grip.y + 40));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(grip.x, grip.y));
  EXPECT_EQ(actor.Bounds().left, 390);
  EXPECT_EQ(actor.Bounds().top, 340);
  EXPECT_EQ(actor.moveCause, MoveCause::kUser);
}

TEST_F(CharacterActorTest, TheOwnMenuHidesTheCharacterWhenItIsOffered) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  Finished(actor.MoveTo(200, 420, 0));
  const HWND window = actor.WindowForTesting().Handle();
  actor.autoPopupMenu = false;
  SendMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(64, 70));  // nothing is offered
  EXPECT_TRUE(actor.Visible());

  actor.autoPopupMenu = true;
  // The menu is chosen as a user does it on a bare display: with the mouse.
  std::future<bool> chosen = std::async(std::launch::async, [] {
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = test::FindProcessWindow("#32768", nullptr)) != nullptr && IsWindowVisible(menu); })) {
      return false;
    }
    RECT item{};
    GetWindowRect(menu, &item);
    const POINT onItem{item.left + 20, item.top + (item.bottom - item.top) / 2};
    SetCursorPos(onItem.x, onItem.y);
    // The click goes once the menu has seen the pointer over its item.
    const auto items = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
    if (!WaitUntil([items] { return (GetMenuState(items, 0, MF_BYPOSITION) & MF_HILITE) != 0; })) return false;
    test::ClickByInput(onItem);
    return true;
  });
  SendMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(64, 70));
  EXPECT_TRUE(chosen.get());
  EXPECT_FALSE(actor.Visible());
  EXPECT_EQ(actor.visibilityCause, VisibilityCause::kUserHid);
}

TEST_F(CharacterActorTest, SpeechShowsItsWordsAsTheyAreSaid) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  actor.balloon.style = 15;
  const std::wstring text = L"Mañana a las nueve: llevar el coche al taller.";
  const auto speech = actor.Speak(text);
  const HWND balloon = actor.BalloonForTesting().HandleForTesting();
  std::set<std::wstring> seen;
  EXPECT_TRUE(test::DispatchUntil([&] {
    wchar_t shown[256] = {};
    InternalGetWindowText(balloon, shown, 256);
    seen.insert(shown);
    return *speech != RequestStatus::kInProgress;
  }, std::chrono::seconds(10)));
  EXPECT_EQ(*speech, RequestStatus::kDone);
  EXPECT_GE(seen.size(), 5u);  // word by word
  for (const std::wstring& part : seen) EXPECT_EQ(text.rfind(part, 0), 0u) << "not the start of the text";
  EXPECT_FALSE(actor.BalloonForTesting().IsOpen());  // style 15: it goes with the words
  EXPECT_FALSE(actor.BusyForTesting());
}

TEST_F(CharacterActorTest, HidingInterruptsWhatIsSaidOrDoneAndWhatWaits) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  actor.balloon.style = 15;
  std::wstring longText;
  for (int i = 0; i < 12; ++i) longText += L"Recordar llamar al taller antes de las nueve. ";
  const auto speech = actor.Speak(longText);  // paced, it would take well over ten seconds
  const auto wave = actor.Play("Wave");
  ASSERT_TRUE(actor.BalloonForTesting().IsOpen());
  const auto hide = actor.Hide();
  EXPECT_EQ(*speech, RequestStatus::kInterrupted);
  EXPECT_EQ(*wave, RequestStatus::kInterrupted);
  EXPECT_EQ(*hide, RequestStatus::kInProgress);  // its own animation, straight away
  EXPECT_FALSE(actor.BalloonForTesting().IsOpen());
  EXPECT_EQ(Finished(hide, std::chrono::seconds(3)), RequestStatus::kDone);
  EXPECT_FALSE(actor.Visible());
  EXPECT_EQ(actor.visibilityCause, VisibilityCause::kProgramHid);
  EXPECT_FALSE(actor.BusyForTesting());
}

TEST_F(CharacterActorTest, ASecondHideWhileTheFigureGoesLetsItGoOnce) {
  ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
  const auto first = actor.Hide();
  const auto wave = actor.Play("Wave");
  const auto second = actor.Hide();
  EXPECT_EQ(*first, RequestStatus::kInProgress);  // its animation goes on, not started again
  EXPECT_EQ(*wave, RequestStatus::kInterrupted);
  EXPECT_EQ(*second, RequestStatus::kPending);
  EXPECT_EQ(Finished(second, std::chrono::seconds(3)), RequestStatus::kDone);
  EXPECT_EQ(*first, RequestStatus::kDone);
  EXPECT_FALSE(actor.Visible());
  EXPECT_EQ(actor.visibilityCause, VisibilityCause::kProgramHid);
  EXPECT_FALSE(actor.BusyForTesting());
}

TEST(CharacterBalloonFont, ACharactersOwnSizeIsKeptReadable) {
  for (const auto& [stored, used] : std::vector<std::pair<int, int>>{{0, 6}, {4, 6}, {11, 11}, {200, 72}, {65535, 72}}) {
    auto character = std::make_shared<CharacterFile>(*BuiltInCharacter());
    character->balloonFontSize = stored;
    const CharacterActor actor(character, nullptr);
    EXPECT_EQ(actor.balloon.fontSize, used) << stored;
  }
}

}  // namespace
}  // namespace memotab::character
