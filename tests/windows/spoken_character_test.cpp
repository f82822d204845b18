// The character's voice with a speech engine the test drives: a speech ends when the
// engine has said its own words, when the engine cannot tell it is paced as without a
// voice, and an engine that never finishes is cut off at the deadline.
#include <gtest/gtest.h>

#include <vector>

#include "character_actor.h"
#include "character_requests.h"
#include "character_service.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::character {
namespace {

using test::DispatchUntil;
using test::Finished;

// What the test's engine says and reports; the test moves it on and makes it fail.
struct FakeEngineState {
  std::vector<std::wstring> said;  // stream n is said[n - 1]; a silencing says ""
  SpeechEngineStatus status;
  int silenced = 0;
  int polls = 0;  // how often its status was asked
  int refusedSpeeches = 0;
  bool speakFails = false;
  bool statusFails = false;
  bool numbersStreams = true;  // false: Speak gives the stream number 0

  void Reach(long stream, long word) {
    status = {.runningState = SpeechEngineStatus::kSpeaking, .currentStream = stream, .wordPosition = word};
  }
  void EndStream() { status.runningState = SpeechEngineStatus::kDone; }
};

class FakeSpeechEngine final : public SpeechEngine {
 public:
  explicit FakeSpeechEngine(std::shared_ptr<FakeEngineState> state) : state_(std::move(state)) {}
  std::optional<long> Speak(const std::wstring& text) override {
    if (state_->speakFails) {
      ++state_->refusedSpeeches;
      return std::nullopt;
    }
    state_->said.push_back(text);
    return state_->numbersStreams ? static_cast<long>(state_->said.size()) : 0L;
  }
  std::optional<SpeechEngineStatus> Status() override {
    ++state_->polls;
    if (state_->statusFails) return std::nullopt;
    return state_->status;
  }
  // As the system's engine does it: an empty text said at once in a stream of its own.
  void Silence() override {
    ++state_->silenced;
    state_->said.push_back(L"");
    state_->status = {.runningState = SpeechEngineStatus::kDone, .currentStream = static_cast<long>(state_->said.size())};
  }

 private:
  std::shared_ptr<FakeEngineState> state_;
};

const std::wstring kText = L"Mañana a las nueve: llevar el coche al taller.";

// What a speech showed until it ended: the balloon's texts in the order they came, and how
// long it took.
struct Watched {
  RequestStatus status;
  std::vector<std::wstring> shown;
  std::chrono::milliseconds took;
};

class SpokenCharacterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Finished(actor.Show()), RequestStatus::kDone);
    actor.balloon.style = 15;
  }
  std::wstring BalloonText() const {
    wchar_t shown[256] = {};
    InternalGetWindowText(actor.BalloonForTesting().HandleForTesting(), shown, 256);
    return shown;
  }
  // Lets the actor ask the engine's status `count` times more.
  bool PollsGoBy(int count) {
    const int until = engine->polls + count;
    return DispatchUntil([&] { return engine->polls >= until; });
  }
  Watched Watch(const CharacterActor::Request& speech, const std::chrono::steady_clock::time_point started) {
    Watched watched{};
    const auto deadline = started + std::chrono::seconds(30);
    while ((*speech == RequestStatus::kPending || *speech == RequestStatus::kInProgress) &&
           std::chrono::steady_clock::now() < deadline) {
      const std::wstring shown = BalloonText();
      if (watched.shown.empty() || watched.shown.back() != shown) watched.shown.push_back(shown);
      SYSWAIT(0.02);
    }
    watched.status = *speech;
    watched.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    return watched;
  }
  // A speech whose words were paced as read: shown word by word, never fewer than before,
  // each the start of the text, and over once the pacing is, not long after and not before.
  void ExpectPaced(const Watched& watched) {
    EXPECT_EQ(watched.status, RequestStatus::kDone);
    EXPECT_GE(watched.shown.size(), 5u) << "not word by word";
    for (size_t i = 0; i < watched.shown.size(); ++i) {
      EXPECT_EQ(kText.rfind(watched.shown[i], 0), 0u) << "not the start of the text";
      if (i > 0) {
        EXPECT_GT(watched.shown[i].size(), watched.shown[i - 1].size()) << "words taken back";
      }
    }
    const int paced = PaceSpeech(kText).totalMilliseconds;
    EXPECT_GE(watched.took.count(), paced - 50);
    EXPECT_LT(watched.took.count(), VoiceDeadline{}.For(PaceSpeech(kText)) - 1000) << "held to the voice's deadline";
    EXPECT_FALSE(actor.BalloonForTesting().IsOpen());  // style 15: it goes with the words
    EXPECT_FALSE(actor.BusyForTesting());
  }

  std::shared_ptr<FakeEngineState> engine = std::make_shared<FakeEngineState>();
  CharacterActor actor{BuiltInCharacter(), [state = engine] { return std::make_unique<FakeSpeechEngine>(state); }};
};

TEST_F(SpokenCharacterTest, ASpeechIsOverOnlyOnceTheEngineHasSaidItsOwnStream) {
  const auto first = actor.Speak(L"Primera nota.");
  engine->Reach(1, 0);
  engine->EndStream();
  EXPECT_EQ(Finished(first), RequestStatus::kDone);

  const auto second = actor.Speak(kText);
  ASSERT_EQ(engine->said.size(), 2u);
  // The engine still reports the first stream as done while the voice is asked ten times.
  ASSERT_TRUE(PollsGoBy(10));
  EXPECT_EQ(*second, RequestStatus::kInProgress);
  EXPECT_TRUE(actor.BalloonForTesting().IsOpen());

  engine->Reach(2, static_cast<long>(kText.find(L"las")));
  EXPECT_TRUE(DispatchUntil([&] { return BalloonText() == L"Mañana a las"; }));
  EXPECT_EQ(*second, RequestStatus::kInProgress);
  EXPECT_TRUE(actor.BusyForTesting());

  engine->EndStream();
  EXPECT_EQ(Finished(second), RequestStatus::kDone);
  EXPECT_FALSE(actor.BalloonForTesting().IsOpen());  // style 15: it goes with the voice
  EXPECT_FALSE(actor.BusyForTesting());
  EXPECT_EQ(engine->silenced, 0);
}

TEST_F(SpokenCharacterTest, StopAndHideSilenceTheEngine) {
  const auto speech = actor.Speak(L"Hola.");
  engine->Reach(1, 0);
  actor.Stop();
  EXPECT_EQ(*speech, RequestStatus::kInterrupted);
  EXPECT_EQ(engine->silenced, 1);
  EXPECT_FALSE(actor.BalloonForTesting().IsOpen());

  // The silencing took stream 2 and is done: the next speech waits for its own, 3.
  const auto again = actor.Speak(L"Otra vez.");
  ASSERT_EQ(engine->said, (std::vector<std::wstring>{L"Hola.", L"", L"Otra vez."}));
  ASSERT_TRUE(PollsGoBy(3));
  EXPECT_EQ(*again, RequestStatus::kInProgress);
  engine->Reach(3, 0);
  const auto hide = actor.Hide();
  EXPECT_EQ(*again, RequestStatus::kInterrupted);
  EXPECT_EQ(engine->silenced, 2);
  EXPECT_EQ(Finished(hide, std::chrono::seconds(3)), RequestStatus::kDone);
  EXPECT_FALSE(actor.Visible());
}

TEST_F(SpokenCharacterTest, AnEngineThatNeverFinishesIsSilencedAtTheDeadline) {
  actor.voiceDeadline = {.slowness = 1, .startMilliseconds = 300};
  const std::wstring text = L"Uno dos tres.";
  const auto started = std::chrono::steady_clock::now();
  const auto speech = actor.Speak(text);
  engine->Reach(1, static_cast<long>(text.find(L"dos")));  // and there it stays
  const Watched watched = Watch(speech, started);
  EXPECT_EQ(watched.status, RequestStatus::kDone);
  EXPECT_EQ(engine->silenced, 1);
  EXPECT_GE(watched.took.count(), PaceSpeech(text).totalMilliseconds + 300 - 50);
  for (const std::wstring& shown : watched.shown) EXPECT_TRUE(shown.empty() || shown == L"Uno dos") << "paced, not heard";
  EXPECT_FALSE(actor.BusyForTesting());
}

TEST_F(SpokenCharacterTest, AnEngineWhoseStatusCannotBeReadLeavesTheWordsToThePacing) {
  engine->statusFails = true;
  engine->Reach(1, 0);  // what it would say, could it be read: never done
  ExpectPaced(Watch(actor.Speak(kText), std::chrono::steady_clock::now()));
  EXPECT_EQ(engine->silenced, 0);  // paced to the end; the next speech purges the engine
  EXPECT_EQ(engine->said.size(), 1u);
}

TEST_F(SpokenCharacterTest, AStreamWithoutANumberIsPaced) {
  engine->numbersStreams = false;
  engine->status = {.runningState = SpeechEngineStatus::kDone, .currentStream = 4};  // past "stream 0" at once
  ExpectPaced(Watch(actor.Speak(kText), std::chrono::steady_clock::now()));
  const auto next = actor.Speak(L"Hola.");
  actor.Stop();  // the engine may still be speaking: it is silenced
  EXPECT_EQ(*next, RequestStatus::kInterrupted);
  EXPECT_EQ(engine->silenced, 1);
}

TEST_F(SpokenCharacterTest, AStatusLostHalfWayHandsTheRestToThePacing) {
  const auto started = std::chrono::steady_clock::now();
  const auto speech = actor.Speak(kText);
  engine->Reach(1, static_cast<long>(kText.find(L"las")));
  ASSERT_TRUE(DispatchUntil([&] { return BalloonText() == L"Mañana a las"; }));
  engine->statusFails = true;
  const Watched watched = Watch(speech, started);
  ASSERT_FALSE(watched.shown.empty());
  EXPECT_EQ(watched.shown.front(), L"Mañana a las");  // what the voice had said stays
  ExpectPaced(watched);
}

TEST_F(SpokenCharacterTest, AnEngineThatCannotSpeakIsNotAskedAgainAndTheWordsArePaced) {
  engine->speakFails = true;
  ExpectPaced(Watch(actor.Speak(kText), std::chrono::steady_clock::now()));
  EXPECT_EQ(Finished(actor.Speak(L"Hola.")), RequestStatus::kDone);
  EXPECT_EQ(engine->refusedSpeeches, 1);
  EXPECT_EQ(engine->polls, 0);
}

TEST(Voice, ASpanishVoiceIsKnownByItsLanguages) {
  EXPECT_TRUE(SpeaksSpanish(L"C0A"));
  EXPECT_TRUE(SpeaksSpanish(L"40a"));
  EXPECT_TRUE(SpeaksSpanish(L"409;80A"));
  EXPECT_TRUE(SpeaksSpanish(L"540A"));  // any Spanish: the primary language is what counts
  EXPECT_FALSE(SpeaksSpanish(L"409;9"));
  EXPECT_FALSE(SpeaksSpanish(L"416"));
  EXPECT_FALSE(SpeaksSpanish(L""));
}

}  // namespace
}  // namespace memotab::character
