#include "service_object.h"

namespace memotab::character {

void ServiceObject::Property(const std::wstring& name, Reader read, Writer write) {
  AddMember(name, [read = std::move(read), write = std::move(write)](const Call& call, VARIANT* result) -> HRESULT {
    if (call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!write) return DISP_E_MEMBERNOTFOUND;
      if (call.args.empty()) return DISP_E_BADPARAMCOUNT;
      return write(*call.args.back());
    }
    read(result);
    return S_OK;
  });
}

void ServiceObject::Method(const std::wstring& name, size_t arguments, Action act) {
  AddMember(name, [arguments, act = std::move(act)](const Call& call, VARIANT* result) -> HRESULT {
    if (call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
    if (call.args.size() < arguments) return DISP_E_BADPARAMCOUNT;
    act(call.args, result);
    return S_OK;
  });
}

}  // namespace memotab::character
