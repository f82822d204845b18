#include "service_object.h"

#include <exception>

#include "automation_values.h"
#include "wide_text.h"

namespace memotab::character {

namespace {

// Runs a member; a failure of the system (a window it cannot make) comes back as the
// member's exception, with its reason.
HRESULT Guarded(const BuiltInDispatch::Call& call, const std::function<HRESULT()>& member) {
  try {
    return member();
  } catch (const std::exception& error) {
    if (call.exception != nullptr) {
      *call.exception = EXCEPINFO{};
      call.exception->bstrSource = SysAllocString(L"Memotab");
      call.exception->bstrDescription = SysAllocString(AnsiToWide(error.what()).c_str());
    }
    return DISP_E_EXCEPTION;
  }
}

}  // namespace

void ServiceObject::Property(const std::wstring& name, Reader read, Writer write) {
  AddMember(name, [read = std::move(read), write = std::move(write)](const Call& call, VARIANT* result) -> HRESULT {
    if (call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (!write) return DISP_E_MEMBERNOTFOUND;
      if (call.args.empty()) return DISP_E_BADPARAMCOUNT;
      return Guarded(call, [&] { return write(*call.args.back()); });
    }
    return Guarded(call, [&] {
      read(result);
      return S_OK;
    });
  });
}

void ServiceObject::Method(const std::wstring& name, size_t arguments, Action act) {
  AddMember(name, [arguments, act = std::move(act)](const Call& call, VARIANT* result) -> HRESULT {
    if (call.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
    if (call.args.size() < arguments) return DISP_E_BADPARAMCOUNT;
    return Guarded(call, [&] {
      act(call.args, result);
      return S_OK;
    });
  });
}

namespace {

template <typename Value>
std::function<HRESULT(const VARIANT&)> WriterOf(std::optional<Value> (*convert)(const VARIANT&), std::function<void(Value)> take) {
  return [convert, take = std::move(take)](const VARIANT& value) -> HRESULT {
    const std::optional<Value> converted = convert(value);
    if (!converted) return DISP_E_TYPEMISMATCH;
    take(*converted);
    return S_OK;
  };
}

}  // namespace

ServiceObject::Writer ServiceObject::TextWriter(std::function<void(const std::wstring&)> take) {
  return WriterOf<std::wstring>(&TextArgument, std::move(take));
}

ServiceObject::Writer ServiceObject::NumberWriter(std::function<void(double)> take) {
  return WriterOf<double>(&NumberArgument, std::move(take));
}

ServiceObject::Writer ServiceObject::LogicalWriter(std::function<void(bool)> take) {
  return WriterOf<bool>(&LogicalArgument, std::move(take));
}

}  // namespace memotab::character
