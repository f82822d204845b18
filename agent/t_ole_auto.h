#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ole_value.h"

namespace memotab {

// An automation object driven by member name. A member the class does not define is
// reached through Send (a read, which falls back to a method call) or Assign (a write).
// Failures are shown in "OLE Error" boxes; objects an object returns come back wrapped.
class TOleAuto : public std::enable_shared_from_this<TOleAuto> {
 public:
  // Creates the object from a ProgID or class identifier in braces; hObj is 0 when that
  // fails (the bridge's last error says why).
  static std::shared_ptr<TOleAuto> New(const std::string& cProgId);
  // Wraps an interface pointer as it is.
  static std::shared_ptr<TOleAuto> New(intptr_t hObj);
  // An object that came back as a result is released when its wrapper goes (the bridge
  // keeps it for the program until then); any other object is kept.
  ~TOleAuto();
  TOleAuto(const TOleAuto&) = delete;
  TOleAuto& operator=(const TOleAuto&) = delete;

  // Releases the bridge's hold on the automation runtime; the object itself is kept.
  void End();
  OleValue Invoke(const std::string& cMember, std::vector<OleValue> aArgs = {});
  OleValue Get(const std::string& cMember, std::vector<OleValue> aArgs = {});
  void Set(const std::string& cMember, std::vector<OleValue> aArgs);

  // A message the class does not answer itself, by name: "_NAME" assigns, any other reads.
  OleValue Send(const std::string& cMessage, std::vector<OleValue> aArgs = {});
  // The assignment `object:NAME := value`.
  void Assign(const std::string& cMember, OleValue value);

  intptr_t hObj = 0;

 private:
  TOleAuto(intptr_t object, bool ownsResult) : hObj(object), ownsResult_(ownsResult) {}
  // A returned object comes back as a new TOleAuto; anything else as it is.
  OleValue Wrapped(OleValue result) const;

  bool ownsResult_;  // holds the reference the bridge took for the program
};

}  // namespace memotab
