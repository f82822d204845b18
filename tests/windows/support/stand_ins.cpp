#include "stand_ins.h"

#include <cstdio>
#include <functional>
#include <map>

#include "ole_bridge.h"

namespace memotab::test {

std::string Narrow(const wchar_t* text) {
  char narrow[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

namespace {

std::string Arguments(const BuiltInDispatch::Call& call) {
  std::string text;
  for (const VARIANT* argument : call.args) text += (text.empty() ? "" : ",") + Describe(*argument);
  return text;
}

// A stand-in whose members log themselves; members answer through the handlers given.
class Logged : public BuiltInDispatch {
 public:
  Logged(std::shared_ptr<CallLog> log, std::string prefix) : log_(std::move(log)), prefix_(std::move(prefix)) {}

  // A property the stand-in keeps: reads give its value, writes replace it.
  void Property(const std::wstring& name, VARIANT initial) {
    auto value = std::make_shared<VARIANT>(initial);
    AddMember(name, [this, name, value](const Call& call, VARIANT* result) -> HRESULT {
      if (call.flags & DISPATCH_PROPERTYPUT) {
        log_->calls.push_back(prefix_ + Narrow(name.c_str()) + "=" + Describe(*call.args.back()));
        VariantCopy(value.get(), const_cast<VARIANT*>(call.args.back()));
        return S_OK;
      }
      log_->calls.push_back(prefix_ + Narrow(name.c_str()));
      return result != nullptr ? VariantCopy(result, value.get()) : S_OK;
    });
  }
  // A method: logs its call and answers through `answer`.
  void Method(const std::wstring& name, std::function<HRESULT(const Call&, VARIANT*)> answer) {
    AddMember(name, [this, name, answer = std::move(answer)](const Call& call, VARIANT* result) {
      log_->calls.push_back(prefix_ + Narrow(name.c_str()) + "(" + Arguments(call) + ")");
      return answer(call, result);
    });
  }

 private:
  std::shared_ptr<CallLog> log_;
  std::string prefix_;
};

VARIANT Long(long value) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_I4;
  variant.lVal = value;
  return variant;
}

VARIANT Text(const wchar_t* value) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_BSTR;
  variant.bstrVal = SysAllocString(value);
  return variant;
}

// A request of the character service: finished once its time is over, interrupted by Stop.
// Each read of its Status is logged as the call that made it.
class Request : public BuiltInDispatch {
 public:
  Request(int milliseconds, long running, std::shared_ptr<CallLog> reads, std::string madeBy)
      : done_(GetTickCount64() + static_cast<ULONGLONG>(milliseconds)), running_(running) {
    AddMember(L"Status", [this, reads = std::move(reads), madeBy = std::move(madeBy)](const Call&, VARIANT* result) {
      reads->calls.push_back(madeBy);
      Return(result, GetTickCount64() >= done_ ? 0L : running_);
      return S_OK;
    });
  }

 private:
  ULONGLONG done_;
  long running_;
};

// An object member that answers as `failing` says when it is the failing one.
using Failing = std::shared_ptr<std::pair<std::wstring, StandIns::Failure>>;
HRESULT AnswerObject(const Failing& failing, const wchar_t* member, const BuiltInDispatch::Call& call,
                     IDispatch* object, VARIANT* result) {
  if (failing->first == member && failing->second == StandIns::Failure::kException) {
    if (call.exception != nullptr) {
      call.exception->bstrSource = SysAllocString(L"Servicio");
      call.exception->bstrDescription = SysAllocString(L"Sin servicio");
    }
    return DISP_E_EXCEPTION;
  }
  if (failing->first == member && failing->second == StandIns::Failure::kNullObject) object = nullptr;
  if (object != nullptr) object->AddRef();
  BuiltInDispatch::Return(result, object);
  return S_OK;
}

Logged* Recorder(std::shared_ptr<CallLog> log) {
  auto* recorder = new Logged(log, "");
  recorder->Method(L"Record", [](const BuiltInDispatch::Call&, VARIANT*) { return S_OK; });
  recorder->Method(L"Echo", [](const BuiltInDispatch::Call& call, VARIANT* result) {
    return call.args.empty() || result == nullptr ? S_OK : VariantCopy(result, const_cast<VARIANT*>(call.args.front()));
  });
  recorder->Property(L"Value", Long(0));
  recorder->Method(L"Returns", [log](const BuiltInDispatch::Call& call, VARIANT* result) -> HRESULT {
    const std::string kind = Narrow(call.args.front()->bstrVal);
    if (kind == "I8") {
      result->vt = VT_I8;
      result->llVal = 1;
    } else if (kind == "UI1") {
      result->vt = VT_UI1;
      result->bVal = 200;
    } else if (kind == "CY") {
      result->vt = VT_CY;
      result->cyVal.int64 = 15000;  // 1.5
    } else if (kind == "DATE") {
      result->vt = VT_DATE;
      result->date = 2.75;  // 1 January 1900, in the afternoon
    } else if (kind == "BOOL") {
      result->vt = VT_BOOL;
      result->boolVal = 5;
    } else if (kind == "ERROR") {
      result->vt = VT_ERROR;
      result->scode = E_FAIL;
    } else if (kind == "OBJECT") {
      BuiltInDispatch::Return(result, static_cast<IDispatch*>(Recorder(log)));
    } else if (kind == "TEXT") {
      BuiltInDispatch::Return(result, std::wstring(L"mañana también"));
    }
    return S_OK;
  });
  recorder->Method(L"OnlyMethod", [](const BuiltInDispatch::Call& call, VARIANT* result) -> HRESULT {
    if (call.flags == DISPATCH_PROPERTYGET) return DISP_E_MEMBERNOTFOUND;
    BuiltInDispatch::Return(result, 7L);
    return S_OK;
  });
  // Answers first, then calls the bridge again as a modal loop's handlers would.
  recorder->Method(L"AnswersThenNests", [recorder](const BuiltInDispatch::Call&, VARIANT* result) -> HRESULT {
    BuiltInDispatch::Return(result, std::wstring(L"afuera"));
    const auto self = reinterpret_cast<intptr_t>(static_cast<IDispatch*>(recorder));
    OLEINVOKE(self, "Returns", {std::string("OBJECT")});
    OLEINVOKE(self, "Fails");
    return S_OK;
  });
  recorder->Method(L"Fails", [](const BuiltInDispatch::Call& call, VARIANT*) -> HRESULT {
    if (call.exception != nullptr) {
      call.exception->bstrSource = SysAllocString(L"Prueba");
      call.exception->bstrDescription = SysAllocString(L"Algo falló");
    }
    return DISP_E_EXCEPTION;
  });
  return recorder;
}

IDispatch* NewCharacter(std::shared_ptr<CallLog> log, std::shared_ptr<int> milliseconds, std::shared_ptr<bool> visible,
                       std::shared_ptr<long> running, std::shared_ptr<CallLog> reads, Failing failing) {
  auto* character = new Logged(log, "");
  for (const wchar_t* name : {L"AutoPopupMenu", L"SoundEffectsOn", L"Name"}) character->Property(name, Long(0));
  character->Property(L"Version", Text(L"2.0"));
  character->Property(L"Description", Text(L"Una nota que habla"));
  character->Property(L"ExtraData", Text(L""));
  character->Property(L"Left", Long(300));
  character->Property(L"Top", Long(200));
  character->Property(L"Width", Long(128));
  character->Property(L"Height", Long(128));
  const auto newRequest = [milliseconds, running, reads](const wchar_t* name, const BuiltInDispatch::Call& call) {
    return new Request(*milliseconds, *running, reads, Narrow(name) + "(" + Arguments(call) + ")");
  };
  character->Method(L"Visible", [visible](const BuiltInDispatch::Call&, VARIANT* result) {
    BuiltInDispatch::Return(result, *visible);
    return S_OK;
  });
  for (const bool showing : {true, false}) {
    const wchar_t* name = showing ? L"Show" : L"Hide";
    character->Method(name, [name, showing, visible, newRequest](const BuiltInDispatch::Call& call, VARIANT* result) {
      *visible = showing;
      BuiltInDispatch::Return(result, static_cast<IDispatch*>(newRequest(name, call)));
      return S_OK;
    });
  }
  for (const wchar_t* name : {L"Speak", L"Think", L"MoveTo", L"Play"}) {
    character->Method(name, [name, newRequest, failing](const BuiltInDispatch::Call& call, VARIANT* result) {
      IDispatch* made = newRequest(name, call);
      const HRESULT answer = AnswerObject(failing, name, call, made, result);
      made->Release();
      return answer;
    });
  }
  character->Method(L"Stop", [](const BuiltInDispatch::Call&, VARIANT*) { return S_OK; });
  auto* balloon = new Logged(log, "Balloon.");
  balloon->Property(L"FontName", Text(L"Tahoma"));
  balloon->Property(L"FontSize", Long(9));
  balloon->Property(L"Style", Long(0));
  character->Method(L"Balloon", [balloon, failing](const BuiltInDispatch::Call& call, VARIANT* result) {
    return AnswerObject(failing, L"Balloon", call, balloon, result);
  });
  return character;
}

}  // namespace

std::string Describe(const VARIANT& value) {
  char text[64] = {};
  switch (value.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_I4: std::snprintf(text, sizeof text, "I4:%ld", static_cast<long>(value.lVal)); return text;
    case VT_R8: std::snprintf(text, sizeof text, "R8:%g", value.dblVal); return text;
    case VT_BOOL: std::snprintf(text, sizeof text, "BOOL:%d", static_cast<int>(value.boolVal)); return text;
    case VT_DATE: std::snprintf(text, sizeof text, "DATE:%g", value.date); return text;
    case VT_BSTR: return "BSTR:" + Narrow(value.bstrVal);
    case VT_DISPATCH: return "DISPATCH";
    default: std::snprintf(text, sizeof text, "VT%d", static_cast<int>(value.vt)); return text;
  }
}

std::string CallLog::Joined() const {
  std::string text;
  for (const std::string& call : calls) text += (text.empty() ? "" : " ") + call;
  return text;
}

StandIns::StandIns() {
  RegisterBuiltInObject("Test.Recorder", [log = recorder] { return static_cast<IDispatch*>(Recorder(log)); });
  RegisterBuiltInObject("Agent.Control.2", [log = agent, milliseconds = requestMilliseconds, visible = characterVisible,
                                             running = runningStatus, reads = statusReads, failing = failing] {
    auto* control = new Logged(log, "");
    control->Property(L"Connected", Long(0));
    auto* characters = new Logged(log, "");
    characters->Method(L"Load", [](const BuiltInDispatch::Call&, VARIANT*) { return S_OK; });
    characters->Method(L"Unload", [](const BuiltInDispatch::Call&, VARIANT*) { return S_OK; });
    IDispatch* character = NewCharacter(log, milliseconds, visible, running, reads, failing);
    characters->Method(L"Character", [character, failing](const BuiltInDispatch::Call& call, VARIANT* result) {
      return AnswerObject(failing, L"Character", call, character, result);
    });
    control->Method(L"Characters", [characters, failing](const BuiltInDispatch::Call& call, VARIANT* result) {
      return AnswerObject(failing, L"Characters", call, characters, result);
    });
    return static_cast<IDispatch*>(control);
  });
  RegisterBuiltInObject("BlnDialog.Balloon", [this, log = balloon] {
    auto* control = new Logged(log, "");
    control->Property(L"ButtonsCaptions", Text(L""));
    control->Method(L"SetCharacterPosition", [](const BuiltInDispatch::Call&, VARIANT*) { return S_OK; });
    control->Method(L"MsgBalloon", [this](const BuiltInDispatch::Call&, VARIANT* result) {
      return balloonAnswer && result != nullptr ? VariantCopy(result, balloonAnswer.get()) : S_OK;
    });
    control->Method(L"InputBalloon", [this](const BuiltInDispatch::Call&, VARIANT* result) {
      BuiltInDispatch::Return(result, *balloonText);
      return S_OK;
    });
    return static_cast<IDispatch*>(control);
  });
}

StandIns::~StandIns() {
  for (const char* progId : {"Test.Recorder", "Agent.Control.2", "BlnDialog.Balloon"}) UnregisterBuiltInObject(progId);
}

}  // namespace memotab::test
