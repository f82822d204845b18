#include "message_boxes.h"

#include <algorithm>

#include "dialog_template.h"
#include "event_loop.h"
#include "win.h"

namespace memotab {

namespace {

int Box(const std::string& text, const std::string& title, UINT flags) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), flags);
}

constexpr uint16_t kPromptEdit = 101;

struct Prompt {
  std::string* value;
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* prompt = reinterpret_cast<Prompt*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetDlgItemTextA(dialog, kPromptEdit, prompt->value->c_str());
      SendDlgItemMessageA(dialog, kPromptEdit, EM_SETSEL, 0, -1);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* prompt = reinterpret_cast<Prompt*>(GetWindowLongPtrA(dialog, DWLP_USER));
        const HWND edit = GetDlgItem(dialog, kPromptEdit);
        std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)), '\0');
        GetWindowTextA(edit, text.data(), static_cast<int>(text.size() + 1));
        *prompt->value = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void MSGINFO(const std::string& cText, const std::string& cTitle) { Box(cText, cTitle, MB_OK | MB_ICONINFORMATION); }

bool MSGNOYES(const std::string& cText, const std::string& cTitle) {
  return Box(cText, cTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void MSGSTOP(const std::string& cText, const std::string& cTitle) { Box(cText, cTitle, MB_OK | MB_ICONSTOP); }

void MSGALERT(const std::string& cText, const std::string& cTitle) { Box(cText, cTitle, MB_OK | MB_ICONEXCLAMATION); }

int MESSAGEBOX(const std::string& cText, const std::string& cTitle, unsigned nFlags) {
  return MessageBoxA(nullptr, cText.c_str(), cTitle.c_str(), nFlags);
}

bool MSGGET(const std::string& cTitle, const std::string& cText, std::string& cValue) {
  DialogTemplate dialog(cTitle, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 220, 64);
  dialog.AddControl(DialogTemplate::kStatic, cText, 0xFFFF, SS_LEFT, 7, 7, 206, 10);
  dialog.AddControl(DialogTemplate::kEdit, "", kPromptEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 20, 206, 13);
  dialog.AddControl(DialogTemplate::kButton, "&Ok", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 42, 50, 14);
  dialog.AddControl(DialogTemplate::kButton, "&Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 163, 42, 50, 14);
  Prompt prompt{&cValue};
  const INT_PTR result =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), static_cast<const DLGTEMPLATE*>(dialog.Data()),
                              GetActiveWindow(), PromptProc, reinterpret_cast<LPARAM>(&prompt));
  return result == IDOK;
}

void MSGWAIT(const std::string& cText, const std::string&, double nSeconds) {
  // Three rows high and four characters wider than the text, centred on the screen.
  const int width = static_cast<int>(cText.size() + 4) * 8;
  const int height = 3 * 16;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  // The note only shows: the window the user is in stays active, and nothing else is
  // activated in its place when the note goes.
  const HWND note = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", cText.c_str(),
                                    WS_POPUP | WS_BORDER | SS_CENTER | SS_CENTERIMAGE, x, y, width, height, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
  if (note != nullptr) {
    ShowWindow(note, SW_SHOWNOACTIVATE);
    UpdateWindow(note);
  }
  SYSWAIT(nSeconds);
  if (note != nullptr) DestroyWindow(note);
}

}  // namespace memotab
