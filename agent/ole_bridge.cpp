#include "ole_bridge.h"

#include "win.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "builtin_objects.h"
#include "t_ole_auto.h"
#include "wide_text.h"

namespace memotab {

namespace {

// The bridge's state, one set for the whole program.
int32_t lastError = 0;
int initCount = 0;
VARIANT lastResult = [] {
  VARIANT empty;
  VariantInit(&empty);
  return empty;
}();
EXCEPINFO lastException{};

constexpr LCID kUserDefaultLocale = 0x400;
constexpr long kJulianDayOf18991230 = 2415019;

std::string Narrow(const wchar_t* text, int length) {
  return text == nullptr ? std::string() : WideToAnsi(std::wstring_view(text, static_cast<size_t>(length)));
}

std::string Narrow(BSTR text) { return Narrow(text, static_cast<int>(SysStringLen(text))); }

// A program value as an automation argument.
VARIANT ToVariant(const OleValue& value) {
  VARIANT variant;
  VariantInit(&variant);
  if (const auto* whole = std::get_if<int64_t>(&value)) {
    if (*whole >= INT32_MIN && *whole <= INT32_MAX) {
      variant.vt = VT_I4;
      variant.lVal = static_cast<LONG>(*whole);
    } else {  // too large for the integer type: sent as what it is, a number
      variant.vt = VT_R8;
      variant.dblVal = static_cast<double>(*whole);
    }
  } else if (const auto* real = std::get_if<double>(&value)) {
    variant.vt = VT_R8;
    variant.dblVal = *real;
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    const std::wstring wide = AnsiToWide(*text);
    variant.vt = VT_BSTR;
    variant.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  } else if (const auto* logical = std::get_if<bool>(&value)) {
    variant.vt = VT_BOOL;
    variant.boolVal = *logical ? 1 : 0;  // 1, not -1, as the objects of this program expect
  } else if (const auto* date = std::get_if<Date>(&value)) {
    variant.vt = VT_DATE;
    variant.date = date->IsEmpty() ? 0.0 : static_cast<double>(date->JulianDay() - kJulianDayOf18991230);
  } else if (const auto* object = std::get_if<std::shared_ptr<TOleAuto>>(&value)) {
    if (*object && (*object)->hObj != 0) {
      variant.vt = VT_DISPATCH;
      variant.pdispVal = reinterpret_cast<IDispatch*>((*object)->hObj);
      variant.pdispVal->AddRef();  // the argument's own reference, released when it is cleared
    }
  }
  return variant;
}

void ShowErrorVariant() {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(lastError) & 0xFFFF);
  MessageBoxA(nullptr, text, "VT_ERROR !", MB_OK | MB_ICONEXCLAMATION);
}

// The last result as a program value; the result is cleared unless it holds an object.
OleValue FromLastResult() {
  OleValue value;
  switch (lastResult.vt) {
    case VT_EMPTY:
    case VT_NULL: break;
    case VT_I1: value = int64_t{lastResult.cVal}; break;
    case VT_UI1: value = int64_t{lastResult.bVal}; break;
    case VT_I2: value = int64_t{lastResult.iVal}; break;
    case VT_UI2: value = int64_t{lastResult.uiVal}; break;
    case VT_I4: value = int64_t{lastResult.lVal}; break;
    case VT_UI4: value = int64_t{lastResult.ulVal}; break;
    case VT_INT: value = int64_t{lastResult.intVal}; break;
    case VT_UINT: value = int64_t{lastResult.uintVal}; break;
    case VT_R4: value = double{lastResult.fltVal}; break;
    case VT_R8: value = lastResult.dblVal; break;
    case VT_CY: {
      double real = 0;
      VarR8FromCy(lastResult.cyVal, &real);
      value = real;
      break;
    }
    case VT_DECIMAL: {
      double real = 0;
      VarR8FromDec(&lastResult.decVal, &real);
      value = real;
      break;
    }
    case VT_DATE:
      value = Date::FromJulianDay(static_cast<long>(std::floor(lastResult.date)) + kJulianDayOf18991230);
      break;
    case VT_BSTR: value = Narrow(lastResult.bstrVal); break;
    case VT_BOOL: value = lastResult.boolVal != 0; break;
    case VT_DISPATCH:
      // The result is kept, and the program's own reference is never released: objects
      // obtained from results live until the program ends.
      if (lastResult.pdispVal != nullptr) lastResult.pdispVal->AddRef();
      return static_cast<int64_t>(reinterpret_cast<intptr_t>(lastResult.pdispVal));
    case VT_ERROR: ShowErrorVariant(); break;
    default:
      if (lastError == 0) lastError = -1;
      break;
  }
  VariantClear(&lastResult);
  return value;
}

void ResetCallState() {
  VariantClear(&lastResult);
  if (lastException.bstrSource != nullptr) SysFreeString(lastException.bstrSource);
  if (lastException.bstrDescription != nullptr) SysFreeString(lastException.bstrDescription);
  if (lastException.bstrHelpFile != nullptr) SysFreeString(lastException.bstrHelpFile);
  lastException = EXCEPINFO{};
}

// Calls one member. The object may run a modal loop in which other calls are made, so
// the call's result and exception live in locals and become the bridge's state only
// when it returns.
bool CallMember(intptr_t hObj, const std::string& member, const std::vector<OleValue>& args, WORD kind) {
  ResetCallState();
  if (hObj == 0) {  // an object that was never made is not passed to the system
    lastError = E_POINTER;
    return false;
  }
  auto* object = reinterpret_cast<IDispatch*>(hObj);
  std::wstring name = AnsiToWide(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  lastError = object->GetIDsOfNames(IID_NULL, names, 1, kUserDefaultLocale, &id);
  if (lastError != 0) return false;

  std::vector<VARIANT> arguments;
  for (auto argument = args.rbegin(); argument != args.rend(); ++argument) arguments.push_back(ToVariant(*argument));
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  if (kind == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  const HRESULT outcome = object->Invoke(id, IID_NULL, kUserDefaultLocale, kind, &params,
                                         kind == DISPATCH_PROPERTYPUT ? nullptr : &result, &exception, nullptr);
  if (outcome == DISP_E_EXCEPTION && exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
  for (VARIANT& argument : arguments) VariantClear(&argument);
  ResetCallState();  // whatever calls made meanwhile left behind
  lastResult = result;
  lastException = exception;
  lastError = outcome;
  return true;
}

bool ReadIdentifier(const std::string& text, GUID& identifier) {
  std::wstring wide = AnsiToWide(text);
  lastError = CLSIDFromString(wide.data(), &identifier);
  return lastError == 0;
}

}  // namespace

intptr_t CREATEOLEOBJECT(const std::string& cProgId, const std::optional<std::string>& cIid) {
  lastError = 0;
  if (initCount == 0) lastError = OleInitialize(nullptr);
  if (lastError != S_OK && lastError != S_FALSE) return 0;
  ++initCount;

  CLSID classId{};
  if (!cProgId.empty() && cProgId.front() == '{') {
    ReadIdentifier(cProgId, classId);
  } else {
    const std::wstring wide = AnsiToWide(cProgId);
    lastError = CLSIDFromProgID(wide.c_str(), &classId);
  }
  IID interfaceId = IID_IDispatch;
  if (cIid) {
    if (!cIid->empty() && cIid->front() == '{') {
      const int32_t lookup = lastError;
      ReadIdentifier(*cIid, interfaceId);
      if (lookup != 0 && lastError == 0) lastError = lookup;
    } else {
      std::memcpy(&interfaceId, cIid->data(), std::min(cIid->size(), sizeof interfaceId));
    }
  }
  void* object = nullptr;
  bool creationFailed = false;
  if (lastError == 0) {
    lastError = CoCreateInstance(classId, nullptr, CLSCTX_SERVER, interfaceId, &object);
    creationFailed = lastError != 0;
  }
  if (creationFailed || lastError == CO_E_CLASSSTRING || lastError == REGDB_E_CLASSNOTREG) {
    // The system does not know it, or cannot make it (a registration whose server is gone):
    // one of the program's own objects may stand in.
    if (IDispatch* builtIn = CreateBuiltInObject(cProgId)) {
      lastError = builtIn->QueryInterface(interfaceId, &object);
      builtIn->Release();
    }
  }
  return lastError == 0 ? reinterpret_cast<intptr_t>(object) : 0;
}

OleValue OLEINVOKE(intptr_t hObj, const std::string& cMember, const std::vector<OleValue>& aArgs) {
  CallMember(hObj, cMember, aArgs, DISPATCH_METHOD);
  return FromLastResult();
}

OleValue OLEGETPROPERTY(intptr_t hObj, const std::string& cMember, const std::vector<OleValue>& aArgs) {
  CallMember(hObj, cMember, aArgs, DISPATCH_PROPERTYGET);
  return FromLastResult();
}

void OLESETPROPERTY(intptr_t hObj, const std::string& cMember, const std::vector<OleValue>& aArgs) {
  CallMember(hObj, cMember, aArgs, DISPATCH_PROPERTYPUT);
}

int32_t OLEERROR() { return lastError; }

std::string OLE2TXTERROR() { return OleErrorText(lastError); }

bool OLEISOBJECT() { return lastResult.vt == VT_DISPATCH; }

void OLESHOWEXCEPTION() {
  if (lastError != DISP_E_EXCEPTION) return;
  MessageBoxA(nullptr, Narrow(lastException.bstrDescription).c_str(), Narrow(lastException.bstrSource).c_str(),
              MB_OK | MB_ICONSTOP);
}

void OLEUNINITIALIZE() {
  if (initCount == 0) return;
  if (--initCount == 0) OleUninitialize();
}

int OleInitCount() { return initCount; }

std::string OleErrorText(int32_t code) {
  switch (static_cast<uint32_t>(code)) {
    case 0x00000000: return "S_OK";
    case 0x8000FFFF: return "E_UNEXPECTED";
    case 0x80020001: return "DISP_E_UNKNOWNINTERFACE";
    case 0x80020003: return "DISP_E_MEMBERNOTFOUND";
    case 0x80020004: return "DISP_E_PARAMNOTFOUND";
    case 0x80020005: return "DISP_E_TYPEMISMATCH";
    case 0x80020006: return "DISP_E_UNKNOWNNAME";
    case 0x80020007: return "DISP_E_NONAMEDARGS";
    case 0x80020008: return "DISP_E_BADVARTYPE";
    case 0x80020009: return "DISP_E_EXCEPTION";
    case 0x8002000A: return "DISP_E_OVERFLOW";
    case 0x8002000C: return "DISP_E_UNKNOWNLCID";
    case 0x8002000E: return "DISP_E_BADPARAMCOUNT";
    case 0x8002000F: return "DISP_E_PARAMNOTOPTIONAL";
    case 0x8004000E: return "OLE_E_WRONGCOMPOBJ";
    case 0x80040151: return "REGDB_E_WRITEREGDB";
    case 0x80040154: return "REGDB_E_CLASSNOTREG";
    case 0x800401F3: return "CO_E_CLASSSTRING";
    case 0x8007000E: return "E_OUTOFMEMORY";
    case 0x80070057: return "E_INVALIDARG";
    default: return "Unknown error";
  }
}

}  // namespace memotab
