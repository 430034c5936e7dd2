#include "ui/ComApartment.h"

namespace {

typedef HRESULT(WINAPI *InitializeProc)(LPVOID, DWORD);
typedef void(WINAPI *UninitializeProc)();
typedef HRESULT(WINAPI *CreateInstanceProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID *);

} // namespace

ComApartment::ComApartment() : ole32("ole32.dll"), ready(0), entered(0) {
  InitializeProc initialize = ole32.Find<InitializeProc>("CoInitializeEx");
  if (!initialize)
    return;
  HRESULT result = initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // S_FALSE: the thread was in an apartment already, which still counts
  // one more entry. RPC_E_CHANGED_MODE: someone made the thread
  // multithreaded; COM works, but that entry is not ours to leave.
  entered = SUCCEEDED(result);
  ready = entered || result == RPC_E_CHANGED_MODE;
}

ComApartment::~ComApartment() {
  if (entered) {
    if (UninitializeProc uninitialize = ole32.Find<UninitializeProc>("CoUninitialize"))
      uninitialize();
  }
  entered = 0;
  ready = 0;
}

int ComApartment::CreateInstance(REFCLSID classId, REFIID interfaceId, void **object) {
  *object = nullptr;
  if (!ready)
    return 0;
  CreateInstanceProc create = ole32.Find<CreateInstanceProc>("CoCreateInstance");
  if (!create || FAILED(create(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object))) {
    *object = nullptr;
    return 0;
  }
  return 1;
}
