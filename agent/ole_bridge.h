#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ole_value.h"

namespace memotab {

// The automation bridge: objects are created by ProgID or class identifier and driven by
// member name through their dispatch interface. An object is identified by its interface
// pointer, carried as a number (0 for none). The routines keep one shared state, which
// each call overwrites: the last error code (0 success, -1 a result type the program
// cannot hold), the last result and the last exception.

// Creates an object; 0 on failure (the reason is in OLEERROR()). Without `cIid` the
// dispatch interface is asked for; `cIid` is an identifier in braces or 16 raw bytes.
// A ProgID the system does not know is looked up among the program's built-in objects.
intptr_t CREATEOLEOBJECT(const std::string& cProgId, const std::optional<std::string>& cIid = std::nullopt);
// Calls a member as a method, reads it as a property (the arguments as indexes), or
// writes it (the last argument being the value). An object of 0 never reaches the system.
OleValue OLEINVOKE(intptr_t hObj, const std::string& cMember, const std::vector<OleValue>& aArgs = {});
OleValue OLEGETPROPERTY(intptr_t hObj, const std::string& cMember, const std::vector<OleValue>& aArgs = {});
void OLESETPROPERTY(intptr_t hObj, const std::string& cMember, const std::vector<OleValue>& aArgs);

int32_t OLEERROR();
std::string OLE2TXTERROR();
// True while the last result holds an object (until the next call).
bool OLEISOBJECT();
// Shows the last exception's source and description when the last call raised one.
void OLESHOWEXCEPTION();
// Releases one hold on the automation runtime; the last one stops it.
void OLEUNINITIALIZE();
// How many holds on the automation runtime are taken.
int OleInitCount();

// The texts of the error codes the bridge names; "Unknown error" for any other.
std::string OleErrorText(int32_t code);

}  // namespace memotab
