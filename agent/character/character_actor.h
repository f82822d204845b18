#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "animation_player.h"
#include "character_file.h"
#include "character_window.h"
#include "speech_balloon.h"
#include "speech_pacing.h"
#include "voice.h"

namespace memotab::character {

// How a request of the character ends up: done, failed, waiting its turn, interrupted
// (by Stop, Hide or a later request that replaces it) or being carried out.
enum class RequestStatus : long { kDone = 0, kFailed = 1, kPending = 2, kInterrupted = 3, kInProgress = 4 };

// What the last change of place or of visibility came from.
enum class MoveCause : long { kNeverMoved = 0, kUser = 1, kProgram = 2 };
enum class VisibilityCause : long { kNeverShown = 0, kUserHid = 1, kProgramHid = 3, kProgramShowed = 4 };

// The style of the speech balloon: its bits say whether there is a balloon at all, whether
// the words come one by one as they are said, and whether the balloon goes with the words
// (otherwise it stays until the user clicks it or the next speech replaces it).
namespace balloon_style {
inline constexpr long kOn = 1;
inline constexpr long kAutoHide = 4;
inline constexpr long kAutoPace = 8;
}  // namespace balloon_style

struct BalloonSettings {
  std::wstring fontName;
  int fontSize = 9;
  long style = 15;
};

// A balloon's words stay readable and its lines fit on the screen: a font size in points
// is kept between 6 and 72.
int ReadableFontSize(long points);

// One loaded character on the screen: its window, its speech balloon and the queue of
// what it has been asked to do. Requests run one after another in the order they came;
// each has a status the caller may watch. Time passes only while something moves: at
// rest no timer runs.
class CharacterActor : public std::enable_shared_from_this<CharacterActor> {
 public:
  // Shows nothing until Show; speaks with the engine `makeEngine` makes when first needed.
  // Raises std::runtime_error when the windows cannot be made.
  explicit CharacterActor(std::shared_ptr<const CharacterFile> character,
                          SpeechEngineMaker makeEngine = MakeSystemSpeechEngine);
  ~CharacterActor();
  CharacterActor(const CharacterActor&) = delete;
  CharacterActor& operator=(const CharacterActor&) = delete;

  using Request = std::shared_ptr<RequestStatus>;
  Request Show();
  // Interrupts every request, queued or running, then hides the figure.
  Request Hide();
  // An unknown animation fails.
  Request Play(const std::string& animation);
  Request Speak(const std::wstring& text);
  Request Think(const std::wstring& text);
  // Moves the figure's top-left corner to (x, y) in `milliseconds` (0: at once), kept
  // inside the work area.
  Request MoveTo(int x, int y, int milliseconds);
  // Ends every request, queued or running, and brings the figure to rest.
  void Stop();

  const CharacterFile& Character() const { return *character_; }
  // The part of the window the figure at rest covers, on the screen: balloons point at it.
  RECT FigureBounds() const;
  // The shown character whose window has its top-left corner there and that width, if any.
  static const CharacterActor* ShownAt(POINT topLeft, int width);
  // Whether the figure is shown and stays so: from the moment a Hide is taken until a later
  // Show it counts as hidden, although it is still seen going.
  bool Visible() const { return window_.Visible() && !HideAhead(); }
  RECT Bounds() const { return window_.Bounds(); }
  MoveCause moveCause = MoveCause::kNeverMoved;
  VisibilityCause visibilityCause = VisibilityCause::kNeverShown;
  BalloonSettings balloon;
  // How long a voice may take over its words before it is silenced and its request ends.
  VoiceDeadline voiceDeadline;
  bool autoPopupMenu = true;
  bool soundEffects = true;

  // The windows, for tests that look at what is shown.
  const CharacterWindow& WindowForTesting() const { return window_; }
  const SpeechBalloon& BalloonForTesting() const { return balloon_; }
  // Whether a timer is waiting to move something on.
  bool BusyForTesting() const { return window_.TimerSet(); }

 private:
  enum class Kind { kShow, kHide, kPlay, kSpeak, kThink, kMove };
  struct Queued {
    Kind kind;
    Request status;
    const Animation* animation = nullptr;
    std::wstring text;
    POINT target{0, 0};
    int milliseconds = 0;
  };
  struct Motion {
    POINT from;
    POINT to;
    uint64_t start;
    int milliseconds;
  };
  struct Speech {
    SpeechPacing pacing;
    uint64_t start;
    bool voiced;  // the voice tells how far the words are; otherwise the pacing does
    VoiceProgress heard{VoiceProgress::State::kSpeaking};  // what the voice told last
    size_t shown = 0;                                      // the end of the words shown
  };

  Request Enqueue(Queued request);
  // Ends every request with kInterrupted, leaving the figure as it is.
  void InterruptAll();
  // Ends the requests waiting behind the running one with kInterrupted.
  void InterruptWaiting();
  bool Hiding() const { return active_ && queue_.front().kind == Kind::kHide; }
  void BeginNext();
  // Starts the request at the front; false when it ended at once.
  bool Begin(Queued& request);
  // Ends the running request when what it waits for is over.
  void Settle();
  // Asks the voice how far it is with the running speech; one that cannot tell leaves the
  // rest of the speech to the pacing.
  void Listen();
  // Whether the running speech has been said (or its voice has taken too long).
  bool SpeechOver();
  // The end of the last word of the running speech said by `now`.
  size_t SaidBy(uint64_t now) const;
  void Finish(RequestStatus status);
  void Tick();
  void Schedule();
  void Present();
  void PlayNamed(const char* animation);
  POINT InsideWorkArea(POINT topLeft) const;
  // Brings the figure (and where it is going) back onto the work area; a move under way goes
  // on from there, and an open balloon follows.
  void KeepOnWorkArea();
  void UserHide();
  void ShowMenu(POINT at);
  // Whether the last Show or Hide waiting or running is a Hide.
  bool HideAhead() const;

  std::shared_ptr<const CharacterFile> character_;
  CharacterWindow window_;
  SpeechBalloon balloon_;
  AnimationPlayer player_;
  Voice voice_;
  Picture canvas_;
  int figureTop_ = 0;  // the first row of the figure at rest
  std::deque<Queued> queue_;
  bool active_ = false;  // the front of the queue is being carried out
  std::optional<Motion> motion_;
  std::optional<Speech> speech_;
};

}  // namespace memotab::character
