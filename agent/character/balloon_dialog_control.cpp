#include "balloon_dialog_control.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "automation_values.h"
#include "character_actor.h"
#include "question_balloon.h"
#include "service_object.h"
#include "t_ms_agent.h"
#include "wide_text.h"

namespace memotab::character {

namespace {

// The seven captions of a ";"-separated list; those it lacks keep their defaults.
std::vector<std::wstring> Captions(const std::wstring& list) {
  std::vector<std::wstring> captions;
  for (const std::wstring* source : {&list, static_cast<const std::wstring*>(nullptr)}) {
    const std::wstring text = source != nullptr ? *source : AnsiToWide(kDefaultButtonCaptions);
    size_t start = 0;
    for (size_t index = 0; index < 7 && start <= text.size(); ++index) {
      size_t end = text.find(L';', start);
      if (end == std::wstring::npos) end = text.size();
      if (captions.size() <= index) captions.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }
  return captions;
}

class BalloonDialogControl final : public ServiceObject {
 public:
  BalloonDialogControl() {
    Property(
        L"ButtonsCaptions", [this](VARIANT* result) { Return(result, captions_); },
        TextWriter([this](const std::wstring& captions) { captions_ = captions; }));
    Method(L"SetCharacterPosition", 2, [this](const Args& args, VARIANT*) {
      const auto number = [&](size_t i) {
        return i < args.size() ? WholeNumber(NumberArgument(*args[i]).value_or(0), 0) : 0L;
      };
      const LONG width = std::max(number(2), 1L);
      // Our own character is known by its place: the balloon points at its figure.
      const CharacterActor* ours = CharacterActor::ShownAt({number(0), number(1)}, width);
      character_ = ours != nullptr ? ours->FigureBounds() : RECT{number(0), number(1), number(0) + width, number(1) + width};
    });
    Method(L"MsgBalloon", 2, [this](const Args& args, VARIANT* result) {
      Question question{TextArgument(*args[0]).value_or(L""),
                        args.size() > 2 ? TextArgument(*args[2]) : std::nullopt,
                        WholeNumber(NumberArgument(*args[1]).value_or(0), 0), false};
      const Answer answer = AskInBalloon(question, Captions(captions_), character_);
      Return(result, answer.code);  // set only now, after the balloon's own loop
    });
    Method(L"InputBalloon", 1, [this](const Args& args, VARIANT* result) {
      Question question{TextArgument(*args[0]).value_or(L""),
                        args.size() > 1 ? TextArgument(*args[1]) : std::nullopt, 0, true};
      const Answer answer = AskInBalloon(question, Captions(captions_), character_);
      Return(result, answer.typed);
    });
  }

 private:
  using Args = std::vector<const VARIANT*>;
  std::wstring captions_ = AnsiToWide(kDefaultButtonCaptions);
  std::optional<RECT> character_;
};

}  // namespace

IDispatch* NewBalloonDialogControl() { return new BalloonDialogControl(); }

}  // namespace memotab::character
