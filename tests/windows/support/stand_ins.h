#pragma once

#include <memory>
#include <string>
#include <vector>

#include "builtin_objects.h"

namespace memotab::test {

// What the stand-ins were asked, in order: "NAME" for a read, "NAME=value" for a write,
// "NAME(arg,arg)" for a call; values as TYPE:value ("I4:1", "BOOL:1", "BSTR:texto").
struct CallLog {
  std::vector<std::string> calls;
  std::string Joined() const;
  void Clear() { calls.clear(); }
};

// UTF-16 text in the program's character set.
std::string Narrow(const wchar_t* text);

// An automation argument as TYPE:value.
std::string Describe(const VARIANT& value);

// Registers the stand-ins under the ProgIDs the program uses, and removes them again:
// "Test.Recorder" records every call and answers with values of any automation type;
// "Agent.Control.2" stands in for the character service (its requests finish after
// `requestMilliseconds`); "BlnDialog.Balloon" for the balloon control (it answers with
// `balloonAnswer`, a number, or `balloonText`).
class StandIns {
 public:
  StandIns();
  ~StandIns();
  StandIns(const StandIns&) = delete;
  StandIns& operator=(const StandIns&) = delete;

  std::shared_ptr<CallLog> recorder = std::make_shared<CallLog>();
  std::shared_ptr<CallLog> agent = std::make_shared<CallLog>();
  std::shared_ptr<CallLog> balloon = std::make_shared<CallLog>();
  std::shared_ptr<int> requestMilliseconds = std::make_shared<int>(150);
  std::shared_ptr<VARIANT> balloonAnswer;
  std::shared_ptr<std::wstring> balloonText = std::make_shared<std::wstring>(L"escrito");
  std::shared_ptr<bool> characterVisible = std::make_shared<bool>(false);
  // The state a running request reports until it is done.
  std::shared_ptr<long> runningStatus = std::make_shared<long>(4);
  // Every read of a request's Status, as the call that made the request ("Play(BSTR:Wave)"):
  // who waited on what.
  std::shared_ptr<CallLog> statusReads = std::make_shared<CallLog>();
  // A member of the service ("Characters", "Character", "Balloon", or a request of the
  // character: "Speak", "Think", "MoveTo" or "Play") that answers badly:
  // kException raises an exception, kNullObject answers an object that is no object.
  enum class Failure { kNone, kException, kNullObject };
  std::shared_ptr<std::pair<std::wstring, Failure>> failing =
      std::make_shared<std::pair<std::wstring, Failure>>(L"", Failure::kNone);
};

}  // namespace memotab::test
