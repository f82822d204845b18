#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "win.h"

namespace memotab {

// An automation object implemented inside the program: a real dispatch interface whose
// members are found by name (any letter case) and called through Invoke, exactly as the
// bridge calls an object of the system.
class BuiltInDispatch : public IDispatch {
 public:
  // One call of a member: how it is called (DISPATCH_METHOD, DISPATCH_PROPERTYGET or
  // DISPATCH_PROPERTYPUT) and its arguments in call order (a written value comes last).
  struct Call {
    BuiltInDispatch* object;  // the object called
    WORD flags;
    std::vector<const VARIANT*> args;
    EXCEPINFO* exception;  // may be null; filled when the member answers DISP_E_EXCEPTION
  };
  // A member fills `result` (which may be null) and answers as Invoke does.
  using Member = std::function<HRESULT(const Call& call, VARIANT* result)>;
  using Members = std::vector<std::pair<std::wstring, Member>>;

  // An object that gets its members one by one (AddMember).
  BuiltInDispatch() = default;
  // An object of a kind made in numbers, whose members live in one table for all of them
  // (a table that outlives them); its members find the object in the call.
  explicit BuiltInDispatch(const Members* shared) : shared_(shared) {}
  BuiltInDispatch(const BuiltInDispatch&) = delete;
  BuiltInDispatch& operator=(const BuiltInDispatch&) = delete;
  virtual ~BuiltInDispatch() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override;

  // Result helpers for members.
  static void Return(VARIANT* result, long value);
  static void Return(VARIANT* result, double value);
  static void Return(VARIANT* result, bool value);
  static void Return(VARIANT* result, const std::wstring& value);
  static void Return(VARIANT* result, IDispatch* object);  // takes over one reference

 protected:
  void AddMember(const std::wstring& name, Member member);

 private:
  const Members& Table() const { return shared_ != nullptr ? *shared_ : own_; }

  std::atomic<ULONG> references_{1};
  const Members* shared_ = nullptr;
  Members own_;
};

// Makes a new built-in object holding one reference for the caller.
using BuiltInFactory = std::function<IDispatch*()>;

// The program's built-in objects by ProgID (any letter case). The bridge makes one when
// the system does not know the ProgID; an object installed on the system always wins.
void RegisterBuiltInObject(const std::string& progId, BuiltInFactory factory);
void UnregisterBuiltInObject(const std::string& progId);
IDispatch* CreateBuiltInObject(const std::string& progId);

}  // namespace memotab
