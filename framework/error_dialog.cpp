// The error handler's dialog and the end of the program after an unhandled error.
#include "win.h"

#include <shellapi.h>

#include <cstdio>
#include <exception>

#include "crash_handlers.h"
#include "dialog_template.h"
#include "error_block.h"
#include "error_log.h"
#include "error_report.h"
#include "event_loop.h"
#include "gdi_resources.h"
#include "net_error.h"

namespace memotab {

namespace {

constexpr uint16_t kDescription = 201;
constexpr uint16_t kStackLabel = 202;
constexpr uint16_t kStackList = 203;
constexpr uint16_t kLogo = 204;
constexpr uint16_t kQuit = 211;
constexpr uint16_t kRetry = 212;
constexpr uint16_t kDefault = 213;
constexpr uint16_t kSeeLog = 214;

constexpr const char* kCaption = "Memotab Framework - Runtime Error";

struct DialogData {
  const RuntimeError* error;
  std::vector<std::string> stack;
};

[[noreturn]] void EndProgram() {
  RESALLFREE();
  ExitProcess(1);
}

// Says that an error arose while an error was being reported, and ends the program.
[[noreturn]] void StopAfterNestedError(const std::exception_ptr& nested, int line) {
  char number[8];
  std::snprintf(number, sizeof number, "%3d", line);
  try {
    ShowStopBox((ERRORMESSAGE(AsRuntimeError(nested)) + " from Errorsys, line:" + number).c_str());
  } catch (...) {
    char text[64];  // no memory left for the whole message
    std::snprintf(text, sizeof text, "Error from Errorsys, line:%s", number);
    ShowStopBox(text);
  }
  EndProgram();
}

// Puts the controls at their places in pixels: 300 wide, 250 high.
void Layout(HWND dialog) {
  RECT frame{};
  GetWindowRect(dialog, &frame);
  RECT client{0, 0, 300, 250};
  AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const HWND owner = GetWindow(dialog, GW_OWNER);
  RECT area{};
  if (owner != nullptr && IsWindowVisible(owner)) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  MoveWindow(dialog, area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2,
             width, height, FALSE);
  const auto place = [&](uint16_t id, int x, int y, int cx, int cy) {
    MoveWindow(GetDlgItem(dialog, id), x, y, cx, cy, FALSE);
  };
  place(kLogo, 6, 6, 32, 32);
  place(kDescription, 44, 6, 250, 56);
  place(kStackLabel, 8, 66, 284, 14);
  place(kStackList, 8, 82, 284, 120);
  place(kQuit, 8, 212, 56, 28);
  place(kRetry, 68, 212, 56, 28);
  place(kDefault, 128, 212, 56, 28);
  place(kSeeLog, 188, 212, 104, 28);
}

INT_PTR CALLBACK ErrorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* data = reinterpret_cast<const DialogData*>(lParam);
      Layout(dialog);
      SendDlgItemMessageA(dialog, kLogo, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ERROR)), 0);
      SetDlgItemTextA(dialog, kDescription, ("   Error description: " + ERRORMESSAGE(*data->error)).c_str());
      for (const std::string& line : data->stack) {
        SendDlgItemMessageA(dialog, kStackList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      }
      SendDlgItemMessageA(dialog, kStackList, LB_SETCURSEL, 0, 0);
      ShowWindow(GetDlgItem(dialog, kRetry), data->error->lCanRetry ? SW_SHOW : SW_HIDE);
      ShowWindow(GetDlgItem(dialog, kDefault), data->error->lCanDefault ? SW_SHOW : SW_HIDE);
      SetFocus(GetDlgItem(dialog, kQuit));
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kQuit:
        case IDCANCEL: EndDialog(dialog, kQuit); return TRUE;
        case kRetry: EndDialog(dialog, kRetry); return TRUE;
        case kDefault: EndDialog(dialog, kDefault); return TRUE;
        case kSeeLog:
          ShellExecuteA(dialog, "open", "notepad.exe", ErrorLogPath().c_str(), nullptr, SW_SHOWNORMAL);
          return TRUE;
        default: return FALSE;
      }
    default:
      return FALSE;
  }
}

INT_PTR ShowErrorDialog(const RuntimeError& error) {
  DialogTemplate dialog(kCaption, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 160);
  dialog.AddControl(DialogTemplate::kStatic, "", kLogo, SS_ICON, 0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kStatic, "", kDescription, SS_CENTER, 0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kStatic, "&Stack List", kStackLabel, SS_LEFT, 0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kListBox, "", kStackList, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT,
                    0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kButton, "&Quit", kQuit, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kButton, "&Retry", kRetry, BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kButton, "&Default", kDefault, BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0);
  dialog.AddControl(DialogTemplate::kButton, "See Error.log file", kSeeLog, BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0);
  DialogData data{&error, CalledFromLines(error)};
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), static_cast<const DLGTEMPLATE*>(dialog.Data()),
                                 GetActiveWindow(), ErrorDialogProc, reinterpret_cast<LPARAM>(&data));
}

bool IsSharingFailure(const RuntimeError& error) {
  return error.nOsCode == OS_SHARING_VIOLATION || error.nOsCode == OS_ACCESS_DENIED;
}

}  // namespace

void ERRORSYS() {
  SetErrorBlock(ERRORDIALOG);
  InstallCrashHandlers();
}

ErrorAnswer ERRORDIALOG(const RuntimeError& error) {
  static bool reporting = false;
  if (error.nGenCode == EG_ZERODIV) return ErrorAnswer::kZero;
  if ((error.nGenCode == EG_OPEN && IsSharingFailure(error) && error.lCanDefault) ||
      (error.nGenCode == EG_APPENDLOCK && error.lCanDefault)) {
    SETNETERR(true);
    return ErrorAnswer::kDefault;
  }
  // An error raised while an error is being reported, by a handler that runs inside the
  // dialog or while the report is built: say so and stop at once.
  if (reporting) StopAfterNestedError(std::make_exception_ptr(error), __LINE__);
  reporting = true;
  INT_PTR choice = kQuit;
  try {
    WriteErrorLog(error);
    choice = ShowErrorDialog(error);
  } catch (...) {
    StopAfterNestedError(std::current_exception(), __LINE__);
  }
  reporting = false;
  if (choice == kRetry && LWRUNNING()) return ErrorAnswer::kRetry;
  if (choice == kDefault) return ErrorAnswer::kDefault;
  EndProgram();
}

}  // namespace memotab
