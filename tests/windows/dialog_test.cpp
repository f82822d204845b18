// Dialogs from the program's templates, with their controls bound to variables, driven
// the way a user would: clicks, keys and tab changes from another thread.
#include <gtest/gtest.h>

#include <atomic>

#include "error_answers.h"
#include "event_loop.h"
#include "free_routines.h"
#include "screen_shot.h"
#include "t_bitmap.h"
#include "t_button.h"
#include "t_combo_box.h"
#include "t_date_pick.h"
#include "t_dialog.h"
#include "t_folder.h"
#include "t_get.h"
#include "t_say.h"
#include "text.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

// A control that only proves its identifier is in the template.
class Probe : public TControl {
 public:
  static std::shared_ptr<Probe> ReDefine(int id, TWindow& dialog) {
    std::shared_ptr<Probe> probe(new Probe());
    probe->Attach(id, dialog);
    return probe;
  }
};

struct Template {
  const char* name;
  std::vector<int> ids;  // every identifier the application redefines
};

const std::vector<Template> kTemplates = {
    {"RECORDATORIO", {800, 300, 101, 301, 102, 103, 104}},
    {"AVISO", {101, 102}},
    {"OPCIONES", {101, 102, 103}},
    {"OPCIONES2", {102, 104, 103, 101}},
    {"OPCIONES3", {101, 102}},
    {"OPCIONES4", {101, 106, 107, 102, 103, 104, 105}},
    {"ACERCA", {500, 400, 300}},
    {"MSAGENT", {101, 102}},
};

TEST(DialogTemplates, EveryTemplateHoldsTheIdentifiersTheProgramUses) {
  test::AnswerErrors collected;
  const WindowPtr host = TWindow::New({});
  for (const Template& entry : kTemplates) {
    const DialogPtr dialog = TDialog::New({.cResName = entry.name, .oWnd = host.get()});
    std::vector<std::shared_ptr<Probe>> probes;
    for (const int id : entry.ids) probes.push_back(Probe::ReDefine(id, *dialog));
    dialog->Activate({.lModal = false});
    ASSERT_NE(dialog->hWnd, nullptr) << entry.name;
    for (const auto& probe : probes) EXPECT_NE(probe->hWnd, nullptr) << entry.name << " " << probe->nId;
    DestroyWindow(dialog->hWnd);
  }
  EXPECT_TRUE(collected.errors.empty()) << collected.errors.front();
}

TEST(DialogTemplates, AMissingIdentifierIsReported) {
  test::AnswerErrors collected;
  const WindowPtr host = TWindow::New({});
  const DialogPtr dialog = TDialog::New({.cResName = "ACERCA", .oWnd = host.get()});
  Probe::ReDefine(999, *dialog);
  dialog->Activate({.lModal = false});
  ASSERT_EQ(collected.errors.size(), 1u);
  EXPECT_EQ(collected.errors[0], "No:    999");
  if (dialog->hWnd != nullptr) DestroyWindow(dialog->hWnd);
}

TEST(DialogTemplates, TextsArriveInSpanish) {
  const WindowPtr host = TWindow::New({});
  const DialogPtr dialog = TDialog::New({.cResName = "ACERCA", .oWnd = host.get()});
  dialog->Activate({.lModal = false});
  EXPECT_EQ(ControlText(GetDlgItem(dialog->hWnd, 501)), "Programación:");
  EXPECT_EQ(ControlText(dialog->hWnd), "Acerca de..");
  DestroyWindow(dialog->hWnd);
}

// The reminder dialog as the program shows it: a date, a time checked by `valid`, Accept
// and Cancel.
struct ReminderDialog {
  DialogPtr dialog = TDialog::New({.cResName = "RECORDATORIO"});
  Date date = *Date::FromYmd(2026, 12, 24);
  std::string time = "  :  ";
  std::atomic<int> checks{0};
  std::atomic<int> accepted{0};

  ReminderDialog() {
    dialog->lHelpIcon = false;
    TDatePick::ReDefine(101, Bind(date), *dialog);
    TGet::ReDefine(102, Bind(time), *dialog, [this] {
      ++checks;
      return Val(time.substr(0, 2)) <= 23;
    });
    TButtonBmp::ReDefine(103, [this] {
      ++accepted;
      dialog->End(1);
    }, *dialog, "ACEPTAR");
    TButtonBmp::ReDefine(104, [this] { dialog->End(); }, *dialog, "CANCELAR");
    TBitmap::ReDefine(300, "CALEND", *dialog)->lTransparent = true;
  }
};

TEST(Dialog, TimeThatFailsItsCheckKeepsTheFocusAndBlocksAcceptButNotEscape) {
  ReminderDialog reminder;
  struct Seen {
    bool focusKeptAfterTab = false;
    bool focusKeptAfterAccept = false;
    bool helpIcon = true;
  };
  std::future<Seen> seen = test::WhenWindowAppears<Seen>("Recordatorio", [&](HWND dialog) {
    Seen result;
    const HWND edit = GetDlgItem(dialog, 102);
    result.helpIcon = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("25:00"));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
    test::PressKey(edit, VK_TAB);  // leaving the field checks it and brings the focus back
    result.focusKeptAfterTab = test::WaitUntil([&] { return reminder.checks >= 1; }) &&
                               test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
    test::ClickLikeUser(GetDlgItem(dialog, 103));
    result.focusKeptAfterAccept = test::WaitUntil([&] { return reminder.checks >= 2; }) &&
                                  test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
    test::PressKey(edit, VK_ESCAPE);
    return result;
  });
  reminder.dialog->Activate();
  const Seen result = seen.get();
  EXPECT_TRUE(result.focusKeptAfterTab);
  EXPECT_TRUE(result.focusKeptAfterAccept);
  EXPECT_FALSE(result.helpIcon);
  EXPECT_EQ(reminder.accepted, 0);
  EXPECT_EQ(reminder.dialog->nResult, 2);
  EXPECT_EQ(reminder.time, "25:00");  // stored when the field was left, refused by the check
}

TEST(Dialog, EnterMovesOnAndAcceptStoresWhatWasEdited) {
  ReminderDialog reminder;
  std::future<bool> moved = test::WhenWindowAppears<bool>("Recordatorio", [&](HWND dialog) {
    const HWND picker = GetDlgItem(dialog, 101);
    const HWND edit = GetDlgItem(dialog, 102);
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("reminder-dialog.bmp"));
    SYSTEMTIME shown{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    const bool loaded = shown.wYear == 2026 && shown.wMonth == 12 && shown.wDay == 24;
    SYSTEMTIME chosen{};
    chosen.wYear = 2027;
    chosen.wMonth = 1;
    chosen.wDay = 15;
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(picker), TRUE);
    test::WaitUntil([&] { return test::FocusOfThread(dialog) == picker; });
    test::PressKey(picker, VK_RETURN);  // Enter: on to the time field, the dialog stays
    const bool onTime = test::WaitUntil([&] { return test::FocusOfThread(dialog) == edit; });
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("09:05"));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
    test::ClickLikeUser(GetDlgItem(dialog, 103));
    return loaded && onTime;
  });
  reminder.dialog->Activate();
  EXPECT_TRUE(moved.get());
  EXPECT_EQ(reminder.accepted, 1);
  EXPECT_EQ(reminder.dialog->nResult, 1);
  EXPECT_EQ(reminder.date, *Date::FromYmd(2027, 1, 15));
  EXPECT_EQ(reminder.time, "09:05");
}

TEST(Dialog, ValidationOfTheDialogCanRefuseToEnd) {
  const DialogPtr dialog = TDialog::New({.cResName = "AVISO"});
  int asked = 0;
  TButton::ReDefine(102, [&] { dialog->End(1); }, *dialog);
  std::future<bool> stayed = test::WhenWindowAppears<bool>("Recordatorio", [&](HWND window) {
    test::ClickLikeUser(GetDlgItem(window, 102));
    const bool open = test::WaitUntil([&] { return asked == 1; }) && IsWindow(window);
    test::ClickLikeUser(GetDlgItem(window, 102));
    return open;
  });
  dialog->Activate({.bValid = [&] { return ++asked >= 2; }});
  EXPECT_TRUE(stayed.get());
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(dialog->nResult, 1);
}

TEST(Dialog, ASecondEndOfAModalDialogDoesNothing) {
  const DialogPtr dialog = TDialog::New({.cResName = "AVISO"});
  int asked = 0;
  bool first = false;
  bool second = true;
  TButton::ReDefine(102, [&] {
    first = dialog->End(1);
    second = dialog->End(3);
  }, *dialog);
  std::future<void> clicked = test::WhenWindowAppears<void>("Recordatorio", [](HWND window) {
    test::ClickLikeUser(GetDlgItem(window, 102));
  });
  dialog->Activate({.bValid = [&] { return ++asked > 0; }});
  clicked.get();
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(dialog->nResult, 1);
  EXPECT_EQ(asked, 1);
}

// The reminder dialog with a time check that waits while it runs, as a check does whose
// message the assistant speaks.
struct SlowCheckDialog {
  DialogPtr dialog = TDialog::New({.cResName = "RECORDATORIO"});
  std::string time = "  :  ";
  std::atomic<int> checks{0};
  std::atomic<bool> checking{false};
  std::atomic<int> accepted{0};

  SlowCheckDialog() {
    dialog->lHelpIcon = false;
    TGet::ReDefine(102, Bind(time), *dialog, [this] {
      ++checks;
      checking = true;
      SYSWAIT(0.4);
      checking = false;
      return true;
    });
    TButton::ReDefine(103, [this] {
      ++accepted;
      dialog->End(1);
    }, *dialog);
  }

  // Puts the focus into the time field and types a time there.
  static void TypeTime(HWND window) {
    const HWND edit = GetDlgItem(window, 102);
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    test::WaitUntil([&] { return test::FocusOfThread(window) == edit; });
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("09:05"));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
  }
};

TEST(Dialog, AClickChecksTheFieldItLeavesOnce) {
  SlowCheckDialog slow;
  std::future<void> clicked = test::WhenWindowAppears<void>("Recordatorio", [&](HWND window) {
    SlowCheckDialog::TypeTime(window);
    test::ClickLikeUser(GetDlgItem(window, 103));
  });
  slow.dialog->Activate();
  clicked.get();
  EXPECT_EQ(slow.accepted, 1);
  EXPECT_EQ(slow.checks, 1);
  EXPECT_EQ(slow.time, "09:05");
}

TEST(Dialog, OnlyTheFocusGoingToAnotherControlOfTheDialogChecksTheField) {
  SlowCheckDialog slow;
  const HWND box = CreateWindowExA(0, "STATIC", "Otra ventana", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  std::future<std::vector<int>> checks = test::WhenWindowAppears<std::vector<int>>("Recordatorio", [&](HWND window) {
    SlowCheckDialog::TypeTime(window);
    const HWND edit = GetDlgItem(window, 102);
    std::vector<int> seen;
    // As the system tells the field when a message box, another program or another control
    // takes the focus. A selection posted behind the loss is made once a check the loss
    // posted has begun.
    int mark = 0;
    for (const HWND next : {box, static_cast<HWND>(nullptr), GetDlgItem(window, 104)}) {
      SendMessageA(edit, WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0);
      ++mark;
      PostMessageA(edit, EM_SETSEL, mark, mark + 1);
      test::WaitUntil([&] { return SendMessageA(edit, EM_GETSEL, 0, 0) == MAKELRESULT(mark, mark + 1); });
      test::WaitUntil([&] { return !slow.checking; });
      seen.push_back(slow.checks);
    }
    test::ClickLikeUser(GetDlgItem(window, 103));
    return seen;
  });
  slow.dialog->Activate();
  EXPECT_EQ(checks.get(), (std::vector<int>{0, 0, 1}));
  DestroyWindow(box);
}

TEST(Dialog, AButtonReleasedWhileTheFieldItLeftIsBeingCheckedDoesNotCheckItAgain) {
  SlowCheckDialog slow;
  std::future<int> checksAfterFirstClick = test::WhenWindowAppears<int>("Recordatorio", [&](HWND window) {
    SlowCheckDialog::TypeTime(window);
    const HWND button = GetDlgItem(window, 103);
    // As the system orders a real click: the press moves the focus and the check starts;
    // the release arrives while the check still waits.
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    test::WaitUntil([&] { return slow.checking.load(); });
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    test::WaitUntil([&] { return !slow.checking; });
    // A selection posted behind the release is made once the dialog has handled the
    // release and whatever the release posted in turn.
    const HWND edit = GetDlgItem(window, 102);
    PostMessageA(edit, EM_SETSEL, 1, 2);
    test::WaitUntil([&] { return SendMessageA(edit, EM_GETSEL, 0, 0) == MAKELRESULT(1, 2); });
    const int checks = slow.checks;
    test::ClickLikeUser(button);  // a click after the check: it checks once and accepts
    return checks;
  });
  slow.dialog->Activate();
  EXPECT_EQ(checksAfterFirstClick.get(), 1);
  EXPECT_EQ(slow.checks, 2);
  EXPECT_EQ(slow.accepted, 1);
}

TEST(Dialog, AWhenThatSaysNoShowsNothing) {
  const DialogPtr dialog = TDialog::New({.cResName = "AVISO"});
  dialog->Activate({.bWhen = [] { return false; }});
  EXPECT_EQ(dialog->nResult, 2);
}

// The options dialog with its three pages, bound as the program binds it.
struct OptionsDialog {
  DialogPtr dialog = TDialog::New({.cResName = "OPCIONES"});
  std::shared_ptr<TFolder> folder;
  std::atomic<bool> showNotes{true};
  std::atomic<int> noteColour{15};
  std::string textColour = "negro ";
  int x = 120;
  int y = 0;

  OptionsDialog() {
    dialog->lHelpIcon = false;
    folder = TFolder::ReDefine(101, {"&Notas", "Co&lores", "A&gente"}, {"OPCIONES2", "OPCIONES3", "OPCIONES4"}, *dialog);
    TCheckBox::ReDefine(101, {[this] { return showNotes.load(); }, [this](const bool& v) { showNotes = v; }},
                        *folder->aDialogs[0]);
    const std::vector<std::string> names = {"Negro", "Azul", "Verde", "Cyan", "Rojo", "Magenta", "Cafe", "Gris",
                                            "Gris Fuerte", "Azul Brillante", "Verde Brillante", "Cyan Brillante",
                                            "Rojo Brillante", "Magenta Brillante", "Amarillo", "Blanco"};
    std::vector<std::string> swatches;
    for (const char* swatch : {"NEGRO", "AZUL", "VERDE", "CYAN", "ROJO", "MAGENTA", "CAFE", "GRIS", "GRISF", "AZULB",
                               "VERDEB", "CYANB", "ROJOB", "MAGENTAB", "AMARILLO", "BLANCO"}) {
      swatches.push_back(swatch);
    }
    TComboBox::ReDefine(101, {[this] { return noteColour.load(); }, [this](const int& v) { noteColour = v; }}, names,
                        *folder->aDialogs[1], swatches);
    TComboBox::ReDefine(102, Bind(textColour), names, *folder->aDialogs[1]);
    TGet::ReDefine(106, Bind(x), *folder->aDialogs[2], "9999");
    TGet::ReDefine(107, Bind(y), *folder->aDialogs[2], "9999");
    TButtonBmp::ReDefine(102, [this] { dialog->End(1); }, *dialog, "ACEPTAR");
    TButtonBmp::ReDefine(103, [this] { dialog->End(); }, *dialog, "CANCELAR");
  }
};

// Clicks a tab of a tab control where a user would.
void ClickTab(HWND tabs, int index) {
  RECT item{};
  SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  test::ClickLikeUser(tabs, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

TEST(Dialog, PagesSwitchWithTheTabsAndControlsBindBothWays) {
  OptionsDialog options;
  struct Seen {
    bool firstPageOnly = false;
    bool secondPageAfterClick = false;
    bool flippedAtOnce = false;
    std::string textSelected;
    std::string xShown;
    int xLimit = 0;
  };
  std::future<Seen> seen = test::WhenWindowAppears<Seen>("Opciones", [&](HWND dialog) {
    Seen result;
    const auto page = [&](size_t n) { return options.folder->aDialogs[n]->hWnd; };
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("options-dialog.bmp"));
    result.firstPageOnly = IsWindowVisible(page(0)) && !IsWindowVisible(page(1)) && !IsWindowVisible(page(2));
    test::ClickLikeUser(GetDlgItem(page(0), 101));  // the check box flips its variable at once
    result.flippedAtOnce = test::WaitUntil([&] { return !options.showNotes; });

    ClickTab(GetDlgItem(dialog, 101), 1);
    result.secondPageAfterClick =
        test::WaitUntil([&] { return IsWindowVisible(page(1)) && !IsWindowVisible(page(0)); });
    const HWND colours = GetDlgItem(page(1), 101);
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("options-colours-page.bmp"));
    SendMessageA(colours, CB_SETCURSEL, 2, 0);
    SendMessageA(page(1), WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), reinterpret_cast<LPARAM>(colours));
    const HWND texts = GetDlgItem(page(1), 102);
    char selected[64] = {};
    SendMessageA(texts, CB_GETLBTEXT, static_cast<WPARAM>(SendMessageA(texts, CB_GETCURSEL, 0, 0)),
                 reinterpret_cast<LPARAM>(selected));
    result.textSelected = selected;
    SendMessageA(texts, CB_SETCURSEL, 4, 0);
    SendMessageA(page(1), WM_COMMAND, MAKEWPARAM(102, CBN_SELCHANGE), reinterpret_cast<LPARAM>(texts));

    ClickTab(GetDlgItem(dialog, 101), 2);
    test::WaitUntil([&] { return IsWindowVisible(page(2)); });
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("options-agent-page.bmp"));
    const HWND xField = GetDlgItem(page(2), 106);
    result.xShown = test::ControlText(xField);
    result.xLimit = static_cast<int>(SendMessageA(xField, EM_GETLIMITTEXT, 0, 0));
    SendMessageA(page(2), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(xField), TRUE);
    SendMessageA(xField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0640"));
    SendMessageA(xField, EM_SETMODIFY, TRUE, 0);
    test::ClickLikeUser(GetDlgItem(dialog, 102));
    return result;
  });
  options.dialog->Activate();
  const Seen result = seen.get();
  EXPECT_TRUE(result.firstPageOnly);
  EXPECT_TRUE(result.flippedAtOnce);
  EXPECT_TRUE(result.secondPageAfterClick);
  EXPECT_EQ(result.textSelected, "Negro");  // a text finds its item ignoring case and blanks
  EXPECT_EQ(result.xShown, "120");
  EXPECT_EQ(result.xLimit, 4);
  EXPECT_EQ(options.dialog->nResult, 1);
  EXPECT_FALSE(options.showNotes);
  EXPECT_EQ(options.noteColour, 3);           // a position counts from 1
  EXPECT_EQ(options.textColour, "Rojo");      // a text gets the item's text
  EXPECT_EQ(options.x, 640);
}

}  // namespace
}  // namespace memotab
