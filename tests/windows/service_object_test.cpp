// The calling rules every object of the character service keeps, as the bridge calls.
#include <gtest/gtest.h>

#include <stdexcept>

#include "service_object.h"
#include "t_ole_auto.h"
#include "ui_driver.h"

namespace memotab::character {
namespace {

class Counter final : public ServiceObject {
 public:
  Counter() {
    Method(L"Act", 1, [this](const auto&, VARIANT* result) { Return(result, static_cast<long>(++acted)); });
    Property(L"Total", [this](VARIANT* result) { Return(result, static_cast<long>(acted)); },
             NumberWriter([this](double value) { acted = static_cast<int>(value); }));
    Method(L"Breaks", 0, [](const auto&, VARIANT*) { throw std::runtime_error("no se puede crear la ventana del menú"); });
  }
  int acted = 0;
};

TEST(ServiceObject, AMethodActsOnceHoweverTheBridgeReachesIt) {
  auto* counter = new Counter();
  const std::shared_ptr<TOleAuto> object = TOleAuto::New(reinterpret_cast<intptr_t>(static_cast<IDispatch*>(counter)));
  EXPECT_EQ(object->Send("ACT", {int64_t{1}}), OleValue(int64_t{1}));  // a read that is a call
  EXPECT_EQ(object->Invoke("act", {int64_t{1}}), OleValue(int64_t{2}));
  EXPECT_EQ(counter->acted, 2);
  object->Assign("Total", int64_t{10});
  EXPECT_EQ(object->Send("TOTAL"), OleValue(int64_t{10}));

  std::future<std::string> wrong = test::WhenWindowAppears<std::string>("OLE Error", [](HWND box) {
    if (box == nullptr) return std::string();
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    test::ClickButton(box, IDOK);
    return text;
  });
  std::future<bool> type = test::WhenWindowAppears<bool>("Information", [](HWND box) {
    if (box != nullptr) test::ClickButton(box, IDOK);
    return box != nullptr;
  });
  object->Send("ACT");  // without its argument: refused, not done
  EXPECT_EQ(wrong.get(), "ACT:   DISP_E_BADPARAMCOUNT");
  EXPECT_TRUE(type.get());
  EXPECT_EQ(counter->acted, 10);

  std::future<std::string> reason = test::WhenWindowAppears<std::string>("Memotab", [](HWND box) {
    if (box == nullptr) return std::string();
    const std::string text = test::WindowText(GetDlgItem(box, 0xFFFF));
    test::ClickButton(box, IDOK);
    return text;
  });
  object->Send("BREAKS");  // the system let it down: the reason is shown
  EXPECT_EQ(reason.get(), "no se puede crear la ventana del menú");
  counter->Release();
}

}  // namespace
}  // namespace memotab::character
