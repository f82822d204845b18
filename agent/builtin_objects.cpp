#include "builtin_objects.h"

#include <algorithm>

namespace memotab {

HRESULT BuiltInDispatch::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG BuiltInDispatch::AddRef() { return ++references_; }

ULONG BuiltInDispatch::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT BuiltInDispatch::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT BuiltInDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  *info = nullptr;
  return E_NOTIMPL;
}

HRESULT BuiltInDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  HRESULT result = S_OK;
  const Members& members = Table();
  for (UINT i = 0; i < count; ++i) {
    const auto found = std::find_if(members.begin(), members.end(),
                                    [&](const auto& member) { return lstrcmpiW(member.first.c_str(), names[i]) == 0; });
    ids[i] = found == members.end() ? DISPID_UNKNOWN : static_cast<DISPID>(found - members.begin() + 1);
    if (found == members.end()) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

HRESULT BuiltInDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* exception, UINT*) {
  const Members& members = Table();
  if (id < 1 || static_cast<size_t>(id) > members.size()) return DISP_E_MEMBERNOTFOUND;
  Call call{this, flags, {}, exception};
  // The system passes the arguments last first.
  for (UINT i = params->cArgs; i > 0; --i) call.args.push_back(&params->rgvarg[i - 1]);
  if (result != nullptr) VariantInit(result);
  return members[static_cast<size_t>(id - 1)].second(call, result);
}

void BuiltInDispatch::Return(VARIANT* result, long value) {
  if (result == nullptr) return;
  result->vt = VT_I4;
  result->lVal = value;
}

void BuiltInDispatch::Return(VARIANT* result, double value) {
  if (result == nullptr) return;
  result->vt = VT_R8;
  result->dblVal = value;
}

void BuiltInDispatch::Return(VARIANT* result, bool value) {
  if (result == nullptr) return;
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void BuiltInDispatch::Return(VARIANT* result, const std::wstring& value) {
  if (result == nullptr) return;
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
}

void BuiltInDispatch::Return(VARIANT* result, IDispatch* object) {
  if (result == nullptr) {
    if (object != nullptr) object->Release();
    return;
  }
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
}

void BuiltInDispatch::AddMember(const std::wstring& name, Member member) { own_.emplace_back(name, std::move(member)); }

namespace {

std::vector<std::pair<std::string, BuiltInFactory>>& Registry() {
  static std::vector<std::pair<std::string, BuiltInFactory>> registry;
  return registry;
}

auto Find(const std::string& progId) {
  return std::find_if(Registry().begin(), Registry().end(),
                      [&](const auto& entry) { return lstrcmpiA(entry.first.c_str(), progId.c_str()) == 0; });
}

}  // namespace

void RegisterBuiltInObject(const std::string& progId, BuiltInFactory factory) {
  UnregisterBuiltInObject(progId);
  Registry().emplace_back(progId, std::move(factory));
}

void UnregisterBuiltInObject(const std::string& progId) {
  const auto found = Find(progId);
  if (found != Registry().end()) Registry().erase(found);
}

IDispatch* CreateBuiltInObject(const std::string& progId) {
  const auto found = Find(progId);
  return found == Registry().end() ? nullptr : found->second();
}

}  // namespace memotab
