// The assistant's figure, animations and speech on Memotab's own character service.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "assistant_fixture.h"
#include "character_control.h"
#include "character_window.h"
#include "current_directory.h"
#include "event_loop.h"
#include "figure_pictures.h"
#include "speech_balloon.h"

namespace memotab::test {
namespace {

using character::kCharacterWindowClass;
using character::kSpeechBalloonClass;

const std::vector<std::string> kAnimations = {
    "RestPose", "GetAttention", "GetAttentionContinued", "GetAttentionReturn", "Think", "Confused", "Uncertain",
    "Alert", "Pleased", "Explain", "Sad", "Surprised", "Wave", "Decline", "Suggest", "LookDown", "LookDownReturn",
    "LookLeft", "LookLeftReturn", "LookRight", "LookRightReturn", "LookUp", "LookUpReturn"};

std::shared_ptr<TOleAuto> Object(const OleValue& value) {
  const auto* object = std::get_if<std::shared_ptr<TOleAuto>>(&value);
  return object != nullptr ? *object : nullptr;
}

character::Picture NotaAtRest() { return test::RestFrame(*character::BuiltInCharacter()); }

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
  EXPECT_TRUE(test::WaitUntil([&] { return OpaqueDifferences(window, NotaAtRest()) == 0; }));
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
  const character::Picture rest = NotaAtRest();
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
  EXPECT_FALSE(agent->lBusy());  // a failed request is over
  agent->LookLeft();
  agent->GetAttention();
  EXPECT_EQ(Status(), 0);
}

TEST_F(AssistantTest, ALoopingAnimationRunsUntilStop) {
  agent->Show();
  agent->Move(600, 560, 0);
  agent->Animate("Thinking");  // not waited for: a wait for a looping animation would never end
  const std::shared_ptr<TOleAuto> thinking = Object(agent->oChar->Send("PLAY", {std::string("Writing")}));
  ASSERT_TRUE(thinking);
  SYSWAIT(0.5);
  EXPECT_EQ(AsNumber(thinking->Send("STATUS")), 4);
  agent->Stop();
  EXPECT_EQ(AsNumber(thinking->Send("STATUS")), 3);
  EXPECT_EQ(OpaqueDifferences(OwnWindow(kCharacterWindowClass), NotaAtRest()), 0);
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
  EXPECT_EQ(AsNumber(balloon->Send("FONTSIZE")), 72);  // the largest size a balloon takes
  balloon->Set("FONTSIZE", {0.5});
  EXPECT_EQ(AsNumber(balloon->Send("FONTSIZE")), 6);
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
  // Only a frame the figure at rest does not pass for shows that it speaks.
  const auto nota = character::BuiltInCharacter();
  const std::vector<character::Picture> speaking =
      test::FramesUnlike(test::AnimationFrames(*nota, "Speaking"), test::RestFrame(*nota));
  ASSERT_FALSE(speaking.empty());
  std::future<bool> picture = std::async(std::launch::async, [&] {
    if (!test::WaitUntil([&] { return IsWindowVisible(balloon) && test::WindowText(balloon).size() > 12; })) return false;
    RECT both{};
    RECT speech{};
    const HWND figure = OwnWindow(kCharacterWindowClass);
    GetWindowRect(balloon, &speech);
    const RECT figureArea = test::WindowArea(figure);
    UnionRect(&both, &speech, &figureArea);
    // The figure in one of its speaking frames, beside the balloon.
    const test::FigurePicture shown = test::PictureOfFigure(both, figure, speaking, speech);
    shown.shot.Save((Artifacts() / "assistant-speaking.bmp").string());
    return shown.showsFrame && shown.shot.CountColours() > 20;
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
  test::ClickByInput(test::Centre(test::WindowArea(balloon)));  // the user clicks it
  EXPECT_TRUE(test::DispatchUntil([&] { return !IsWindowVisible(balloon); }));

  agent->SayThink("Mmm...");  // a thought: not waited for
  EXPECT_TRUE(IsWindowVisible(balloon));
  EXPECT_TRUE(test::WaitUntil([&] {
    SYSREFRESH();
    return test::WindowText(balloon) == "Mmm...";
  }));
}

TEST_F(AssistantTest, RequestsAreReleasedOnceTheProgramNoLongerHoldsThem) {
  agent->Show();
  const size_t before = character::LiveRequestsForTesting();
  agent->lWait = false;  // requests sent and not kept, as idle animations are
  for (int i = 0; i < 10000; ++i) agent->Move(200 + i % 400, 300, 0);
  agent->Stop();
  EXPECT_LE(character::LiveRequestsForTesting(), before);

  agent->lWait = true;  // the last waited request stays readable while the program keeps it
  agent->Move(300, 300, 0);
  const size_t kept = character::LiveRequestsForTesting();
  EXPECT_LE(kept, before + 1);
  EXPECT_EQ(Status(), 0);
  agent->Move(320, 300, 0);
  EXPECT_EQ(character::LiveRequestsForTesting(), kept);
  EXPECT_EQ(Status(), 0);
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
}  // namespace memotab::test
