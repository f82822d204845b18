// The assistant's questions and notices in balloons beside our character, and in the
// system's boxes while it is hidden.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "assistant_fixture.h"
#include "balloon_parts.h"
#include "character_actor.h"
#include "character_window.h"
#include "current_directory.h"
#include "event_loop.h"
#include "note_deletion.h"
#include "startup.h"
#include "figure_pictures.h"
#include "question_balloon.h"
#include "speech_balloon.h"
#include "tone_output.h"

namespace memotab::test {
namespace {

using character::kCharacterWindowClass;
using character::kSpeechBalloonClass;

// Answers the next question balloon of this caption the way `answer` says, once it
// shows and holds the keyboard focus. A balloon that never takes the focus is closed
// with its first button, and a box asking instead of the balloon with No or Cancel, so
// that the test fails instead of waiting for ever.
std::future<bool> WhenBalloonAsks(const std::string& caption, std::function<void(HWND)> answer) {
  return test::WhenWindowAppears<bool>(caption, [answer](HWND balloon) {
    if (balloon == nullptr) return false;
    char windowClass[64] = {};
    GetClassNameA(balloon, windowClass, sizeof windowClass);
    if (std::string(windowClass) != character::kQuestionBalloonClass) {
      test::ClickButton(balloon, GetDlgItem(balloon, IDNO) != nullptr ? IDNO : IDCANCEL);
      return false;
    }
    if (!test::WaitUntil([balloon] { return IsChild(balloon, test::FocusOfThread(balloon)) != FALSE; })) {
      test::ClickButton(balloon, GetDlgCtrlID(FindWindowExA(balloon, nullptr, "Button", nullptr)));
      return false;
    }
    answer(balloon);
    return true;
  });
}

TEST_F(AssistantTest, YesNoQuestionsAreAnsweredByClickAndByKeyboard) {
  agent->Show();
  agent->Move(700, 400, 0);
  std::string captions;
  int colours = 0;
  bool figureAtRest = false;
  RECT asking{};
  RECT figure{};
  std::future<bool> clicked = WhenBalloonAsks("Memotab v1.6", [&](HWND balloon) {
    RECT both{};
    GetWindowRect(balloon, &both);
    asking = both;
    const HWND figureWindow = OwnWindow(kCharacterWindowClass);
    GetWindowRect(figureWindow, &figure);
    UnionRect(&both, &both, &figure);
    // The figure comes back to rest while it asks.
    const test::FigurePicture picture =
        test::PictureOfFigure(both, figureWindow, {test::RestFrame(*character::BuiltInCharacter())}, asking);
    picture.shot.Save((Artifacts() / "assistant-asking-yes-no.bmp").string());
    colours = picture.shot.CountColours();
    figureAtRest = picture.showsFrame;
    captions = test::WindowText(GetDlgItem(balloon, 6)) + "|" + test::WindowText(GetDlgItem(balloon, 7));
    test::ClickButton(balloon, 6);
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar esta nota?", "Memotab v1.6"), true);
  EXPECT_TRUE(clicked.get());
  EXPECT_EQ(captions, "&Sí|&No");
  EXPECT_GT(colours, 20);  // the balloon's text and the figure
  EXPECT_TRUE(figureAtRest);
  // Above the figure, its tail reaches down to the head, below the window's empty top rows.
  EXPECT_LT(asking.bottom, figure.top + 70);
  EXPECT_GT(asking.bottom, figure.top + 30);
  EXPECT_TRUE(agent->lWait);

  std::future<bool> no = WhenBalloonAsks("Memotab v1.6", [](HWND balloon) { test::ClickButton(balloon, 7); });
  EXPECT_EQ(agent->WYesNo("¿Borrar esta nota?", "Memotab v1.6"), false);
  EXPECT_TRUE(no.get());

  std::future<bool> enter = WhenBalloonAsks("Memotab v1.6", [](HWND balloon) {
    test::PressKey(test::FocusOfThread(balloon), VK_RETURN);  // the first button, Yes
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar?", "Memotab v1.6"), true);
  EXPECT_TRUE(enter.get());

  std::future<bool> escape = WhenBalloonAsks("Memotab v1.6", [](HWND balloon) {
    test::PressKey(test::FocusOfThread(balloon), VK_ESCAPE);
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar?", "Memotab v1.6"), false);
  EXPECT_TRUE(escape.get());

  std::future<bool> accessKey = WhenBalloonAsks("Memotab v1.6", [](HWND balloon) {
    PostMessageA(test::FocusOfThread(balloon), WM_CHAR, 'n', 1);  // "&No"
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar?", "Memotab v1.6"), false);
  EXPECT_TRUE(accessKey.get());
}

TEST_F(AssistantTest, AQuestionShowsItsAmpersands) {
  agent->Show();
  const std::string title(24, '&');  // as wide as 24 of them, not 12 access keys
  LONG expected = 0;
  {
    const character::UniqueFont bold = character::BalloonFont(L"", 9, FW_BOLD);
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, bold.get());
    RECT measured{0, 0, 1000, 0};
    DrawTextA(screen, title.c_str(), static_cast<int>(title.size()), &measured, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    expected = measured.right;
  }
  LONG width = 0;
  std::future<bool> answered = WhenBalloonAsks(title, [&](HWND balloon) {
    RECT box{};
    GetWindowRect(balloon, &box);
    width = box.right - box.left;
    test::ClickButton(balloon, 6);
  });
  EXPECT_EQ(agent->WYesNo("Tom & Jerry", title), true);
  EXPECT_TRUE(answered.get());
  EXPECT_GT(width, expected);
}

// What the thread asks of activation and focus once a question is answered: the window it
// activates or focuses, and whether the balloon still showed at that moment. These are the
// program's own requests; where the focus finally rests also depends on the display (under
// a bare X server another program's window or the pointer may take it afterwards).
struct HandBack {
  HWND window;
  bool focus;           // a focus change, else an activation
  bool balloonShowing;
};
struct HandBackLog {
  std::atomic<bool> answered = false;
  std::atomic<HWND> balloon = nullptr;
  std::vector<HandBack> requests;  // written on the test's thread only
};
HandBackLog* handBackLog = nullptr;

LRESULT CALLBACK RecordHandBack(int code, WPARAM wParam, LPARAM lParam) {
  if (handBackLog != nullptr && handBackLog->answered && (code == HCBT_ACTIVATE || code == HCBT_SETFOCUS)) {
    handBackLog->requests.push_back(
        {reinterpret_cast<HWND>(wParam), code == HCBT_SETFOCUS, IsWindowVisible(handBackLog->balloon) != FALSE});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Describe(const std::vector<HandBack>& requests) {
  std::string text;
  for (const HandBack& request : requests) {
    char windowClass[64] = {};
    GetClassNameA(request.window, windowClass, sizeof windowClass);
    text += std::string(request.focus ? " focus " : " activate ") + windowClass +
            (request.balloonShowing ? " (balloon showing)" : "");
  }
  return text;
}

TEST_F(AssistantTest, AQuestionKeepsTheOtherWindowsWaitingAndGivesTheFocusBack) {
  agent->Show();
  const HWND other = CreateWindowExA(0, "EDIT", "Nota", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 80, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  agent->Move(900, 500, 0);
  SetFocus(other);
  ASSERT_EQ(GetFocus(), other);
  HandBackLog log;
  handBackLog = &log;
  const HHOOK hook = SetWindowsHookExA(WH_CBT, &RecordHandBack, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  bool othersWaited = false;
  std::future<bool> answered = WhenBalloonAsks("Memotab v1.6", [&](HWND balloon) {
    othersWaited = !IsWindowEnabled(other) && !IsWindowEnabled(OwnWindow(kCharacterWindowClass)) &&
                   IsWindowEnabled(balloon);
    log.balloon = balloon;
    log.answered = true;
    test::ClickButton(balloon, 7);
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar esta nota?", "Memotab v1.6"), false);
  UnhookWindowsHookEx(hook);
  handBackLog = nullptr;
  EXPECT_TRUE(answered.get());
  EXPECT_TRUE(othersWaited);
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(OwnWindow(kCharacterWindowClass)));
  EXPECT_FALSE(IsWindowVisible(log.balloon));
  // Once answered, the window that had the focus is activated and focused again, and
  // nothing hands the activation or the focus to the balloon.
  const auto asked = [&](bool focus, HWND window) {
    return std::any_of(log.requests.begin(), log.requests.end(),
                       [&](const HandBack& r) { return r.focus == focus && r.window == window; });
  };
  EXPECT_TRUE(asked(false, other)) << Describe(log.requests);
  EXPECT_TRUE(asked(true, other)) << Describe(log.requests);
  EXPECT_FALSE(asked(false, log.balloon) || asked(true, log.balloon)) << Describe(log.requests);
  DestroyWindow(other);
}

TEST_F(AssistantTest, ThreeWayQuestionsAndTypedAnswers) {
  agent->Show();
  bool hasCancel = false;
  std::future<bool> escape = WhenBalloonAsks("Nota", [&](HWND balloon) {
    hasCancel = GetDlgItem(balloon, 2) != nullptr;
    test::PressKey(test::FocusOfThread(balloon), VK_ESCAPE);
  });
  EXPECT_EQ(agent->WYesNoCancel("¿Guardar los cambios?"), 2);
  EXPECT_TRUE(escape.get());
  EXPECT_TRUE(hasCancel);
  std::future<bool> no = WhenBalloonAsks("Nota", [](HWND balloon) { test::ClickButton(balloon, 7); });
  EXPECT_EQ(agent->WYesNoCancel("¿Guardar los cambios?"), 7);
  EXPECT_TRUE(no.get());

  std::future<bool> typed = WhenBalloonAsks("Pregunta", [](HWND balloon) {
    const HWND line = GetDlgItem(balloon, character::kInputLineId);
    for (const char letter : std::string("Año ñandú")) PostMessageA(line, WM_CHAR, static_cast<unsigned char>(letter), 1);
    test::PressKey(line, VK_RETURN);
  });
  EXPECT_EQ(agent->WGet("¿Cómo se llama?", "Pregunta"), "Año ñandú");
  EXPECT_TRUE(typed.get());
  std::future<bool> cancelled = WhenBalloonAsks("Pregunta", [](HWND balloon) { test::ClickButton(balloon, 2); });
  EXPECT_EQ(agent->WGet("¿Cómo se llama?", "Pregunta"), "");
  EXPECT_TRUE(cancelled.get());
}

TEST_F(AssistantTest, NoticesPlayTheirSoundFileOrTheBuiltInTones) {
  test::InTempDirectory here;
  agent->Show();
  agent->cSoundInfo = here.File("Aviso.Wav");
  agent->cSoundStop = here.File("Error.Wav");
  const character::CharacterActor* figure = character::CharacterActor::ShownAt(
      {static_cast<LONG>(agent->GetX()), static_cast<LONG>(agent->GetY())}, static_cast<int>(agent->GetWidth()));
  ASSERT_NE(figure, nullptr);
  const auto nota = character::BuiltInCharacter();
  const character::Picture declining = test::AnimationFrames(*nota, "Decline").front();
  ASSERT_NE(declining.pixels, test::RestFrame(*nota).pixels);
  // The tones played, and what the figure showed when the first one began.
  std::vector<uint32_t> shownAtFirstTone;
  test::RecordedTones tones([&] { shownAtFirstTone = figure->WindowForTesting().ShownForTesting().pixels; });
  for (const bool withFiles : {false, true}) {
    SCOPED_TRACE(withFiles ? "with the sound files" : "without them");
    if (withFiles) {
      std::filesystem::copy_file(MEMOTAB_SOUNDS_DIR "/Aviso.Wav", here.File("Aviso.Wav"));
      std::filesystem::copy_file(MEMOTAB_SOUNDS_DIR "/Error.Wav", here.File("Error.Wav"));
    }
    tones.Clear();
    bool answeredByKey = false;
    std::future<bool> info = WhenBalloonAsks("Aviso", [&](HWND balloon) {
      // Enter answers once the balloon's button holds the focus; a click ends the test if it never does.
      answeredByKey = test::WaitUntil([&] {
        test::PressKey(test::FocusOfThread(balloon), VK_RETURN);
        return test::WaitUntil([&] { return !IsWindowVisible(balloon); }, std::chrono::milliseconds(500));
      });
      if (!answeredByKey) test::ClickButton(balloon, 1);
    });
    agent->WInfo("Se guardó la nota.", "Aviso");
    EXPECT_TRUE(info.get());
    EXPECT_TRUE(answeredByKey);
    EXPECT_EQ(tones.Frequencies(), (withFiles ? std::vector<double>{} : std::vector<double>{500, 4000, 2500}));

    tones.Clear();
    std::future<bool> stop = WhenBalloonAsks("Error", [](HWND balloon) { test::ClickButton(balloon, 1); });
    agent->WStop("No se pudo guardar.", "Error");
    EXPECT_TRUE(stop.get());
    EXPECT_EQ(tones.Frequencies(), (withFiles ? std::vector<double>{} : std::vector<double>{300, 499, 700}));
    if (!withFiles) {
      EXPECT_EQ(shownAtFirstTone, declining.pixels);  // the figure declines first, then the tones
    }
  }
}

bool Inside(RECT inner, RECT outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

TEST_F(AssistantTest, ALongTextStaysOnTheScreenAndTheQuestionsButtonsWithinReach) {
  std::string text;
  while (text.size() < 3000) text += "Llevar el coche al taller, comprar pan y llamar a Ana. ";
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  agent->Show();
  const HWND speech = OwnWindow(kSpeechBalloonClass);
  for (const int top : {0, 800}) {  // the balloons hang below the figure, then stand above it
    SCOPED_TRACE(top);
    agent->Move(500, top, 0);
    agent->lWait = false;
    agent->Say(text);
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(speech); }));
    RECT place{};
    GetWindowRect(speech, &place);
    EXPECT_TRUE(Inside(place, work));
    if (top == 800) {
      EXPECT_TRUE(test::WaitUntil([&] {
        SYSREFRESH();
        return test::WindowText(speech).size() > 60;
      }));
      test::SaveWindowPicture(speech, (Artifacts() / "assistant-speaking-long.bmp").string());
    }
    agent->Stop();
    agent->lWait = true;

    bool reachable = false;
    std::future<bool> answered = WhenBalloonAsks("Memotab v1.6", [&](HWND balloon) {
      RECT box{};
      GetWindowRect(balloon, &box);
      reachable = Inside(box, work);
      for (const int button : {6, 7}) {
        RECT key{};
        GetWindowRect(GetDlgItem(balloon, button), &key);
        reachable = reachable && Inside(key, box);
      }
      const HWND textBox = GetDlgItem(balloon, character::kTextBoxId);
      reachable = reachable && textBox != nullptr && (GetWindowLongA(textBox, GWL_STYLE) & WS_VSCROLL);
      if (top == 800) test::SaveWindowPicture(balloon, (Artifacts() / "assistant-asking-long.bmp").string());
      test::ClickButton(balloon, 6);
    });
    EXPECT_EQ(agent->WYesNo(text, "Memotab v1.6"), true);
    EXPECT_TRUE(answered.get());
    EXPECT_TRUE(reachable);
  }
}

TEST(BalloonPlace, AFigureAsFarOutAsTheControlTakesStillHasItsMiddle) {
  // SetCharacterPosition takes places and widths up to a billion: a figure from one to two
  // billion lies far to the right, so the balloon goes to the right edge, its tail that way.
  const RECT work{0, 0, 1280, 800};
  const character::BalloonPlace place =
      character::PlaceBeside({200, 100}, {1'000'000'000, 300, 2'000'000'000, 400}, work);
  EXPECT_EQ(place.topLeft.x, 1080);
  EXPECT_EQ(place.tailX, 180);
}

TEST_F(AssistantTest, QuestionsOfAHiddenCharacterStayInOrdinaryBoxes) {
  std::future<bool> box = test::WhenWindowAppears<bool>("Memotab v1.6", [](HWND window) {
    if (window == nullptr) return false;
    char windowClass[64] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    test::ClickButton(window, IDYES);
    return std::string(windowClass) == "#32770";  // the system's message box
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar?", "Memotab v1.6"), true);
  EXPECT_TRUE(box.get());
}

// The program's deletion questions on a system without a character service of its own:
// our character asks them in its balloon, and only a yes deletes.
class DeletionOnOurCharacterTest : public AppFixture {
 protected:
  DeletionOnOurCharacterTest() {
    UseOurCharacter();
    oAgent->Show();
  }
  bool Deleted(uint32_t recNo) {
    oNota->SetDeletedHidden(false);
    oNota->GoTo(recNo);
    const bool deleted = oNota->Deleted();
    oNota->SetDeletedHidden(true);
    return deleted;
  }
};

TEST_F(DeletionOnOurCharacterTest, TheCharacterAsksInItsBalloonAndOnlyAYesDeletes) {
  ASSERT_TRUE(oAgent->lOK);
  const uint32_t first = AddNote("primera", today, "", "");
  const uint32_t second = AddNote("segunda", today, "", "");

  std::future<bool> no = WhenBalloonAsks(kProgramTitle, [](HWND balloon) { test::ClickButton(balloon, 7); });
  BORRARNOTA(static_cast<int>(first));
  EXPECT_TRUE(no.get());  // asked in the balloon, not in a box
  EXPECT_FALSE(Deleted(first));

  std::future<bool> escape = WhenBalloonAsks(kProgramTitle, [](HWND balloon) {
    test::PressKey(test::FocusOfThread(balloon), VK_ESCAPE);  // no answer is no yes
  });
  BORRARNOTA(static_cast<int>(first));
  EXPECT_TRUE(escape.get());
  EXPECT_FALSE(Deleted(first));

  std::future<bool> yes = WhenBalloonAsks(kProgramTitle, [](HWND balloon) { test::ClickButton(balloon, 6); });
  BORRARNOTA(static_cast<int>(first));
  EXPECT_TRUE(yes.get());
  EXPECT_TRUE(Deleted(first));

  std::future<bool> all = WhenBalloonAsks(kProgramTitle, [](HWND balloon) { test::ClickButton(balloon, 6); });
  ELIMINATODAS();
  EXPECT_TRUE(all.get());
  EXPECT_TRUE(Deleted(second));
}

}  // namespace
}  // namespace memotab::test
