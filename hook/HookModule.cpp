#include "hook/HookModule.h"

#include "hook/HookCommands.h"
#include "hook/QuilHookApi.h"

static_assert(WM_HOOKCOMMAND == WM_USER + 100, "the library posts WM_USER + 100");

namespace {

// The library is told the name it was loaded under, so both uses must agree.
const char kLibraryName[] = "QuilHook.dll";

// One set for the whole process, as there is one library in it. Called only
// while a HookModule holds the library loaded.
StartHookProc pfnStartHook = nullptr;
EndHookProc pfnEndHook = nullptr;
RegisterQuilWindowProc pfnRegisterQuilWindow = nullptr;

// GetProcAddress yields a generic FARPROC; going through void * keeps
// -Wcast-function-type quiet about the change of signature.
template <typename Proc> Proc EntryPoint(HMODULE library, const char *name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}

void ForgetEntryPoints() {
  pfnStartHook = nullptr;
  pfnEndHook = nullptr;
  pfnRegisterQuilWindow = nullptr;
}

} // namespace

HookModule::HookModule() : library(nullptr), started(0) {
  library = LoadLibraryA(kLibraryName);
  if (!library)
    return;
  pfnStartHook = EntryPoint<StartHookProc>(library, "StartHook");
  pfnEndHook = EntryPoint<EndHookProc>(library, "EndHook");
  pfnRegisterQuilWindow = EntryPoint<RegisterQuilWindowProc>(library, "RegisterQuilWindow");
  if (pfnStartHook && pfnEndHook && pfnRegisterQuilWindow)
    return;
  FreeLibrary(library);
  library = nullptr;
  ForgetEntryPoints();
}

HookModule::~HookModule() {
  if (!library)
    return;
  Stop();
  FreeLibrary(library);
  library = nullptr;
  // What they point to has just gone.
  ForgetEntryPoints();
}

int HookModule::Start(HWND window) {
  if (!library || started)
    return 0;
  pfnStartHook(kLibraryName);
  pfnRegisterQuilWindow(window);
  started = 1;
  return 1;
}

int HookModule::Stop() {
  if (!library || !started)
    return 0;
  pfnEndHook();
  started = 0;
  return 1;
}
