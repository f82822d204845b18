#include "t_ole_auto.h"

#include <algorithm>

#include "message_boxes.h"
#include "ole_bridge.h"
#include "win.h"

namespace memotab {

namespace {

// Trailing nils are not passed; nils before a given argument are passed as empty.
void TrimTrailingNils(std::vector<OleValue>& args) {
  while (!args.empty() && IsNil(args.back())) args.pop_back();
}

bool Failed() { return OLEERROR() != 0 && OLEERROR() != -1; }

void ShowOleError(const std::string& member) { MSGALERT(member + ":   " + OLE2TXTERROR(), "OLE Error"); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
}

}  // namespace

std::shared_ptr<TOleAuto> TOleAuto::New(const std::string& cProgId) {
  return std::shared_ptr<TOleAuto>(new TOleAuto(CREATEOLEOBJECT(cProgId), false));
}

std::shared_ptr<TOleAuto> TOleAuto::New(intptr_t object) {
  return std::shared_ptr<TOleAuto>(new TOleAuto(object, false));
}

TOleAuto::~TOleAuto() {
  // Once the automation runtime has stopped, an object of another process cannot be reached.
  if (ownsResult_ && hObj != 0 && OleInitCount() > 0) reinterpret_cast<IUnknown*>(hObj)->Release();
}

void TOleAuto::End() { OLEUNINITIALIZE(); }

OleValue TOleAuto::Wrapped(OleValue result) const {
  if (!OLEISOBJECT()) return result;
  return std::shared_ptr<TOleAuto>(new TOleAuto(static_cast<intptr_t>(std::get<int64_t>(result)), true));
}

OleValue TOleAuto::Invoke(const std::string& cMember, std::vector<OleValue> aArgs) {
  TrimTrailingNils(aArgs);
  OleValue result = OLEINVOKE(hObj, cMember, aArgs);
  if (OLEISOBJECT()) return Wrapped(std::move(result));
  if (OLE2TXTERROR() == "DISP_E_EXCEPTION") {
    OLESHOWEXCEPTION();
    return shared_from_this();
  }
  if (Failed()) {
    ShowOleError(cMember);
    MSGINFO(std::string(1, TypeLetter(result)));
  }
  return result;
}

OleValue TOleAuto::Get(const std::string& cMember, std::vector<OleValue> aArgs) {
  TrimTrailingNils(aArgs);
  OleValue result = OLEGETPROPERTY(hObj, cMember, aArgs);
  const std::string error = OLE2TXTERROR();
  // A method reached as a plain message is first tried as a property.
  if (error == "DISP_E_MEMBERNOTFOUND" || error == "DISP_E_BADPARAMCOUNT" || error == "DISP_E_EXCEPTION") {
    return Invoke(cMember, std::move(aArgs));
  }
  if (OLEISOBJECT()) return Wrapped(std::move(result));
  if (Failed()) ShowOleError(cMember);
  return result;
}

void TOleAuto::Set(const std::string& cMember, std::vector<OleValue> aArgs) {
  TrimTrailingNils(aArgs);
  OLESETPROPERTY(hObj, cMember, aArgs);
  if (OLE2TXTERROR() == "DISP_E_EXCEPTION") {
    OLESHOWEXCEPTION();
  } else if (Failed()) {
    ShowOleError(cMember);
  }
}

OleValue TOleAuto::Send(const std::string& cMessage, std::vector<OleValue> aArgs) {
  const std::string name = Upper(cMessage);
  if (!name.empty() && name.front() == '_') {
    Set(name.substr(1), std::move(aArgs));
    return {};
  }
  return Get(name, std::move(aArgs));
}

void TOleAuto::Assign(const std::string& cMember, OleValue value) { Send("_" + cMember, {std::move(value)}); }

}  // namespace memotab
