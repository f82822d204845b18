// The assistant object against stand-ins for the character service and the balloon
// control, and without any service at all (as on a system that has none).
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "cpu_time.h"
#include "stand_ins.h"
#include "t_ms_agent.h"
#include "t_window.h"
#include "tone_output.h"
#include "ui_driver.h"

namespace memotab {
namespace {

class AgentTest : public ::testing::Test {
 protected:
  std::shared_ptr<TMsAgent> NewAgent() {
    return TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = "C:\\no\\existe\\Nota.acs", .lSound = true});
  }
  // The calls made since the last look, then forgotten.
  std::string Sent() {
    std::string calls = standIns.agent->Joined();
    standIns.agent->Clear();
    return calls;
  }
  void Answer(long code) {
    standIns.balloonAnswer = std::make_shared<VARIANT>();
    VariantInit(standIns.balloonAnswer.get());
    standIns.balloonAnswer->vt = VT_I4;
    standIns.balloonAnswer->lVal = code;
  }

  test::StandIns standIns;
};

TEST_F(AgentTest, CreationLoadsTheCharacterAndSetsItUp) {
  const auto agent = NewAgent();
  ASSERT_TRUE(agent->lOK);
  EXPECT_EQ(agent->cName, "Nota");
  EXPECT_FALSE(agent->cFile.has_value());
  EXPECT_FALSE(agent->lMenu.has_value());
  EXPECT_EQ(agent->lNeedClick, false);
  EXPECT_EQ(agent->cSoundInfo, "");
  EXPECT_EQ(agent->cFontNameDEF, "Tahoma");
  EXPECT_EQ(agent->nFontSizeDEF, 9);
  EXPECT_FALSE(agent->lWait);
  // The file does not exist, so Load gets the name alone.
  EXPECT_EQ(Sent(),
            "Connected=I4:1 Characters() Load(BSTR:Nota) Character(BSTR:Nota) AutoPopupMenu=I4:0 "
            "SoundEffectsOn=I4:1 Name=BSTR:Nota Balloon() Balloon.FontName Balloon.FontSize Balloon.Style=I4:15");
  EXPECT_EQ(standIns.balloon->Joined(), "ButtonsCaptions=BSTR:&Aceptar;&Cancelar;&Anular;&Reintentar;&Ignorar;&Sí;&No");
  agent->SetBalloon({}, 0, true);
  EXPECT_EQ(Sent(), "Balloon.Style=I4:11");
}

TEST_F(AgentTest, ActionsFollowTheirConditions) {
  const auto agent = NewAgent();
  Sent();
  agent->Move(10, 20);  // even hidden, at speed 1000
  agent->Animate("Wave");  // hidden: nothing
  agent->Hide();           // always sent
  EXPECT_EQ(Sent(), "MoveTo(I4:10,I4:20,I4:1000) Visible() Hide()");
  agent->Show();
  EXPECT_EQ(Sent(), "Visible() Show()");
  const std::shared_ptr<TOleAuto> request = agent->oResp;
  agent->Show();  // already visible: nothing is sent, the last request stays
  EXPECT_EQ(Sent(), "Visible()");
  EXPECT_EQ(agent->oResp, request);
  agent->SayThink("hmm");
  EXPECT_EQ(agent->lResp, false);
  EXPECT_FALSE(agent->lBusy());
  EXPECT_EQ(agent->GetX(), 300);
  EXPECT_EQ(agent->GetIntro(), "Una nota que habla");
  agent->End();
  EXPECT_NE(Sent().find("Unload(BSTR:Nota)"), std::string::npos);
}

TEST_F(AgentTest, WaitingFollowsTheRequestsButNotLoopingAnimations) {
  *standIns.requestMilliseconds = 300;
  *standIns.characterVisible = true;
  const auto agent = NewAgent();
  agent->lWait = true;
  agent->Animate("Thinking");
  EXPECT_TRUE(standIns.statusReads->calls.empty());  // a wait for a looping one would never end
  ULONGLONG start = GetTickCount64();
  agent->Animate("Wave");
  EXPECT_GE(GetTickCount64() - start, 290u);
  EXPECT_FALSE(agent->lBusy());
  standIns.statusReads->Clear();
  start = GetTickCount64();
  agent->GetAttention();  // three animations queued, one wait after the last
  EXPECT_GE(GetTickCount64() - start, 290u);
  ASSERT_FALSE(standIns.statusReads->calls.empty());
  for (const std::string& read : standIns.statusReads->calls) EXPECT_EQ(read, "Play(BSTR:GetAttentionReturn)");
}

TEST_F(AgentTest, SpeechOfAHiddenCharacterGoesToABox) {
  const auto agent = NewAgent();
  std::future<std::string> box = test::WhenWindowAppears<std::string>("Nota", [](HWND window) {
    const std::string text = window == nullptr ? "" : test::WindowText(GetDlgItem(window, 0xFFFF));
    if (window != nullptr) test::ClickButton(window, IDOK);
    return text;
  });
  agent->Say("Comprar pan");
  EXPECT_EQ(box.get(), "Comprar pan");
  EXPECT_EQ(Sent().find("Speak"), std::string::npos);
  EXPECT_FALSE(agent->IsVisible());
}

TEST_F(AgentTest, BalloonsOfAVisibleCharacterTellItsAnswer) {
  *standIns.requestMilliseconds = 0;
  *standIns.characterVisible = true;
  const auto agent = NewAgent();
  agent->lWait = true;
  Sent();
  standIns.balloon->Clear();
  Answer(6);
  EXPECT_EQ(agent->WYesNo("¿Borrar?", "Memotab v1.6"), true);
  EXPECT_EQ(Sent(), "Visible() Stop() Visible() Play(BSTR:Confused) Left Top Width Stop() Visible() Play(BSTR:RestPose)");
  EXPECT_EQ(standIns.balloon->Joined(),
            "SetCharacterPosition(I4:300,I4:200,I4:128) MsgBalloon(BSTR:¿Borrar?,I4:68,BSTR:Memotab v1.6)");
  EXPECT_TRUE(agent->lWait);  // restored
  Answer(7);
  EXPECT_EQ(agent->WYesNo("¿Borrar?"), false);
  standIns.balloonAnswer.reset();  // a balloon that fails answers nothing
  EXPECT_EQ(agent->WYesNo("¿Borrar?"), false);
  Answer(2);
  EXPECT_EQ(agent->WYesNoCancel("¿Guardar?"), 2);
  standIns.balloon->Clear();
  agent->WInfo("Listo");
  EXPECT_EQ(standIns.balloon->calls.back(), "MsgBalloon(BSTR:Listo,I4:64,BSTR:Nota)");
  agent->WStop("Error");
  EXPECT_EQ(standIns.balloon->calls.back(), "MsgBalloon(BSTR:Error,I4:16,BSTR:Nota)");
  EXPECT_NE(Sent().find("Play(BSTR:Decline)"), std::string::npos);
  agent->WTip("Consejo");
  EXPECT_EQ(standIns.balloon->calls.back(), "MsgBalloon(BSTR:Consejo,I4:0)");
  EXPECT_EQ(agent->WGet("¿Nombre?", "Pregunta"), "escrito");
  EXPECT_EQ(standIns.balloon->calls.back(), "InputBalloon(BSTR:¿Nombre?,BSTR:Pregunta)");
}

TEST_F(AgentTest, BalloonsOfAHiddenCharacterUseMessageBoxes) {
  const auto agent = NewAgent();
  std::future<bool> yes = test::WhenWindowAppears<bool>("Memotab v1.6", [](HWND box) {
    if (box != nullptr) test::ClickButton(box, IDYES);
    return box != nullptr;
  });
  EXPECT_EQ(agent->WYesNo("¿Borrar?", "Memotab v1.6"), true);
  EXPECT_TRUE(yes.get());
  std::future<bool> cancel = test::WhenWindowAppears<bool>("Nota", [](HWND box) {
    if (box != nullptr) test::ClickButton(box, IDCANCEL);
    return box != nullptr;
  });
  EXPECT_EQ(agent->WYesNoCancel("¿Guardar?"), 2);
  EXPECT_TRUE(cancel.get());
  std::future<bool> confirmed = test::WhenWindowAppears<bool>("Nota", [](HWND box) {
    if (box != nullptr) test::ClickButton(box, IDOK);
    return box != nullptr;
  });
  EXPECT_EQ(agent->WGet("¿Nombre?"), std::string(100, ' '));
  EXPECT_TRUE(confirmed.get());
  EXPECT_TRUE(standIns.balloon->calls.size() == 1);  // only the captions: no balloon was shown
}

TEST_F(AgentTest, AServiceThatAnswersNoObjectLeavesTheAgentUnavailable) {
  using Failure = test::StandIns::Failure;
  for (const wchar_t* member : {L"Characters", L"Character", L"Balloon"}) {
    for (const Failure failure : {Failure::kException, Failure::kNullObject}) {
      *standIns.failing = {member, failure};
      // An exception is shown once by the bridge, in the service's own words.
      std::future<std::string> exception = test::WhenWindowAppears<std::string>(
          "Servicio",
          [](HWND box) {
            if (box == nullptr) return std::string();
            test::ClickButton(box, IDOK);
            return std::string("shown");
          },
          std::chrono::milliseconds(failure == Failure::kException ? 10000 : 300));
      const auto agent = NewAgent();
      EXPECT_EQ(exception.get(), failure == Failure::kException ? "shown" : "");
      SCOPED_TRACE(test::Narrow(member));
      EXPECT_FALSE(agent->lOK);
      EXPECT_FALSE(agent->cName.has_value());
      EXPECT_EQ(agent->oChar, nullptr);
      // Nothing more reaches the service, so no "OLE Error" box can follow.
      Sent();
      agent->Show();
      agent->Stop();
      EXPECT_EQ(agent->GetName(), "TMsAgent v2.0");
      EXPECT_EQ(Sent(), "");
      agent->End();
    }
  }
}

TEST_F(AgentTest, EndGivesTheCharacterBackOnce) {
  const auto agent = NewAgent();
  agent->End();
  agent->End();
  const std::string calls = Sent();
  EXPECT_NE(calls.find("Unload(BSTR:Nota)"), std::string::npos);
  EXPECT_EQ(calls.find("Unload", calls.find("Unload") + 1), std::string::npos) << calls;
}

TEST_F(AgentTest, WaitingGoesOnWhileTheStatusIsNotFinal) {
  *standIns.requestMilliseconds = 300;
  *standIns.runningStatus = 5;  // a state this program does not know: not finished
  *standIns.characterVisible = true;
  const auto agent = NewAgent();
  agent->lWait = true;
  const ULONGLONG start = GetTickCount64();
  agent->Animate("Wave");
  EXPECT_GE(GetTickCount64() - start, 290u);
  EXPECT_FALSE(agent->lBusy());
}

TEST_F(AgentTest, ARequestThatFailedOrWasInterruptedIsNoLongerBusy) {
  *standIns.requestMilliseconds = 60000;  // it never gets done
  *standIns.characterVisible = true;
  const auto agent = NewAgent();
  agent->lWait = true;
  for (const long final : {1L, 3L}) {
    *standIns.runningStatus = final;
    agent->Animate("Wave");  // the wait ends at once: the request has ended
    EXPECT_FALSE(agent->lBusy()) << final;
  }
  *standIns.runningStatus = 4;
  agent->oResp = std::get<std::shared_ptr<TOleAuto>>(agent->oChar->Send("PLAY", {std::string("Wave")}));
  EXPECT_TRUE(agent->lBusy());  // a request in progress
}

struct SetWhenLeaving {
  std::atomic<bool>& flag;
  ~SetWhenLeaving() { flag = true; }
};

// Answers every box with this caption that appears until `enough` is set; gives how many it answered.
std::future<int> AnswerEveryBox(const std::string& caption, const std::atomic<bool>& enough) {
  return std::async(std::launch::async, [caption, &enough] {
    int answered = 0;
    while (!enough) {
      if (const HWND box = test::FindVisibleWindow(caption); box != nullptr) {
        test::ClickButton(box, IDOK);
        test::WaitUntil([box] { return !IsWindowVisible(box); });
        ++answered;
      }
      Sleep(20);
    }
    return answered;
  });
}

TEST_F(AgentTest, ARequestAnsweredWithAnExceptionIsShownOnceAndNotWaitedFor) {
  *standIns.characterVisible = true;
  *standIns.failing = {L"Play", test::StandIns::Failure::kException};
  const auto agent = NewAgent();
  agent->lWait = true;
  std::atomic<bool> enough = false;  // the boxes are modal: every one has been answered when the calls return
  std::future<int> exceptions = AnswerEveryBox("Servicio", enough);
  std::future<int> otherErrors = AnswerEveryBox("OLE Error", enough);
  {
    const SetWhenLeaving answeredAll{enough};  // also when a call throws: the answering threads end
    agent->Animate("Wave");
    EXPECT_EQ(agent->oResp, nullptr);  // not the character itself
    agent->LookLeft();  // two animations, the second kept
    EXPECT_EQ(agent->oResp, nullptr);
  }
  EXPECT_EQ(exceptions.get(), 3);
  EXPECT_EQ(otherErrors.get(), 0);  // nobody asked the character for a request's Status
}

// A wait for the character run by a timer inside a popup menu's loop, as the reminder tick
// runs inside the tray menu, with the pointer's input queued for the menu.
struct WaitInMenu {
  HWND owner = nullptr;
  TMsAgent* agent = nullptr;
  bool inMenu = false;
  double seconds = 0;
  double cpuSeconds = 0;
};
WaitInMenu* waitInMenu = nullptr;

void CALLBACK AnimateDuringMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  WaitInMenu& state = *waitInMenu;
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  state.inMenu = GetGUIThreadInfo(GetCurrentThreadId(), &thread) && (thread.flags & GUI_INMENUMODE) != 0;
  PostMessageA(state.owner, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // left in the queue for the menu
  const ULONGLONG start = GetTickCount64();
  const double cpu = test::CpuSeconds();
  state.agent->Animate("Wave");
  state.cpuSeconds = test::CpuSeconds() - cpu;
  state.seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  EndMenu();
}

// Runs alone: another program's window that comes to the front would close the menu.
TEST(AgentInsideAMenu, AWaitForARequestSleepsBetweenItsLooks) {
  test::StandIns standIns;
  *standIns.requestMilliseconds = 1000;
  *standIns.characterVisible = true;
  const auto agent = TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = ""});
  agent->lWait = true;
  const WindowPtr owner = TWindow::New({});
  WaitInMenu state{.owner = owner->hWnd, .agent = agent.get()};
  waitInMenu = &state;
  const HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 41, "Primero");
  SetForegroundWindow(owner->hWnd);
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnimateDuringMenu);
  TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 10, 10, 0, owner->hWnd, nullptr);
  KillTimer(nullptr, timer);
  DestroyMenu(menu);
  waitInMenu = nullptr;
  ASSERT_TRUE(state.inMenu);
  EXPECT_GE(state.seconds, 0.95);
  EXPECT_LT(state.cpuSeconds, 0.25 * state.seconds);  // a core spinning would use it all
}

std::vector<HWND> ShownWindowsOfThisThread() {
  std::vector<HWND> shown;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

TEST(AgentWithoutService, EverythingDegradesQuietly) {
  // No stand-ins: the system has no character service and no balloon control.
  const auto agent = TMsAgent::New({.cName = "Pepe", .cFile = "C:\\no\\Pepe.acs"});
  EXPECT_FALSE(agent->lOK);
  EXPECT_FALSE(agent->cName.has_value());
  EXPECT_EQ(agent->GetName(), "TMsAgent v2.0");
  EXPECT_EQ(agent->GetX(), 0);
  EXPECT_EQ(agent->GetY(), 0);
  EXPECT_FALSE(agent->IsVisible());
  EXPECT_FALSE(agent->lBusy());
  // Nothing is asked, shown, sounded or waited for: a wait or a message box would run a
  // message loop, and that would take this message.
  constexpr UINT kLeftWaiting = WM_APP + 1;
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), kLeftWaiting, 0, 0));
  const std::vector<HWND> shownBefore = ShownWindowsOfThisThread();
  const test::RecordedTones tones;
  EXPECT_EQ(agent->WYesNo("¿Borrar?"), std::nullopt);
  EXPECT_EQ(agent->WGet("¿Nombre?"), std::nullopt);
  agent->WInfo("nada");
  agent->WStop("nada");
  agent->Show();
  agent->Animate("Wave");
  agent->End();  // releases nothing of a service
  MSG left{};
  EXPECT_TRUE(PeekMessageA(&left, reinterpret_cast<HWND>(-1), kLeftWaiting, kLeftWaiting, PM_REMOVE));
  EXPECT_EQ(ShownWindowsOfThisThread(), shownBefore);
  EXPECT_TRUE(tones.Frequencies().empty());
  EXPECT_EQ(agent->oWnd->hWnd, nullptr);
}

TEST(Sounds, TonesLastTheirTicks) {
  test::RecordedTones tones;
  TONE(440, 0);
  TONE(440, -3);
  EXPECT_TRUE(tones.Frequencies().empty());  // no length: no tone and no time
  EXPECT_TRUE(tones.Silences().empty());
  ULONGLONG start = GetTickCount64();
  TONE(15, 20);  // too low to sound: the tone and its 20 ticks are skipped, the silent tick stays
  EXPECT_GE(GetTickCount64() - start, 54u);
  EXPECT_TRUE(tones.Frequencies().empty());
  ASSERT_EQ(tones.Silences().size(), 1u);
  EXPECT_NEAR(tones.Silences()[0], 1000 / 18.2, 0.01);
  tones.Clear();
  start = GetTickCount64();
  BADSOUND();  // 7 ticks of tone and 3 silent ones
  EXPECT_GE(GetTickCount64() - start, 545u);
  start = GetTickCount64();
  GOODSOUND();
  EXPECT_GE(GetTickCount64() - start, 325u);
  EXPECT_EQ(tones.Frequencies(), (std::vector<double>{300, 499, 700, 500, 4000, 2500}));
  EXPECT_EQ(tones.Silences().size(), 6u);  // one silent tick after each
}

}  // namespace
}  // namespace memotab
