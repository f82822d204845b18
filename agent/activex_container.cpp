#include "activex_container.h"

#include "win.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>

#include "builtin_objects.h"
#include "wide_text.h"

namespace memotab {

namespace {

// The site a hosted control lives in: its client site, in-place site and frame, and the
// sink of its events (which the program does not use).
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
 public:
  explicit Site(HWND window) : window_(window) {}
  virtual ~Site() = default;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow)) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, sinkInterface)) {
      *object = static_cast<IDispatch*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(window_, position);
    GetClientRect(window_, clip);
    info->cb = sizeof *info;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, no tool space.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: the control's events arrive here and are let pass.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return S_OK;
  }

  IID sinkInterface = IID_NULL;

 private:
  std::atomic<ULONG> references_{1};
  HWND window_;
};

// One hosted control with its site.
struct Container {
  Site* site = nullptr;
  IUnknown* control = nullptr;
  IOleObject* embedded = nullptr;  // null for a control that is not visual
  IConnectionPoint* events = nullptr;
  DWORD cookie = 0;
  bool comEntered = false;  // this container's CoInitialize counted, so it owes a CoUninitialize
};

IUnknown* CreateControl(const std::string& name) {
  const std::wstring wide = AnsiToWide(name);
  CLSID classId{};
  HRESULT result = !name.empty() && name.front() == '{' ? CLSIDFromString(wide.c_str(), &classId)
                                                        : CLSIDFromProgID(wide.c_str(), &classId);
  IUnknown* control = nullptr;
  if (SUCCEEDED(result)) {
    result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&control));
  }
  if (FAILED(result)) {
    // Unknown to the system, or a registration whose server is gone: ours may stand in.
    control = CreateBuiltInObject(name);  // IDispatch is an IUnknown
  }
  return control;
}

void ConnectEvents(Container& container) {
  IProvideClassInfo2* info = nullptr;
  if (FAILED(container.control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)))) return;
  IID source{};
  const HRESULT found = info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source);
  info->Release();
  if (FAILED(found)) return;
  IConnectionPointContainer* points = nullptr;
  if (FAILED(container.control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
    return;
  }
  container.site->sinkInterface = source;
  if (SUCCEEDED(points->FindConnectionPoint(source, &container.events))) {
    if (FAILED(container.events->Advise(static_cast<IDispatch*>(container.site), &container.cookie))) {
      container.events->Release();
      container.events = nullptr;
    }
  }
  points->Release();
}

}  // namespace

intptr_t CREATEACTIVEX(HWND hWnd, const std::string& cProgId) {
  auto* container = new Container();
  // A thread already in a multi-threaded apartment refuses (RPC_E_CHANGED_MODE) and is
  // not counted: the control is made in that apartment and nothing is owed.
  container->comEntered = SUCCEEDED(CoInitialize(nullptr));
  container->control = CreateControl(cProgId);
  if (container->control == nullptr) {
    if (container->comEntered) CoUninitialize();
    delete container;
    return 0;
  }
  container->site = new Site(hWnd);
  if (SUCCEEDED(container->control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&container->embedded)))) {
    container->embedded->SetClientSite(container->site);
    IPersistStreamInit* state = nullptr;
    if (SUCCEEDED(container->control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&state)))) {
      state->InitNew();
      state->Release();
    }
    ConnectEvents(*container);
    RECT client{};
    GetClientRect(hWnd, &client);
    for (const LONG verb : {OLEIVERB_INPLACEACTIVATE, OLEIVERB_SHOW, OLEIVERB_UIACTIVATE}) {
      container->embedded->DoVerb(verb, nullptr, container->site, 0, hWnd, &client);
    }
  } else {
    ConnectEvents(*container);
  }
  return reinterpret_cast<intptr_t>(container);
}

intptr_t ACTXPDISP(intptr_t hActiveX) {
  if (hActiveX == 0) return 0;
  auto* container = reinterpret_cast<Container*>(hActiveX);
  IDispatch* dispatch = nullptr;
  if (FAILED(container->control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return 0;
  dispatch->Release();  // the control keeps its interface alive
  return reinterpret_cast<intptr_t>(dispatch);
}

void ACTXSETLOCATION(intptr_t hActiveX, int nLeft, int nTop, int nWidth, int nHeight) {
  if (hActiveX == 0) return;
  auto* container = reinterpret_cast<Container*>(hActiveX);
  IOleInPlaceObject* inPlace = nullptr;
  if (FAILED(container->control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) return;
  const RECT place{nLeft, nTop, nLeft + nWidth, nTop + nHeight};
  inPlace->SetObjectRects(&place, &place);
  inPlace->Release();
}

void ACTXEND(intptr_t hActiveX) {
  if (hActiveX == 0) return;
  auto* container = reinterpret_cast<Container*>(hActiveX);
  if (container->events != nullptr) {
    container->events->Unadvise(container->cookie);
    container->events->Release();
  }
  if (container->embedded != nullptr) {
    container->embedded->Close(OLECLOSE_NOSAVE);
    container->embedded->SetClientSite(nullptr);
    container->embedded->Release();
  }
  container->control->Release();
  container->site->Release();
  if (container->comEntered) CoUninitialize();
  delete container;
}

}  // namespace memotab
