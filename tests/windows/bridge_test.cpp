// The automation bridge through objects built into the test: the values that reach an
// object, the values that come back, and how TOleAuto and TActiveX report (or do not).
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "activex_container.h"
#include "balloon_dialog_control.h"
#include "ole_bridge.h"
#include "stand_ins.h"
#include "t_activex.h"
#include "t_ole_auto.h"
#include "ui_driver.h"
#include "wide_text.h"

namespace memotab {
namespace {

class BridgeTest : public ::testing::Test {
 protected:
  test::StandIns standIns;
  std::shared_ptr<TOleAuto> recorder = TOleAuto::New(std::string("Test.Recorder"));
  std::vector<std::string>& Calls() { return standIns.recorder->calls; }
};

// Answers the next box with this caption, reporting its text.
std::future<std::string> AnswerBox(const std::string& caption) {
  return test::WhenWindowAppears<std::string>(caption, [](HWND box) {
    if (box == nullptr) return std::string("(no box)");
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    test::ClickButton(box, IDOK);
    return text;
  });
}

TEST_F(BridgeTest, ArgumentsArriveConvertedAndInOrder) {
  ASSERT_NE(recorder->hObj, 0);
  EXPECT_EQ(OLE2TXTERROR(), "S_OK");
  recorder->Invoke("Record", {int64_t{1}, {}, {}});
  recorder->Invoke("Record", {{}, int64_t{2}});
  recorder->Invoke("Record", {true, false, *Date::FromYmd(1900, 1, 1), 2.5, std::string("ñá"), OtherValue{}});
  recorder->Invoke("Record", {recorder});
  EXPECT_EQ(Calls(), (std::vector<std::string>{"Record(I4:1)", "Record(EMPTY,I4:2)",
                                               "Record(BOOL:1,BOOL:0,DATE:2,R8:2.5,BSTR:ñá,EMPTY)",
                                               "Record(DISPATCH)"}));
  recorder->Assign("value", int64_t{42});
  EXPECT_EQ(Calls().back(), "Value=I4:42");
  EXPECT_EQ(recorder->Send("VALUE"), OleValue(int64_t{42}));
}

TEST_F(BridgeTest, ResultsComeBackAsProgramValues) {
  EXPECT_EQ(recorder->Invoke("Echo", {std::string("mañana")}), OleValue(std::string("mañana")));
  EXPECT_EQ(recorder->Invoke("Returns", {std::string("TEXT")}), OleValue(std::string("mañana también")));
  EXPECT_EQ(recorder->Invoke("Returns", {std::string("UI1")}), OleValue(int64_t{200}));
  EXPECT_EQ(recorder->Invoke("Returns", {std::string("CY")}), OleValue(1.5));
  EXPECT_EQ(recorder->Invoke("Returns", {std::string("DATE")}), OleValue(*Date::FromYmd(1900, 1, 1)));
  EXPECT_EQ(recorder->Invoke("Returns", {std::string("BOOL")}), OleValue(true));
  EXPECT_EQ(recorder->Invoke("Returns", {std::string("EMPTY")}), OleValue());

  const OleValue object = recorder->Invoke("Returns", {std::string("OBJECT")});
  const auto* wrapped = std::get_if<std::shared_ptr<TOleAuto>>(&object);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_NE((*wrapped)->hObj, recorder->hObj);
  (*wrapped)->Invoke("Record", {int64_t{5}});
  EXPECT_EQ(Calls().back(), "Record(I4:5)");

  // A type the program cannot hold: nil and the code -1, with no box.
  EXPECT_EQ(OLEINVOKE(recorder->hObj, "Returns", {std::string("I8")}), OleValue());
  EXPECT_EQ(OLEERROR(), -1);
  EXPECT_EQ(OLE2TXTERROR(), "Unknown error");

  std::future<std::string> box = AnswerBox("VT_ERROR !");
  EXPECT_EQ(OLEINVOKE(recorder->hObj, "Returns", {std::string("ERROR")}), OleValue());
  EXPECT_EQ(box.get(), "0000");
}

TEST_F(BridgeTest, PropertyReadOfAMethodIsRetriedAsACall) {
  std::future<std::string> noBox = test::WhenWindowAppears<std::string>(
      "OLE Error", [](HWND box) { return box == nullptr ? std::string() : test::WindowText(box); },
      std::chrono::milliseconds(500));
  EXPECT_EQ(recorder->Send("onlymethod"), OleValue(int64_t{7}));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"OnlyMethod()", "OnlyMethod()"}));
  EXPECT_EQ(noBox.get(), "");
}

TEST_F(BridgeTest, FailuresAreShownInOleErrorBoxes) {
  std::future<std::string> alert = AnswerBox("OLE Error");
  std::future<std::string> type = AnswerBox("Information");
  EXPECT_EQ(recorder->Invoke("NoSuchMember"), OleValue());
  EXPECT_EQ(alert.get(), "NoSuchMember:   DISP_E_UNKNOWNNAME");
  EXPECT_EQ(type.get(), "U");

  std::future<std::string> exception = AnswerBox("Prueba");
  const OleValue self = recorder->Invoke("Fails");
  EXPECT_EQ(exception.get(), "Algo falló");
  ASSERT_TRUE(std::holds_alternative<std::shared_ptr<TOleAuto>>(self));
  EXPECT_EQ(std::get<std::shared_ptr<TOleAuto>>(self), recorder);
}

TEST_F(BridgeTest, CallsMadeInsideACallLeaveItsResultAlone) {
  std::future<std::string> noBox = test::WhenWindowAppears<std::string>(
      "Prueba", [](HWND box) { return box == nullptr ? std::string() : test::WindowText(box); },
      std::chrono::milliseconds(500));
  EXPECT_EQ(recorder->Invoke("AnswersThenNests"), OleValue(std::string("afuera")));
  EXPECT_EQ(OLE2TXTERROR(), "S_OK");
  EXPECT_FALSE(OLEISOBJECT());
  OLESHOWEXCEPTION();  // the inner call's exception is not this call's
  EXPECT_EQ(noBox.get(), "");
}

TEST_F(BridgeTest, RuntimeHoldsAreCountedAndUnknownProgIdsFail) {
  const int holds = OleInitCount();
  const std::shared_ptr<TOleAuto> missing = TOleAuto::New(std::string("No.Such.Object"));
  EXPECT_EQ(missing->hObj, 0);
  EXPECT_EQ(OLE2TXTERROR(), "CO_E_CLASSSTRING");
  EXPECT_EQ(OleInitCount(), holds + 1);
  missing->End();
  EXPECT_EQ(OleInitCount(), holds);
  // An object the system has wins over the program's own; this one comes from the system.
  const std::shared_ptr<TOleAuto> dictionary = TOleAuto::New(std::string("Scripting.Dictionary"));
  ASSERT_NE(dictionary->hObj, 0);
  dictionary->Invoke("Add", {std::string("clave"), std::string("valor")});
  EXPECT_EQ(dictionary->Send("COUNT"), OleValue(int64_t{1}));
  dictionary->End();
}

// A registration left behind by a removed program, for this test process only: the name
// leads to a class whose server file is gone.
class StaleRegistration {
 public:
  explicit StaleRegistration(const std::string& progId) : progIdKey_(progId) {
    char classId[40];
    std::snprintf(classId, sizeof classId, "{6D656D6F-7461-6200-0000-%012lX}", GetCurrentProcessId());
    classKey_ = std::string("CLSID\\") + classId;
    Write(progIdKey_ + "\\CLSID", classId);
    Write(classKey_ + "\\InprocServer32", "C:\\no\\existe\\servidor.dll");
  }
  ~StaleRegistration() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, progIdKey_.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey_.c_str());
  }
  StaleRegistration(const StaleRegistration&) = delete;
  StaleRegistration& operator=(const StaleRegistration&) = delete;

 private:
  static void Write(const std::string& key, const std::string& value) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
  }
  std::string progIdKey_;
  std::string classKey_;
};

TEST_F(BridgeTest, AStaleRegistrationGivesWayToTheProgramsOwnObject) {
  const std::string progId = "Memotab.Prueba" + std::to_string(GetCurrentProcessId());
  const StaleRegistration stale(progId);
  CLSID classId{};
  ASSERT_EQ(CLSIDFromProgID(AnsiToWide(progId).c_str(), &classId), S_OK);  // the system knows the name
  RegisterBuiltInObject(progId, [] { return character::NewBalloonDialogControl(); });
  const std::shared_ptr<TOleAuto> object = TOleAuto::New(progId);
  EXPECT_NE(object->hObj, 0);
  object->End();
  const WindowPtr host = TWindow::New({});
  const std::shared_ptr<TActiveX> control = TActiveX::New(*host, progId);
  EXPECT_NE(control->hActiveX, 0);
  DestroyWindow(control->hWnd);
  DestroyWindow(host->hWnd);
  UnregisterBuiltInObject(progId);
}

TEST_F(BridgeTest, HostedControlsAreCalledWithoutReports) {
  const WindowPtr host = TWindow::New({});
  const std::shared_ptr<TActiveX> control = TActiveX::New(*host, "Test.Recorder");
  ASSERT_NE(control->hActiveX, 0);
  EXPECT_EQ(control->Do("Record", {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{4}}), OleValue());
  EXPECT_TRUE(Calls().empty());  // more than three arguments: nothing is called
  control->Do("Record", {int64_t{1}, {}, {}});
  EXPECT_EQ(Calls().back(), "Record(I4:1,EMPTY,EMPTY)");  // exactly the arguments given
  control->SetProp("Value", std::string("hola"));
  EXPECT_EQ(control->GetProp("Value"), OleValue(std::string("hola")));
  EXPECT_EQ(control->Do("NoSuchMember"), OleValue());  // and no box

  const std::shared_ptr<TActiveX> missing = TActiveX::New(*host, "No.Such.Control");
  EXPECT_EQ(missing->hActiveX, 0);
  EXPECT_EQ(missing->Do("Anything"), OleValue());
}

TEST_F(BridgeTest, AHostedControlLeavesTheThreadsOwnApartmentAsItWas) {
  // On a thread of the multi-threaded apartment the container's CoInitialize is refused and
  // counts nothing, so neither its end nor its failure may give up the thread's own entry.
  std::thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    const HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const intptr_t control = CREATEACTIVEX(host, "Test.Recorder");
    EXPECT_NE(control, 0);
    ACTXEND(control);
    EXPECT_EQ(CREATEACTIVEX(host, "No.Such.Control"), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);  // still in the apartment
    CoUninitialize();
    CoUninitialize();
    DestroyWindow(host);
  }).join();
}

TEST(HostedControl, ARealControlOfTheSystemIsEmbedded) {
  // The system's web browser control: embedded, activated in place, driven by name.
  const WindowPtr host = TWindow::New({});
  const std::shared_ptr<TActiveX> browser = TActiveX::New(*host, "Shell.Explorer.2");
  ASSERT_NE(browser->hActiveX, 0);
  EXPECT_NE(GetWindow(browser->hWnd, GW_CHILD), nullptr);  // its own window, inside ours
  EXPECT_TRUE(std::holds_alternative<std::string>(browser->GetProp("LocationURL")));
  browser->SetProp("Silent", true);
  EXPECT_EQ(browser->GetProp("Silent"), OleValue(true));
  SendMessageA(browser->hWnd, WM_SIZE, 0, MAKELPARAM(320, 240));
  DestroyWindow(browser->hWnd);
  EXPECT_EQ(browser->hActiveX, 0);
}

}  // namespace
}  // namespace memotab
