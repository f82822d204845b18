// The assistant object on Memotab's own character service, as the program drives it:
// no system service, the built-in objects registered as at start-up.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "balloon_parts.h"
#include "builtin_objects.h"
#include "character_service.h"
#include "current_directory.h"
#include "event_loop.h"
#include "figure.h"
#include "question_balloon.h"
#include "speech_balloon.h"
#include "character_window.h"
#include "t_ms_agent.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

using character::kCharacterWindowClass;
using character::kSpeechBalloonClass;

const std::vector<std::string> kAnimations = {
    "RestPose", "GetAttention", "GetAttentionContinued", "GetAttentionReturn", "Think", "Confused", "Uncertain",
    "Alert", "Pleased", "Explain", "Sad", "Surprised", "Wave", "Decline", "Suggest", "LookDown", "LookDownReturn",
    "LookLeft", "LookLeftReturn", "LookRight", "LookRightReturn", "LookUp", "LookUpReturn"};

std::filesystem::path Artifacts() {
  const std::filesystem::path folder = std::filesystem::current_path() / "artifacts";
  std::filesystem::create_directories(folder);
  return folder;
}

HWND OwnWindow(const char* windowClass) { return test::FindProcessWindow(windowClass, nullptr); }

std::shared_ptr<TOleAuto> Object(const OleValue& value) {
  const auto* object = std::get_if<std::shared_ptr<TOleAuto>>(&value);
  return object != nullptr ? *object : nullptr;
}

// The number of the figure's fully opaque pixels that the screen does not show as the
// frame has them (Xvfb shows no translucency, so only those can be compared).
int OpaqueDifferences(HWND window, const character::Picture& frame) {
  RECT place{};
  GetWindowRect(window, &place);
  const HDC screen = GetDC(nullptr);
  int differences = 0;
  for (int y = 0; y < frame.height; y += 2) {
    for (int x = 0; x < frame.width; x += 2) {
      const uint32_t pixel = frame.pixels[static_cast<size_t>(y * frame.width + x)];
      if (pixel >> 24 != 255) continue;
      const COLORREF shown = GetPixel(screen, place.left + x, place.top + y);
      if (shown != RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF)) ++differences;
    }
  }
  ReleaseDC(nullptr, screen);
  return differences;
}

class AssistantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    character::RegisterCharacterService();
    agent = TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = "", .lSound = true});
    agent->SetBalloon({}, 0, true);  // as the program does: balloons stay until clicked
    agent->lWait = true;
  }
  void TearDown() override {
    if (agent->IsVisible()) {
      agent->Stop();
      agent->Hide();
    }
    agent->End();
    UnregisterBuiltInObject(kAgentProgId);
    UnregisterBuiltInObject(kBalloonProgId);
  }
  double Status() { return AsNumber(agent->oResp->Send("STATUS"), -1); }
  character::Picture RestFrame() {
    const auto figure = character::BuiltInCharacter();
    character::Picture rest;
    ComposeFrame(*figure, figure->frames[figure->Find(character::kRestPose)->frames.back()], rest);
    return rest;
  }
  // Answers the next question balloon of this caption the way `answer` says.
  std::future<bool> WhenBalloonAsks(const std::string& caption, std::function<void(HWND)> answer) {
    return test::WhenWindowAppears<bool>(caption, [answer](HWND balloon) {
      if (balloon == nullptr) return false;
      char windowClass[64] = {};
      GetClassNameA(balloon, windowClass, sizeof windowClass);
      if (std::string(windowClass) != character::kQuestionBalloonClass) return false;
      Sleep(200);  // as a person would look before answering
      answer(balloon);
      return true;
    });
  }

  std::shared_ptr<TMsAgent> agent;
};

TEST_F(AssistantTest, OurCharacterIsLoadedHiddenAndShowsHidesAndMoves) {
  ASSERT_TRUE(agent->lOK);
  EXPECT_EQ(agent->cName, "Nota");
  EXPECT_FALSE(agent->IsVisible());
  EXPECT_EQ(agent->GetName(), "Nota");
  EXPECT_EQ(agent->GetIntro(), "Una nota adhesiva que te recuerda lo que anotaste");
  EXPECT_EQ(agent->GetWidth(), 128);
  EXPECT_EQ(agent->GetHeight(), 140);
  EXPECT_EQ(agent->cFontNameDEF, "Tahoma");

  agent->Show();
  EXPECT_TRUE(agent->IsVisible());
  EXPECT_EQ(Status(), 0);
  EXPECT_EQ(agent->GetVisibilityCause(), 4);
  agent->Move(1000, 420);
  EXPECT_EQ(agent->GetX(), 1000);
  EXPECT_EQ(agent->GetY(), 420);
  EXPECT_EQ(agent->GetMoveCause(), 2);
  const HWND window = OwnWindow(kCharacterWindowClass);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(test::WaitUntil([&] { return OpaqueDifferences(window, RestFrame()) == 0; }));
  EXPECT_GT(test::SaveWindowPicture(window, (Artifacts() / "assistant-at-rest.bmp").string()), 20);

  agent->Hide();
  EXPECT_FALSE(agent->IsVisible());
  EXPECT_EQ(agent->GetVisibilityCause(), 3);
  agent->Move(260, 180);  // sent even while hidden
  EXPECT_EQ(agent->GetX(), 260);
}

TEST_F(AssistantTest, EveryAnimationThePlayerUsesCompletesAtRest) {
  agent->Show();
  agent->Move(900, 60, 0);
  const HWND window = OwnWindow(kCharacterWindowClass);
  const character::Picture rest = RestFrame();
  for (const std::string& name : kAnimations) {
    SCOPED_TRACE(name);
    const ULONGLONG start = GetTickCount64();
    agent->Animate(name);
    EXPECT_EQ(Status(), 0);
    if (name != "RestPose") {
      EXPECT_GT(GetTickCount64() - start, 150u);  // it played, it did not just end
    }
    EXPECT_EQ(OpaqueDifferences(window, rest), 0);
  }
  agent->Animate("NoSuchAnimation");  // fails silently
  EXPECT_EQ(Status(), 1);
  agent->LookLeft();
  agent->GetAttention();
  EXPECT_EQ(Status(), 0);
}

TEST_F(AssistantTest, ALoopingAnimationRunsUntilStop) {
  agent->Show();
  agent->Move(600, 560, 0);
  const ULONGLONG start = GetTickCount64();
  agent->Animate("Thinking");  // not waited for
  EXPECT_LT(GetTickCount64() - start, 100u);
  const std::shared_ptr<TOleAuto> thinking = Object(agent->oChar->Send("PLAY", {std::string("Writing")}));
  ASSERT_TRUE(thinking);
  SYSWAIT(0.5);
  EXPECT_EQ(AsNumber(thinking->Send("STATUS")), 4);
  agent->Stop();
  EXPECT_EQ(AsNumber(thinking->Send("STATUS")), 3);
  EXPECT_EQ(OpaqueDifferences(OwnWindow(kCharacterWindowClass), RestFrame()), 0);
}

TEST_F(AssistantTest, NumbersTooLargeOrNotNumbersAtAllAreTakenSafely) {
  agent->Show();
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  agent->oChar->Send("MOVETO", {1e12, -1e12, 0.0});
  EXPECT_EQ(agent->GetX(), work.right - agent->GetWidth());
  EXPECT_EQ(agent->GetY(), work.top);
  agent->oChar->Send("MOVETO", {std::nan(""), 300.0, 0.0});
  EXPECT_EQ(agent->GetX(), work.left);
  EXPECT_EQ(agent->GetY(), 300);

  const std::shared_ptr<TOleAuto> balloon = Object(agent->oChar->Send("BALLOON"));
  ASSERT_TRUE(balloon);
  balloon->Set("FONTSIZE", {1e12});
  EXPECT_GT(AsNumber(balloon->Send("FONTSIZE")), 9);
  balloon->Set("FONTSIZE", {11.0});
  balloon->Set("FONTSIZE", {std::nan("")});  // not a size: the size stays
  EXPECT_EQ(AsNumber(balloon->Send("FONTSIZE")), 11);
  const double style = AsNumber(balloon->Send("STYLE"));
  balloon->Set("STYLE", {std::nan("")});
  EXPECT_EQ(AsNumber(balloon->Send("STYLE")), style);
}

TEST_F(AssistantTest, SpeechEndsWithItsWordsAndABalloonOfStyle11StaysUntilClicked) {
  agent->Show();
  const HWND balloon = OwnWindow(kSpeechBalloonClass);
  ASSERT_NE(balloon, nullptr);
  agent->SetBalloon({}, 0, false);  // style 15
  ULONGLONG start = GetTickCount64();
  agent->Say("Hola, soy tu nota.");
  EXPECT_GT(GetTickCount64() - start, 1000u);  // paced as read
  EXPECT_EQ(Status(), 0);
  EXPECT_FALSE(IsWindowVisible(balloon));

  agent->SetBalloon({}, 0, true);  // style 11
  const std::string text = "Recuerda: reunión a las 9:05 con Ana.";
  std::future<bool> picture = std::async(std::launch::async, [&] {
    if (!test::WaitUntil([&] { return IsWindowVisible(balloon) && test::WindowText(balloon).size() > 12; })) return false;
    RECT both{};
    RECT figure{};
    GetWindowRect(balloon, &both);
    GetWindowRect(OwnWindow(kCharacterWindowClass), &figure);
    UnionRect(&both, &both, &figure);
    return test::SaveScreenPicture(both, (Artifacts() / "assistant-speaking.bmp").string()) > 20;
  });
  start = GetTickCount64();
  agent->Say(text);
  EXPECT_GT(GetTickCount64() - start, 1500u);
  EXPECT_EQ(Status(), 0);  // done with the words, not with a click
  EXPECT_TRUE(picture.get());
  EXPECT_TRUE(IsWindowVisible(balloon));
  EXPECT_EQ(test::WindowText(balloon), text);
  SYSWAIT(0.3);
  EXPECT_TRUE(IsWindowVisible(balloon));
  PostMessageA(balloon, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));  // the user clicks it
  SYSWAIT(0.1);
  EXPECT_FALSE(IsWindowVisible(balloon));

  agent->SayThink("Mmm...");  // a thought: not waited for
  EXPECT_TRUE(IsWindowVisible(balloon));
  EXPECT_TRUE(test::WaitUntil([&] {
    SYSREFRESH();
    return test::WindowText(balloon) == "Mmm...";
  }));
}

TEST_F(AssistantTest, YesNoQuestionsAreAnsweredByClickAndByKeyboard) {
  agent->Show();
  agent->Move(700, 400, 0);
  std::string captions;
  int colours = 0;
  std::future<bool> clicked = WhenBalloonAsks("Memotab v1.6", [&](HWND balloon) {
    RECT both{};
    GetWindowRect(balloon, &both);
    RECT figure{};
    GetWindowRect(OwnWindow(kCharacterWindowClass), &figure);
    UnionRect(&both, &both, &figure);
    colours = test::SaveScreenPicture(both, (Artifacts() / "assistant-asking-yes-no.bmp").string());
    captions = test::WindowText(GetDlgItem(balloon, 6)) + "|" + test::WindowText(GetDlgItem(balloon, 7));
    test::ClickButton(balloon, 6);
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar esta nota?", "Memotab v1.6"), true);
  EXPECT_TRUE(clicked.get());
  EXPECT_EQ(captions, "&Sí|&No");
  EXPECT_GT(colours, 20);
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

TEST_F(AssistantTest, AQuestionKeepsTheOtherWindowsWaitingAndGivesTheFocusBack) {
  agent->Show();
  const HWND other = CreateWindowExA(0, "EDIT", "Nota", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 80, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetFocus(other);
  ASSERT_EQ(GetFocus(), other);
  bool othersWaited = false;
  std::future<bool> answered = WhenBalloonAsks("Memotab v1.6", [&](HWND balloon) {
    othersWaited = !IsWindowEnabled(other) && !IsWindowEnabled(OwnWindow(kCharacterWindowClass)) &&
                   IsWindowEnabled(balloon);
    test::ClickButton(balloon, 7);
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar esta nota?", "Memotab v1.6"), false);
  EXPECT_TRUE(answered.get());
  EXPECT_TRUE(othersWaited);
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(OwnWindow(kCharacterWindowClass)));
  EXPECT_EQ(GetFocus(), other);
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
  for (const bool withFiles : {false, true}) {
    SCOPED_TRACE(withFiles ? "with the sound files" : "without them");
    if (withFiles) {
      std::filesystem::copy_file(MEMOTAB_SOUNDS_DIR "/Aviso.Wav", here.File("Aviso.Wav"));
      std::filesystem::copy_file(MEMOTAB_SOUNDS_DIR "/Error.Wav", here.File("Error.Wav"));
    }
    ULONGLONG start = GetTickCount64();
    ULONGLONG shown = 0;
    bool answeredByKey = false;
    std::future<bool> info = WhenBalloonAsks("Aviso", [&](HWND balloon) {
      shown = GetTickCount64();
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
    if (!withFiles) {
      EXPECT_GE(shown - start, 320u);  // the notice tones came first
    }
    std::future<bool> stop = WhenBalloonAsks("Error", [](HWND balloon) { test::ClickButton(balloon, 1); });
    agent->WStop("No se pudo guardar.", "Error");
    EXPECT_TRUE(stop.get());
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

TEST(AssistantFiles, AFileTheServiceCannotReadGivesOurFirstCharacter) {
  test::InTempDirectory here;
  character::RegisterCharacterService();
  for (const char* content : {"ACSF\x01\x02 not ours", "MTPJ\r\n\x1A\n\x01"}) {
    const std::string file = here.File("Extraño.acs");
    std::ofstream(file, std::ios::binary) << content;
    const auto agent = TMsAgent::New({.cName = "Extraño", .lMenu = false, .cFile = file});
    EXPECT_TRUE(agent->lOK);
    EXPECT_EQ(agent->GetName(), "Extraño");
    EXPECT_EQ(agent->GetIntro(), "Una nota adhesiva que te recuerda lo que anotaste");
    agent->End();
  }
  const auto reloj = TMsAgent::New({.cName = "Reloj", .lMenu = false, .cFile = MEMOTAB_CHARACTERS_DIR "/Reloj.mtpj"});
  EXPECT_EQ(reloj->GetIntro(), "Un despertador que no deja pasar ninguna cita");
  reloj->End();

  // Without a file or a name (no characters folder) our own character comes with its name.
  const auto unnamed = TMsAgent::New({.cName = "", .lMenu = false, .cFile = ""});
  ASSERT_TRUE(unnamed->lOK);
  EXPECT_EQ(unnamed->GetName(), "Nota");
  std::future<bool> titled = test::WhenWindowAppears<bool>("Nota", [](HWND box) {
    if (box != nullptr) test::ClickButton(box, IDOK);
    return box != nullptr;
  });
  unnamed->Say("Sin personaje a la vista");  // hidden: an ordinary box, titled by the character
  EXPECT_TRUE(titled.get());
  unnamed->End();
  UnregisterBuiltInObject(kAgentProgId);
  UnregisterBuiltInObject(kBalloonProgId);
}

}  // namespace
}  // namespace memotab
