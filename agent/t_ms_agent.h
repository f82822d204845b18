#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ole_value.h"
#include "t_activex.h"
#include "t_ole_auto.h"
#include "t_window.h"

namespace memotab {

// The class's identification text: the default character name and what the getters
// return when no character is loaded.
inline constexpr const char* kAgentClassName = "TMsAgent v2.0";
inline constexpr const char* kAgentProgId = "Agent.Control.2";
inline constexpr const char* kBalloonProgId = "BlnDialog.Balloon";
inline constexpr const char* kDefaultButtonCaptions = "&Aceptar;&Cancelar;&Anular;&Reintentar;&Ignorar;&Sí;&No";

// The arguments of TMsAgent::New.
struct TMsAgentParams {
  std::string cName = kAgentClassName;  // the character's name
  bool lMenu = true;                    // the service's own right-click menu
  std::string cFile;                    // the character file (.acs); may be empty
  bool lSound = true;                   // the character's sound effects
  bool lWait = false;
  std::string cFontName;                // the speech balloon's font
  double nFontSize = 0;
};

// One animated character of the assistant service: shown, hidden, moved, animated and
// made to speak; with the modal balloons of its dialog control for notices and questions.
// Every method can be called in any state: without a character (lOK false) actions do
// nothing, speech goes to a message box and the getters give fixed values; with the
// character hidden, speech and balloons fall back to message boxes.
class TMsAgent {
 public:
  static std::shared_ptr<TMsAgent> New(TMsAgentParams params = {});
  TMsAgent(const TMsAgent&) = delete;
  TMsAgent& operator=(const TMsAgent&) = delete;
  ~TMsAgent();

  // Releases the character, the control and the hidden window.
  void End();

  void Show();
  void Hide();
  void Say(const std::string& cText);
  void SayThink(const std::string& cText);
  void Move(double nX, double nY, double nSpeed = 1000);
  void Animate(const std::string& cAnimation);
  void Stop();
  void GetAttention();
  void LookDown();
  void LookLeft();
  void LookRight();
  void LookUp();

  std::string GetName();
  std::string GetVersion();
  std::string GetIntro();
  std::string GetExtraData();
  bool UsedByOtherApps();
  double GetX();
  double GetY();
  double GetWidth();
  double GetHeight();
  double GetMoveCause();
  double GetVisibilityCause();
  bool IsVisible();
  // Whether the last waitable request is still running.
  bool lBusy();
  // Waits, with the event loop running, until the last waitable request has finished.
  TMsAgent& WaitEnd();
  static bool IsStaticLooping(const std::string& cAnimation);

  // Balloons beside the character.
  void SetBalloon(const std::string& cFontName = {}, double nFontSize = 0, std::optional<bool> lNeedClick = std::nullopt);
  void SetDefaultBalloon();
  void BtnsCaption(const std::string& cCaptions = kDefaultButtonCaptions);
  void WInfo(const std::string& cText, std::optional<std::string> cTitle = std::nullopt);
  void WStop(const std::string& cText, std::optional<std::string> cTitle = std::nullopt);
  void WTip(const std::string& cText);
  std::optional<std::string> WGet(const std::string& cText = {}, std::optional<std::string> cTitle = std::nullopt);
  std::optional<bool> WYesNo(const std::string& cText, std::optional<std::string> cTitle = std::nullopt);
  std::optional<int> WYesNoCancel(const std::string& cText, std::optional<std::string> cTitle = std::nullopt);
  void WOptions();
  void WGral(const std::string& cText, std::optional<std::string> cTitle, int nStyle, bool lGoodNews = true,
             bool lBuiltInSound = true);

  // The members, in declaration order; an empty optional is nil.
  std::shared_ptr<TOleAuto> oAgent;
  std::shared_ptr<TOleAuto> oChars;
  std::shared_ptr<TOleAuto> oChar;
  std::optional<bool> lMenu;
  std::optional<std::string> cName;
  std::optional<std::string> cFile;
  bool lOK = false;
  WindowPtr oWnd;
  std::optional<bool> lNeedClick;
  std::shared_ptr<TOleAuto> oBalloon;
  std::optional<std::string> cFontName;
  double nFontSize = 0;
  std::optional<std::string> cFontNameDEF;
  std::optional<double> nFontSizeDEF;
  std::shared_ptr<TActiveX> oBalloonDlg;
  std::optional<std::string> cSoundInfo;
  std::optional<std::string> cSoundStop;
  std::optional<std::string> cSoundQuestion;
  std::shared_ptr<TOleAuto> oResp;
  std::optional<bool> lResp;
  bool lWait = false;

 private:
  TMsAgent() = default;
  bool ended_ = false;  // End has given the character back
  // Sends a waitable request: with lWait its request is kept in oResp and waited for.
  void Request(const std::function<OleValue()>& send);
  OleValue Play(const std::string& cAnimation);
  void PlaySequence(std::initializer_list<const char*> animations);
  OleValue CharacterProperty(const char* name);
  // The title of a message box that stands in for the character.
  std::string FallbackTitle();
  // The frame every balloon method shares, around its own opening and balloon.
  template <typename Result>
  std::optional<Result> Balloon(const std::function<Result()>& fallback, const std::function<void()>& opening,
                                const std::function<Result()>& balloon);
};

}  // namespace memotab
