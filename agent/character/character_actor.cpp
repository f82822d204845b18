#include "character_actor.h"

#include <algorithm>
#include <vector>

#include "automation_values.h"

namespace memotab::character {

namespace {

constexpr unsigned kMotionStepMilliseconds = 15;
constexpr unsigned kVoicePollMilliseconds = 50;
constexpr int kScreenMargin = 24;
constexpr UINT kHideCommand = 1;

constexpr long kSmallestFontSize = 6;
constexpr long kLargestFontSize = 72;

uint64_t Now() { return GetTickCount64(); }

// The characters alive, for the balloons that are given only a corner and a width.
std::vector<const CharacterActor*> living;

}  // namespace

int ReadableFontSize(long points) { return static_cast<int>(std::clamp(points, kSmallestFontSize, kLargestFontSize)); }

CharacterActor::CharacterActor(std::shared_ptr<const CharacterFile> character, SpeechEngineMaker makeEngine)
    : character_(std::move(character)),
      window_(character_->width, character_->height,
              {.onTimer = [this] { Tick(); },
               .onDragged =
                   [this] {
                     KeepOnWorkArea();
                     moveCause = MoveCause::kUser;
                   },
               .onMenu = [this](POINT at) { ShowMenu(at); },
               .onScreenChanged = [this] { KeepOnWorkArea(); }}),
      balloon_([this] {
        if (!speech_) balloon_.Close();  // a balloon left after its words goes when clicked
      }),
      player_(*character_),
      voice_(std::move(makeEngine)) {
  balloon.fontName = Utf8ToWide(character_->balloonFontName);
  balloon.fontSize = ReadableFontSize(character_->balloonFontSize);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  window_.MoveTo({work.right - character_->width - kScreenMargin, work.bottom - character_->height - kScreenMargin});
  Present();
  while (figureTop_ < canvas_.height - 1 && !std::any_of(canvas_.pixels.begin() + figureTop_ * canvas_.width,
                                                         canvas_.pixels.begin() + (figureTop_ + 1) * canvas_.width,
                                                         [](uint32_t pixel) { return pixel >> 24 >= kFigureOpacity; })) {
    ++figureTop_;
  }
  living.push_back(this);
}

const CharacterActor* CharacterActor::ShownAt(POINT topLeft, int width) {
  for (const CharacterActor* actor : living) {
    const RECT bounds = actor->Bounds();
    if (actor->Visible() && bounds.left == topLeft.x && bounds.top == topLeft.y && bounds.right - bounds.left == width) {
      return actor;
    }
  }
  return nullptr;
}

CharacterActor::~CharacterActor() {
  living.erase(std::remove(living.begin(), living.end(), this), living.end());
  for (Queued& request : queue_) *request.status = RequestStatus::kInterrupted;
  voice_.Cancel();
}

// Requests ----------------------------------------------------------------------------------

CharacterActor::Request CharacterActor::Enqueue(Queued request) {
  Request status = request.status = std::make_shared<RequestStatus>(RequestStatus::kPending);
  if (request.kind == Kind::kHide) {
    // Hiding does not wait for what is said or done; a figure already going hides once.
    if (Hiding()) {
      InterruptWaiting();
    } else {
      InterruptAll();
    }
  }
  queue_.push_back(std::move(request));
  if (active_) {
    Settle();  // a looping animation gives way to what now waits behind it
  } else {
    BeginNext();
  }
  Schedule();
  return status;
}

CharacterActor::Request CharacterActor::Show() { return Enqueue({.kind = Kind::kShow}); }
CharacterActor::Request CharacterActor::Hide() { return Enqueue({.kind = Kind::kHide}); }
CharacterActor::Request CharacterActor::Speak(const std::wstring& text) { return Enqueue({.kind = Kind::kSpeak, .text = text}); }
CharacterActor::Request CharacterActor::Think(const std::wstring& text) { return Enqueue({.kind = Kind::kThink, .text = text}); }

CharacterActor::Request CharacterActor::Play(const std::string& animation) {
  return Enqueue({.kind = Kind::kPlay, .animation = character_->Find(animation)});
}

CharacterActor::Request CharacterActor::MoveTo(int x, int y, int milliseconds) {
  return Enqueue({.kind = Kind::kMove, .target = {x, y}, .milliseconds = milliseconds});
}

void CharacterActor::Stop() {
  InterruptAll();
  player_.Rest();
  Present();
  window_.CancelTimer();
}

void CharacterActor::InterruptWaiting() {
  const auto waiting = queue_.begin() + (active_ ? 1 : 0);
  for (auto request = waiting; request != queue_.end(); ++request) *request->status = RequestStatus::kInterrupted;
  queue_.erase(waiting, queue_.end());
}

void CharacterActor::InterruptAll() {
  InterruptWaiting();
  if (active_) *queue_.front().status = RequestStatus::kInterrupted;
  queue_.clear();
  active_ = false;
  motion_.reset();
  if (speech_) voice_.Cancel();
  speech_.reset();
  balloon_.Close();
}

// Carrying them out -------------------------------------------------------------------------

void CharacterActor::BeginNext() {
  while (!active_ && !queue_.empty()) {
    if (Begin(queue_.front())) {
      active_ = true;
      Settle();
    } else {
      queue_.pop_front();  // it has ended at once, with its status set
    }
  }
}

bool CharacterActor::Begin(Queued& request) {
  RequestStatus& status = *request.status;
  status = RequestStatus::kInProgress;
  const auto endNow = [&](RequestStatus final) {
    status = final;
    return false;
  };
  switch (request.kind) {
    case Kind::kShow:
      if (window_.Visible()) return endNow(RequestStatus::kDone);
      visibilityCause = VisibilityCause::kProgramShowed;
      PlayNamed("Showing");
      window_.Show();
      return true;
    case Kind::kHide:
      if (!window_.Visible()) return endNow(RequestStatus::kDone);
      balloon_.Close();
      PlayNamed("Hiding");
      return true;
    case Kind::kPlay:
      if (!window_.Visible() || request.animation == nullptr) return endNow(RequestStatus::kFailed);
      player_.Start(*request.animation, Now());
      Present();
      return true;
    case Kind::kSpeak:
    case Kind::kThink: {
      if (!window_.Visible()) return endNow(RequestStatus::kFailed);
      balloon_.Close();
      const bool voiced = request.kind == Kind::kSpeak && voice_.Start(request.text);
      speech_ = Speech{PaceSpeech(request.text), Now(), voiced};
      if (balloon.style & balloon_style::kOn) {
        balloon_.Open(request.kind == Kind::kSpeak ? SpeechBalloon::Kind::kSpeech : SpeechBalloon::Kind::kThought,
                      request.text, balloon.fontName, balloon.fontSize, FigureBounds());
        if (!(balloon.style & balloon_style::kAutoPace)) balloon_.Reveal(request.text.size());
      }
      PlayNamed(request.kind == Kind::kSpeak ? "Speaking" : "Thinking");
      return true;
    }
    case Kind::kMove: {
      const POINT target = InsideWorkArea(request.target);
      moveCause = MoveCause::kProgram;
      if (!window_.Visible() || request.milliseconds <= 0) {
        window_.MoveTo(target);
        return endNow(RequestStatus::kDone);
      }
      motion_ = Motion{window_.Position(), target, Now(), request.milliseconds};
      PlayNamed("Moving");
      return true;
    }
  }
  return endNow(RequestStatus::kFailed);
}

void CharacterActor::Settle() {
  if (!active_) return;
  Queued& request = queue_.front();
  switch (request.kind) {
    case Kind::kShow:
      if (!player_.Playing()) Finish(RequestStatus::kDone);
      break;
    case Kind::kPlay:
      // A looping animation plays until another request waits behind it, however early
      // that one came.
      if (request.animation->loops && queue_.size() > 1) {
        player_.Rest();
        Present();
        Finish(RequestStatus::kInterrupted);
      } else if (!player_.Playing()) {
        Finish(RequestStatus::kDone);
      }
      break;
    case Kind::kHide:
      if (!player_.Playing()) {
        window_.Hide();
        player_.Rest();
        Present();
        visibilityCause = VisibilityCause::kProgramHid;
        Finish(RequestStatus::kDone);
      }
      break;
    case Kind::kSpeak:
    case Kind::kThink: {
      if (!SpeechOver()) break;
      balloon_.Reveal(request.text.size());
      if (balloon.style & balloon_style::kAutoHide) balloon_.Close();
      speech_.reset();
      player_.Rest();
      Present();
      Finish(RequestStatus::kDone);
      break;
    }
    case Kind::kMove:
      if (!motion_) {
        player_.Rest();
        Present();
        Finish(RequestStatus::kDone);
      }
      break;
  }
}

void CharacterActor::Listen() {
  if (!speech_->voiced) return;
  speech_->heard = voice_.Progress();
  if (speech_->heard.state == VoiceProgress::State::kCannotTell) speech_->voiced = false;
}

bool CharacterActor::SpeechOver() {
  const uint64_t elapsed = Now() - speech_->start;
  if (!speech_->voiced) return elapsed >= static_cast<uint64_t>(speech_->pacing.totalMilliseconds);
  if (speech_->heard.state == VoiceProgress::State::kDone) return true;
  if (elapsed < static_cast<uint64_t>(voiceDeadline.For(speech_->pacing))) return false;
  voice_.Cancel();  // an engine that never reports the end must not hold every later request
  return true;
}

size_t CharacterActor::SaidBy(uint64_t now) const {
  const auto& words = speech_->pacing.words;
  size_t said = 0;
  if (speech_->voiced) {
    for (const PacedWord& word : words) {
      if (word.start <= speech_->heard.position) said = word.start + word.length;
    }
  } else if (const size_t count = speech_->pacing.WordsShownAt(static_cast<int>(now - speech_->start)); count > 0) {
    said = words[count - 1].start + words[count - 1].length;
  }
  return std::min(said, queue_.front().text.size());
}

void CharacterActor::Finish(RequestStatus status) {
  *queue_.front().status = status;
  queue_.pop_front();
  active_ = false;
  BeginNext();
}

void CharacterActor::Tick() {
  const uint64_t now = Now();
  if (player_.Advance(now)) Present();
  if (motion_) {
    const double done = std::min(1.0, static_cast<double>(now - motion_->start) / motion_->milliseconds);
    const POINT place{motion_->from.x + static_cast<LONG>((motion_->to.x - motion_->from.x) * done),
                      motion_->from.y + static_cast<LONG>((motion_->to.y - motion_->from.y) * done)};
    window_.MoveTo(place);
    if (balloon_.IsOpen()) balloon_.Follow(FigureBounds());
    if (done >= 1.0) motion_.reset();
  }
  if (speech_) {
    Listen();
    if ((balloon.style & balloon_style::kAutoPace) && balloon_.IsOpen()) {
      // Words once shown stay, also when the pacing takes over from a voice.
      speech_->shown = std::max(speech_->shown, SaidBy(now));
      balloon_.Reveal(speech_->shown);
    }
  }
  Settle();
  Schedule();
}

void CharacterActor::Schedule() {
  const uint64_t now = Now();
  std::optional<uint64_t> next = player_.NextChange();
  const auto consider = [&](uint64_t at) { next = next ? std::min(*next, at) : at; };
  if (motion_) consider(now + kMotionStepMilliseconds);
  if (speech_) {
    if (speech_->voiced) {
      consider(now + kVoicePollMilliseconds);
    } else {
      const int elapsed = static_cast<int>(now - speech_->start);
      const auto& words = speech_->pacing.words;
      const size_t shown = speech_->pacing.WordsShownAt(elapsed);
      consider(speech_->start + static_cast<uint64_t>(shown < words.size() ? words[shown].atMilliseconds
                                                                           : speech_->pacing.totalMilliseconds));
    }
  }
  if (next) {
    window_.ScheduleTimer(static_cast<unsigned>(*next > now ? *next - now : 1));
  } else {
    window_.CancelTimer();  // at rest nothing is due
  }
}

// Drawing and places ------------------------------------------------------------------------

void CharacterActor::Present() {
  ComposeFrame(*character_, player_.Shown(), canvas_);
  window_.Present(canvas_);
}

void CharacterActor::PlayNamed(const char* animation) {
  if (const Animation* found = character_->Find(animation)) {
    player_.Start(*found, Now());
  } else {
    player_.Rest();
  }
  Present();
}

POINT CharacterActor::InsideWorkArea(POINT topLeft) const {
  const RECT wanted{topLeft.x, topLeft.y, topLeft.x + character_->width, topLeft.y + character_->height};
  const RECT work = WorkAreaOf(wanted);
  return {std::clamp<LONG>(topLeft.x, work.left, std::max<LONG>(work.left, work.right - character_->width)),
          std::clamp<LONG>(topLeft.y, work.top, std::max<LONG>(work.top, work.bottom - character_->height))};
}

void CharacterActor::KeepOnWorkArea() {
  const POINT place = InsideWorkArea(window_.Position());
  window_.MoveTo(place);
  if (motion_) {
    // The rest of the way goes from where the figure is now, in the time that was left.
    const uint64_t now = Now();
    const auto elapsed = static_cast<int>(std::min<uint64_t>(now - motion_->start, motion_->milliseconds));
    motion_ = Motion{place, InsideWorkArea(motion_->to), now, std::max(1, motion_->milliseconds - elapsed)};
  }
  if (balloon_.IsOpen()) balloon_.Follow(FigureBounds());
}

RECT CharacterActor::FigureBounds() const {
  RECT bounds = window_.Bounds();
  bounds.top += figureTop_;
  return bounds;
}

bool CharacterActor::HideAhead() const {
  for (auto request = queue_.rbegin(); request != queue_.rend(); ++request) {
    if (request->kind == Kind::kShow) return false;
    if (request->kind == Kind::kHide) return true;
  }
  return false;
}

void CharacterActor::UserHide() {
  Stop();
  window_.Hide();
  visibilityCause = VisibilityCause::kUserHid;
}

void CharacterActor::ShowMenu(POINT at) {
  if (!autoPopupMenu) return;
  // The menu runs its own loop: a character unloaded meanwhile goes only once it is over.
  const std::shared_ptr<CharacterActor> keptAlive = weak_from_this().lock();
  const HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kHideCommand, "&Ocultar");
  const unsigned chosen = window_.TrackMenu(menu, at);
  DestroyMenu(menu);
  if (chosen == kHideCommand) UserHide();
}

}  // namespace memotab::character
