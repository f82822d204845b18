#include <cwchar>
#include <optional>
#include <utility>
#include <vector>

#include "com_ptr.h"
#include "speech_engine.h"
#include "win.h"

namespace memotab::character {

namespace {

constexpr long kAsync = 1;           // return at once
constexpr long kPurgeBefore = 2;     // silence what is being said first
constexpr long kNotMarkup = 16;      // the text is plain text

// The arguments of a call, last first as the call takes them; they are cleared when it
// goes, whatever became of the call.
class CallArguments {
 public:
  explicit CallArguments(std::vector<VARIANT> inCallOrder) : reversed_(inCallOrder.rbegin(), inCallOrder.rend()) {}
  ~CallArguments() {
    for (VARIANT& argument : reversed_) VariantClear(&argument);
  }
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;
  std::vector<VARIANT>& Reversed() { return reversed_; }

 private:
  std::vector<VARIANT> reversed_;
};

// Calls a member of an automation object by name; the arguments are in call order.
HRESULT Call(IDispatch* object, const wchar_t* name, WORD kind, std::vector<VARIANT> args, VARIANT* result) {
  CallArguments arguments(std::move(args));
  DISPID id = DISPID_UNKNOWN;
  auto* member = const_cast<LPOLESTR>(name);
  HRESULT outcome = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(outcome)) return outcome;
  std::vector<VARIANT>& reversed = arguments.Reversed();
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  if (result != nullptr) VariantInit(result);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
}

VARIANT Long(long value) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_I4;
  variant.lVal = value;
  return variant;
}

VARIANT Text(const std::wstring& value) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_BSTR;
  variant.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  return variant;
}

VARIANT Object(IDispatch* value) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_DISPATCH;
  variant.pdispVal = value;
  value->AddRef();
  return variant;
}

// A value as a number; nothing when it is not one. The value is cleared.
std::optional<long> TakeNumber(VARIANT& value) {
  VARIANT number;
  VariantInit(&number);
  const std::optional<long> result =
      SUCCEEDED(VariantChangeType(&number, &value, 0, VT_I4)) ? std::optional<long>(number.lVal) : std::nullopt;
  VariantClear(&value);
  return result;
}

// A property read as a number; nothing when it cannot be read.
std::optional<long> ReadNumber(IDispatch* object, const wchar_t* name) {
  VARIANT value;
  if (FAILED(Call(object, name, DISPATCH_PROPERTYGET, {}, &value))) return std::nullopt;
  return TakeNumber(value);
}

ComPtr<IDispatch> ReadObject(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, WORD kind) {
  VARIANT value;
  if (FAILED(Call(object, name, kind, std::move(args), &value))) return {};
  if (value.vt != VT_DISPATCH || value.pdispVal == nullptr) {
    VariantClear(&value);
    return {};
  }
  return ComPtr<IDispatch>(value.pdispVal);  // the reference of the result
}

}  // namespace

bool SpeaksSpanish(const std::wstring& languages) {
  size_t start = 0;
  while (start < languages.size()) {
    size_t end = languages.find(L';', start);
    if (end == std::wstring::npos) end = languages.size();
    const unsigned long language = std::wcstoul(languages.substr(start, end - start).c_str(), nullptr, 16);
    if ((language & 0x3FF) == 0x0A) return true;  // the primary language of 0x40A, 0x80A, 0xC0A, ...
    start = end + 1;
  }
  return false;
}

namespace {

// The system's engine, reached late-bound through its automation interface, so that no
// speech headers are needed.
class SystemSpeechEngine final : public SpeechEngine {
 public:
  explicit SystemSpeechEngine(ComPtr<IDispatch> engine) : engine_(std::move(engine)) { ChooseSpanishVoice(); }

  std::optional<long> Speak(const std::wstring& text) override {
    VARIANT stream;
    if (FAILED(Call(engine_.Get(), L"Speak", DISPATCH_METHOD, {Text(text), Long(kAsync | kPurgeBefore | kNotMarkup)},
                    &stream))) {
      return std::nullopt;
    }
    return TakeNumber(stream).value_or(0);  // it speaks, with no number to follow
  }

  std::optional<SpeechEngineStatus> Status() override {
    const ComPtr<IDispatch> status = ReadObject(engine_.Get(), L"Status", {}, DISPATCH_PROPERTYGET);
    if (!status) return std::nullopt;
    const std::optional<long> runningState = ReadNumber(status.Get(), L"RunningState");
    const std::optional<long> currentStream = ReadNumber(status.Get(), L"CurrentStreamNumber");
    const std::optional<long> wordPosition = ReadNumber(status.Get(), L"InputWordPosition");
    if (!runningState || !currentStream || !wordPosition) return std::nullopt;  // a guess would end a speech early
    return SpeechEngineStatus{
        .runningState = *runningState, .currentStream = *currentStream, .wordPosition = *wordPosition};
  }

  void Silence() override {
    VARIANT stream;
    if (SUCCEEDED(Call(engine_.Get(), L"Speak", DISPATCH_METHOD, {Text(L""), Long(kAsync | kPurgeBefore)}, &stream))) {
      VariantClear(&stream);
    }
  }

 private:
  void ChooseSpanishVoice() {
    const ComPtr<IDispatch> voices = ReadObject(engine_.Get(), L"GetVoices", {}, DISPATCH_METHOD);
    if (!voices) return;
    const long count = ReadNumber(voices.Get(), L"Count").value_or(0);
    for (long i = 0; i < count; ++i) {
      const ComPtr<IDispatch> token = ReadObject(voices.Get(), L"Item", {Long(i)}, DISPATCH_METHOD);
      if (!token) continue;
      VARIANT language;
      if (FAILED(Call(token.Get(), L"GetAttribute", DISPATCH_METHOD, {Text(L"Language")}, &language))) continue;
      const bool spanish = language.vt == VT_BSTR && language.bstrVal != nullptr && SpeaksSpanish(language.bstrVal);
      VariantClear(&language);
      if (spanish) {
        Call(engine_.Get(), L"Voice", DISPATCH_PROPERTYPUTREF, {Object(token.Get())}, nullptr);
        return;
      }
    }
  }

  ComPtr<IDispatch> engine_;
};

}  // namespace

std::unique_ptr<SpeechEngine> MakeSystemSpeechEngine() {
  CLSID classId{};
  ComPtr<IDispatch> engine;
  if (FAILED(CLSIDFromProgID(L"SAPI.SpVoice", &classId)) ||
      FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(engine.Receive())))) {
    return nullptr;
  }
  return std::make_unique<SystemSpeechEngine>(std::move(engine));
}

}  // namespace memotab::character
