#pragma once

#include <functional>

#include "win.h"

#include <shellapi.h>

namespace memotab {

// Hands a notify record to the shell (NIM_ADD, NIM_MODIFY or NIM_DELETE): Shell_NotifyIconA,
// looked up in shell32.dll for each request. When the library cannot be loaded the user is
// told and nothing is sent. Returns whether the shell took the request.
bool SendTrayRecord(DWORD nMessage, const NOTIFYICONDATAA& record);

// The seam where tests see the records sent: while an observer is set, it is shown every
// record before the shell gets it. Empty: no observer.
using TrayRecordObserver = std::function<void(DWORD nMessage, const NOTIFYICONDATAA& record)>;
void SetTrayRecordObserverForTesting(TrayRecordObserver observer);

}  // namespace memotab
