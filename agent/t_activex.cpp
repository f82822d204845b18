#include "t_activex.h"

#include "win.h"

#include "activex_container.h"
#include "framework_error.h"
#include "ole_bridge.h"

namespace memotab {

std::shared_ptr<TActiveX> TActiveX::New(TWindow& oWnd, const std::string& cProgId) {
  if (oWnd.hWnd == nullptr) ThrowFrameworkError("A control can only be hosted in a window that exists");
  std::shared_ptr<TActiveX> control(new TActiveX());
  // The class is registered once; its windows are painted by the hosted control.
  static const bool registered = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TACTIVEX";
    return RegisterClassExA(&windowClass) != 0;
  }();
  (void)registered;
  control->CreateIn(oWnd, control->ClassName(), WS_CHILD | WS_VISIBLE, 0, 0, 201, 201);
  control->hActiveX = CREATEACTIVEX(control->hWnd, cProgId);
  return control;
}

intptr_t TActiveX::Dispatch() const { return ACTXPDISP(hActiveX); }

OleValue TActiveX::Do(const std::string& cMethod, std::vector<OleValue> aArgs) {
  if (aArgs.size() > 3 || hActiveX == 0) return {};
  return OLEINVOKE(Dispatch(), cMethod, aArgs);
}

OleValue TActiveX::GetProp(const std::string& cName) {
  if (hActiveX == 0) return {};
  return OLEGETPROPERTY(Dispatch(), cName);
}

void TActiveX::SetProp(const std::string& cName, OleValue value) {
  if (hActiveX != 0) OLESETPROPERTY(Dispatch(), cName, {std::move(value)});
}

Result TActiveX::ReSize(int nSizeType, int nWidth, int nHeight) {
  ACTXSETLOCATION(hActiveX, 0, 0, nWidth, nHeight);
  return TControl::ReSize(nSizeType, nWidth, nHeight);
}

Result TActiveX::Destroy() {
  ACTXEND(hActiveX);
  hActiveX = 0;
  return TControl::Destroy();
}

Result TActiveX::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_PAINT: {  // Display: the control paints itself
      PAINTSTRUCT paint{};
      ::BeginPaint(hWnd, &paint);
      ::EndPaint(hWnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND:  // EraseBkGnd: the background is not erased
      return 1;
    default:
      return TControl::HandleEvent(nMsg, nWParam, nLParam);
  }
}

}  // namespace memotab
