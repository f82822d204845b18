#include "t_ms_agent.h"

#include <algorithm>
#include <array>

#include "win.h"

#include "disk.h"
#include "event_loop.h"
#include "message_boxes.h"

namespace memotab {

namespace {

std::shared_ptr<TOleAuto> AsObject(const OleValue& value) {
  const auto* object = std::get_if<std::shared_ptr<TOleAuto>>(&value);
  return object != nullptr ? *object : nullptr;
}

// The object `receiver` answered with, or nothing: a call that failed gives back the
// receiver itself, and an empty or null answer is no object either.
std::shared_ptr<TOleAuto> AnsweredObject(const TOleAuto& receiver, const OleValue& answer) {
  std::shared_ptr<TOleAuto> object = AsObject(answer);
  if (!object || object->hObj == 0 || object->hObj == receiver.hObj) return nullptr;
  return object;
}

// The final states of a request of the character service; any other state (waiting,
// running, or one this program does not know) means it has not finished yet.
constexpr double kRequestDone = 0;
constexpr double kRequestFailed = 1;
constexpr double kRequestInterrupted = 3;

// Whether a request whose `Status` read gave `status` has finished. A status that cannot
// be read at all counts as finished: the bridge has said why.
bool Finished(const OleValue& status) {
  if (TypeLetter(status) != 'N') return true;
  const double state = AsNumber(status);
  return state == kRequestDone || state == kRequestFailed || state == kRequestInterrupted;
}

}  // namespace

std::shared_ptr<TMsAgent> TMsAgent::New(TMsAgentParams params) {
  std::shared_ptr<TMsAgent> agent(new TMsAgent());
  agent->lWait = params.lWait;
  const int64_t menu = params.lMenu ? 1 : 0;
  const int64_t sound = params.lSound ? 1 : 0;

  // A hidden window that only parents the balloon control; it is never activated.
  agent->oWnd = TWindow::New({});
  agent->oAgent = TOleAuto::New(std::string(kAgentProgId));
  if (agent->oAgent->hObj != 0) {  // without the service there is nothing to connect or ask
    agent->oAgent->Assign("Connected", int64_t{1});
    agent->oChars = AnsweredObject(*agent->oAgent, agent->oAgent->Send("CHARACTERS"));
  }
  agent->oBalloonDlg = TActiveX::New(*agent->oWnd, kBalloonProgId);
  if (!agent->oChars) {
    agent->lOK = false;
    return agent;
  }
  if (FILE_EXISTS(params.cFile)) {
    agent->oChars->Send("LOAD", {params.cName, params.cFile});
  } else {
    agent->oChars->Send("LOAD", {params.cName});
  }
  agent->oChar = AnsweredObject(*agent->oChars, agent->oChars->Send("CHARACTER", {params.cName}));
  if (!agent->oChar) {
    agent->lOK = false;
    return agent;
  }
  agent->cName = params.cName;
  agent->lOK = true;
  agent->oChar->Assign("AutoPopupMenu", menu);
  agent->oChar->Assign("SoundEffectsOn", sound);
  if (!params.cName.empty()) agent->oChar->Assign("Name", params.cName);  // else it keeps its own
  agent->oBalloon = AnsweredObject(*agent->oChar, agent->oChar->Send("BALLOON"));
  if (!agent->oBalloon) {  // a character without its balloon cannot be used: it is given back
    agent->oChars->Send("UNLOAD", {params.cName});
    agent->oChar.reset();
    agent->cName.reset();
    agent->lOK = false;
    return agent;
  }
  agent->cFontNameDEF = AsText(agent->oBalloon->Send("FONTNAME"));
  agent->nFontSizeDEF = AsNumber(agent->oBalloon->Send("FONTSIZE"));
  agent->lNeedClick = false;
  agent->cSoundInfo = "";
  agent->cSoundStop = "";
  agent->cSoundQuestion = "";
  agent->SetBalloon(params.cFontName, params.nFontSize, false);
  agent->oBalloonDlg->SetProp("ButtonsCaptions", std::string(kDefaultButtonCaptions));
  return agent;
}

TMsAgent::~TMsAgent() = default;

void TMsAgent::End() {
  if (!lOK) {
    // Nothing of the service was taken; only the hidden window goes.
    if (oWnd && oWnd->hWnd != nullptr) oWnd->SendMsg(WM_CLOSE);
    return;
  }
  if (ended_) return;  // the character and the runtime hold are given back once
  ended_ = true;
  if (oBalloonDlg && oBalloonDlg->hWnd != nullptr) oBalloonDlg->SendMsg(WM_CLOSE);
  oChars->Send("UNLOAD", {*cName});
  oAgent->End();
  oWnd->End();
  SYSWAIT(0.5);
}

// Actions ---------------------------------------------------------------------------------

void TMsAgent::Request(const std::function<OleValue()>& send) {
  if (!lWait) {
    send();
    return;
  }
  oResp = AnsweredObject(*oChar, send());
  WaitEnd();
}

OleValue TMsAgent::Play(const std::string& cAnimation) { return oChar->Send("PLAY", {cAnimation}); }

void TMsAgent::PlaySequence(std::initializer_list<const char*> animations) {
  lResp = true;
  if (!lOK || !IsVisible()) return;
  for (const char* animation : animations) {
    if (lWait) {
      oResp = AnsweredObject(*oChar, Play(animation));
    } else {
      Play(animation);
    }
  }
  if (lWait) WaitEnd();
}

void TMsAgent::Show() {
  lResp = true;
  if (!lOK || IsVisible()) return;
  Request([this] { return oChar->Send("SHOW"); });
}

void TMsAgent::Hide() {
  lResp = true;
  if (!lOK) return;
  Request([this] { return oChar->Send("HIDE"); });
}

std::string TMsAgent::FallbackTitle() { return lOK ? GetName() : std::string("Asistente"); }

void TMsAgent::Say(const std::string& cText) {
  lResp = true;
  if (!lOK || !IsVisible()) {
    MSGINFO(cText, FallbackTitle());
    return;
  }
  Request([&] { return oChar->Send("SPEAK", {cText}); });
}

void TMsAgent::SayThink(const std::string& cText) {
  lResp = false;
  if (!lOK || !IsVisible()) {
    MSGINFO(cText, FallbackTitle());
    return;
  }
  oChar->Send("THINK", {cText});
}

void TMsAgent::Move(double nX, double nY, double nSpeed) {
  lResp = true;
  if (!lOK) return;
  Request([&] { return oChar->Send("MOVETO", {OleNumber(nX), OleNumber(nY), OleNumber(nSpeed)}); });
}

void TMsAgent::Animate(const std::string& cAnimation) {
  lResp = true;
  if (!lOK || !IsVisible()) return;
  if (IsStaticLooping(cAnimation)) {
    Play(cAnimation);  // a looping animation never finishes: it is not waited for
    return;
  }
  Request([&] { return Play(cAnimation); });
}

void TMsAgent::Stop() {
  lResp = false;
  if (lOK) oChar->Send("STOP");
}

void TMsAgent::GetAttention() { PlaySequence({"GetAttention", "GetAttentionContinued", "GetAttentionReturn"}); }
void TMsAgent::LookDown() { PlaySequence({"LookDown", "LookDownReturn"}); }
void TMsAgent::LookLeft() { PlaySequence({"LookLeft", "LookLeftReturn"}); }
void TMsAgent::LookRight() { PlaySequence({"LookRight", "LookRightReturn"}); }
void TMsAgent::LookUp() { PlaySequence({"LookUp", "LookUpReturn"}); }

bool TMsAgent::IsStaticLooping(const std::string& cAnimation) {
  static constexpr std::array<const char*, 8> kLooping = {"Hearing_1", "Hearing_2", "Hearing_3", "Processing",
                                                          "Reading",   "Searching", "Thinking",  "Writing"};
  return std::any_of(kLooping.begin(), kLooping.end(), [&](const char* name) { return cAnimation == name; });
}

// Properties ------------------------------------------------------------------------------

OleValue TMsAgent::CharacterProperty(const char* name) { return oChar->Send(name); }

std::string TMsAgent::GetName() { return lOK ? AsText(CharacterProperty("NAME")) : kAgentClassName; }
std::string TMsAgent::GetVersion() { return lOK ? AsText(CharacterProperty("VERSION")) : kAgentClassName; }
std::string TMsAgent::GetIntro() { return lOK ? AsText(CharacterProperty("DESCRIPTION")) : kAgentClassName; }
std::string TMsAgent::GetExtraData() { return lOK ? AsText(CharacterProperty("EXTRADATA")) : kAgentClassName; }
bool TMsAgent::UsedByOtherApps() { return lOK && AsLogical(CharacterProperty("HASOTHERCLIENTS")); }
double TMsAgent::GetX() { return lOK ? AsNumber(CharacterProperty("LEFT")) : 0; }
double TMsAgent::GetY() { return lOK ? AsNumber(CharacterProperty("TOP")) : 0; }
double TMsAgent::GetWidth() { return lOK ? AsNumber(CharacterProperty("WIDTH")) : 0; }
double TMsAgent::GetHeight() { return lOK ? AsNumber(CharacterProperty("HEIGHT")) : 0; }
double TMsAgent::GetMoveCause() { return lOK ? AsNumber(CharacterProperty("MOVECAUSE")) : 0; }
double TMsAgent::GetVisibilityCause() { return lOK ? AsNumber(CharacterProperty("VISIBILITYCAUSE")) : 0; }
bool TMsAgent::IsVisible() { return lOK && AsLogical(CharacterProperty("VISIBLE")); }

bool TMsAgent::lBusy() {
  if (!lOK || !lResp.value_or(false) || !oResp) return false;
  return !Finished(oResp->Send("STATUS"));
}

TMsAgent& TMsAgent::WaitEnd() {
  // A request that fails or is interrupted (by a Stop from a nested call) has ended too.
  while (lOK && lResp.value_or(false) && oResp) {
    const std::shared_ptr<TOleAuto> request = oResp;  // a nested call may replace it
    if (Finished(request->Send("STATUS"))) break;
    if (!SYSREFRESH()) break;  // the program is ending: nothing waits for the character any more
    SYSWAIT(0.01);  // inside a popup menu, the input left queued for the menu does not wake it
  }
  return *this;
}

}  // namespace memotab
