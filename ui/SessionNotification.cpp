#include "ui/SessionNotification.h"

namespace {

const DWORD kThisSessionOnly = 0; // NOTIFY_FOR_THIS_SESSION

typedef BOOL(WINAPI *RegisterFunction)(HWND, DWORD);
typedef BOOL(WINAPI *UnregisterFunction)(HWND);

template <typename Function> Function Lookup(HMODULE library, const char *name) {
  // GetProcAddress hands back a generic function pointer; the name fixes
  // its real type.
  return library
             ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)))
             : nullptr;
}

} // namespace

SessionNotification::SessionNotification() : library(nullptr), window(nullptr) {}

SessionNotification::~SessionNotification() {
  Unregister();
  if (library)
    FreeLibrary(library);
  library = nullptr;
}

int SessionNotification::Register(HWND target) {
  Unregister();
  if (!library)
    library = LoadLibraryA("wtsapi32.dll");
  RegisterFunction registerWindow =
      Lookup<RegisterFunction>(library, "WTSRegisterSessionNotification");
  if (!registerWindow || !registerWindow(target, kThisSessionOnly))
    return 0;
  window = target;
  return 1;
}

int SessionNotification::Unregister() {
  if (!window)
    return 0;
  UnregisterFunction unregisterWindow =
      Lookup<UnregisterFunction>(library, "WTSUnRegisterSessionNotification");
  if (unregisterWindow)
    unregisterWindow(window);
  window = nullptr;
  return 1;
}
