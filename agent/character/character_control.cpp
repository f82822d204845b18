#include "character_control.h"

#include <algorithm>
#include <vector>

#include "automation_values.h"
#include "character_actor.h"
#include "service_object.h"
#include "wide_text.h"

namespace memotab::character {

namespace {

using ActorRef = std::weak_ptr<CharacterActor>;

size_t liveRequests = 0;

// What a caller holds of a request: its `Status`, read-only. One is made for every
// animation, move and speech, so they share one member table and hold only the status.
class RequestObject final : public BuiltInDispatch {
 public:
  explicit RequestObject(CharacterActor::Request status) : BuiltInDispatch(&kMembers), status_(std::move(status)) {
    ++liveRequests;
  }
  ~RequestObject() override { --liveRequests; }

 private:
  static HRESULT ReadStatus(const Call& call, VARIANT* result) {
    if (call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
    Return(result, static_cast<long>(*static_cast<const RequestObject*>(call.object)->status_));
    return S_OK;
  }
  inline static const Members kMembers{{L"Status", &RequestObject::ReadStatus}};

  CharacterActor::Request status_;
};

// A request of a character that is no longer loaded: it has failed.
CharacterActor::Request Failed() { return std::make_shared<RequestStatus>(RequestStatus::kFailed); }

void ReturnRequest(VARIANT* result, CharacterActor::Request status) {
  BuiltInDispatch::Return(result, static_cast<IDispatch*>(new RequestObject(std::move(status))));
}

class BalloonObject final : public ServiceObject {
 public:
  explicit BalloonObject(ActorRef actor) {
    Property(
        L"FontName",
        [actor](VARIANT* result) {
          const auto loaded = actor.lock();
          Return(result, loaded ? loaded->balloon.fontName : std::wstring());
        },
        TextWriter([actor](const std::wstring& name) {
          if (const auto loaded = actor.lock()) loaded->balloon.fontName = name;
        }));
    Property(
        L"FontSize",
        [actor](VARIANT* result) {
          const auto loaded = actor.lock();
          Return(result, static_cast<long>(loaded ? loaded->balloon.fontSize : 0));
        },
        NumberWriter([actor](double size) {
          if (const auto loaded = actor.lock(); loaded && size > 0) {
            loaded->balloon.fontSize = ReadableFontSize(WholeNumber(size, loaded->balloon.fontSize));
          }
        }));
    Property(
        L"Style",
        [actor](VARIANT* result) {
          const auto loaded = actor.lock();
          Return(result, loaded ? loaded->balloon.style : 0L);
        },
        NumberWriter([actor](double style) {
          if (const auto loaded = actor.lock()) loaded->balloon.style = WholeNumber(style, loaded->balloon.style);
        }));
  }
};

class CharacterObject final : public ServiceObject {
 public:
  CharacterObject(ActorRef actor, std::wstring name) : name_(std::move(name)) {
    Property(
        L"Name", [this](VARIANT* result) { Return(result, name_); },
        TextWriter([this](const std::wstring& text) { name_ = text; }));
    TextProperty(L"Description", actor, &CharacterFile::description);
    TextProperty(L"Version", actor, &CharacterFile::version);
    TextProperty(L"ExtraData", actor, &CharacterFile::extraData);
    LogicalProperty(L"Visible", actor, [](const CharacterActor& a) { return a.Visible(); });
    LogicalProperty(L"HasOtherClients", actor, [](const CharacterActor&) { return false; });
    NumberProperty(L"Left", actor, [](const CharacterActor& a) { return a.Bounds().left; });
    NumberProperty(L"Top", actor, [](const CharacterActor& a) { return a.Bounds().top; });
    NumberProperty(L"Width", actor, [](const CharacterActor& a) { return a.Bounds().right - a.Bounds().left; });
    NumberProperty(L"Height", actor, [](const CharacterActor& a) { return a.Bounds().bottom - a.Bounds().top; });
    NumberProperty(L"MoveCause", actor, [](const CharacterActor& a) { return static_cast<long>(a.moveCause); });
    NumberProperty(L"VisibilityCause", actor,
                   [](const CharacterActor& a) { return static_cast<long>(a.visibilityCause); });
    SwitchProperty(L"AutoPopupMenu", actor, &CharacterActor::autoPopupMenu);
    SwitchProperty(L"SoundEffectsOn", actor, &CharacterActor::soundEffects);
    Method(L"Balloon", 0, [actor](const auto&, VARIANT* result) {
      Return(result, static_cast<IDispatch*>(new BalloonObject(actor)));
    });

    RequestMethod(L"Show", 0, actor, [](CharacterActor& a, const auto&) { return a.Show(); });
    RequestMethod(L"Hide", 0, actor, [](CharacterActor& a, const auto&) { return a.Hide(); });
    RequestMethod(L"Speak", 1, actor, [](CharacterActor& a, const auto& args) {
      return a.Speak(TextArgument(*args[0]).value_or(L""));
    });
    RequestMethod(L"Think", 1, actor, [](CharacterActor& a, const auto& args) {
      return a.Think(TextArgument(*args[0]).value_or(L""));
    });
    RequestMethod(L"Play", 1, actor, [](CharacterActor& a, const auto& args) {
      return a.Play(WideToAnsi(TextArgument(*args[0]).value_or(L"")));
    });
    RequestMethod(L"MoveTo", 2, actor, [](CharacterActor& a, const auto& args) {
      const auto whole = [&](size_t i, long fallback) {
        return i < args.size() ? WholeNumber(NumberArgument(*args[i]).value_or(fallback), fallback) : fallback;
      };
      return a.MoveTo(whole(0, 0), whole(1, 0), whole(2, 1000));
    });
    Method(L"Stop", 0, [actor](const auto&, VARIANT*) {
      if (const auto loaded = actor.lock()) loaded->Stop();
    });
  }

 private:
  using Args = std::vector<const VARIANT*>;

  void RequestMethod(const std::wstring& name, size_t arguments, ActorRef actor,
                     std::function<CharacterActor::Request(CharacterActor&, const Args&)> request) {
    Method(name, arguments, [actor, request](const Args& args, VARIANT* result) {
      const auto loaded = actor.lock();
      ReturnRequest(result, loaded ? request(*loaded, args) : Failed());
    });
  }
  void TextProperty(const std::wstring& name, ActorRef actor, std::string CharacterFile::*field) {
    Property(name, [actor, field](VARIANT* result) {
      const auto loaded = actor.lock();
      Return(result, loaded ? Utf8ToWide(loaded->Character().*field) : std::wstring());
    });
  }
  void LogicalProperty(const std::wstring& name, ActorRef actor, std::function<bool(const CharacterActor&)> read) {
    Property(name, [actor, read](VARIANT* result) {
      const auto loaded = actor.lock();
      Return(result, loaded != nullptr && read(*loaded));
    });
  }
  void NumberProperty(const std::wstring& name, ActorRef actor, std::function<long(const CharacterActor&)> read) {
    Property(name, [actor, read](VARIANT* result) {
      const auto loaded = actor.lock();
      Return(result, loaded ? read(*loaded) : 0L);
    });
  }
  void SwitchProperty(const std::wstring& name, ActorRef actor, bool CharacterActor::*field) {
    Property(
        name,
        [actor, field](VARIANT* result) {
          const auto loaded = actor.lock();
          Return(result, loaded != nullptr && (*loaded).*field);
        },
        LogicalWriter([actor, field](bool on) {
          if (const auto loaded = actor.lock()) (*loaded).*field = on;
        }));
  }

  std::wstring name_;
};

class CharactersObject final : public ServiceObject {
 public:
  explicit CharactersObject(DefaultCharacter defaultCharacter) : defaultCharacter_(std::move(defaultCharacter)) {
    Method(L"Load", 1, [this](const Args& args, VARIANT*) {
      const std::wstring name = TextArgument(*args[0]).value_or(L"");
      const std::optional<std::wstring> file = args.size() > 1 ? TextArgument(*args[1]) : std::nullopt;
      Load(name, file);
    });
    Method(L"Character", 1, [this](const Args& args, VARIANT* result) {
      const auto found = Find(TextArgument(*args[0]).value_or(L""));
      if (found == loaded_.end()) return;  // not loaded: nothing (an empty result)
      found->object->AddRef();
      Return(result, found->object);
    });
    Method(L"Unload", 1, [this](const Args& args, VARIANT*) {
      const auto found = Find(TextArgument(*args[0]).value_or(L""));
      if (found == loaded_.end()) return;
      found->object->Release();
      loaded_.erase(found);  // its windows go with it
    });
  }
  ~CharactersObject() override {
    for (Loaded& character : loaded_) character.object->Release();
  }

 private:
  using Args = std::vector<const VARIANT*>;
  struct Loaded {
    std::wstring name;
    std::shared_ptr<CharacterActor> actor;
    IDispatch* object;  // one reference
  };

  std::vector<Loaded>::iterator Find(const std::wstring& name) {
    return std::find_if(loaded_.begin(), loaded_.end(),
                        [&](const Loaded& character) { return lstrcmpiW(character.name.c_str(), name.c_str()) == 0; });
  }

  // A file that cannot be read gives way to the program's own first character: the
  // assistant never disappears because of a damaged or foreign file.
  void Load(const std::wstring& name, const std::optional<std::wstring>& file) {
    if (Find(name) != loaded_.end()) return;  // already loaded under that name
    std::shared_ptr<const CharacterFile> character;
    if (file && !file->empty()) {
      try {
        character = std::make_shared<const CharacterFile>(LoadCharacterFile(WideToAnsi(*file)));
      } catch (const std::exception&) {  // damaged, foreign, or more than memory allows
        character = nullptr;
      }
    }
    if (!character && defaultCharacter_) character = defaultCharacter_();
    if (!character) return;
    try {
      auto actor = std::make_shared<CharacterActor>(character);
      // Loaded without a name, it goes by the character's own.
      const std::wstring shownName = name.empty() ? Utf8ToWide(character->name) : name;
      loaded_.push_back({name, actor, new CharacterObject(actor, shownName)});
    } catch (const std::runtime_error&) {
      // Without its windows the character cannot be had; Character answers nothing.
    }
  }

  DefaultCharacter defaultCharacter_;
  std::vector<Loaded> loaded_;
};

class ControlObject final : public ServiceObject {
 public:
  explicit ControlObject(DefaultCharacter defaultCharacter)
      : characters_(new CharactersObject(std::move(defaultCharacter))) {
    Property(
        L"Connected", [this](VARIANT* result) { Return(result, connected_); },
        LogicalWriter([this](bool on) { connected_ = on; }));
    Property(L"Characters", [this](VARIANT* result) {
      characters_->AddRef();
      Return(result, static_cast<IDispatch*>(characters_));
    });
  }
  ~ControlObject() override { characters_->Release(); }

 private:
  CharactersObject* characters_;
  bool connected_ = false;
};

}  // namespace

IDispatch* NewCharacterControl(DefaultCharacter defaultCharacter) {
  return new ControlObject(std::move(defaultCharacter));
}

size_t LiveRequestsForTesting() { return liveRequests; }

}  // namespace memotab::character
