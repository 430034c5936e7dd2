#include "ui/DisplayPowerNotification.h"

namespace {

const DWORD kToWindowHandle = 0; // DEVICE_NOTIFY_WINDOW_HANDLE

typedef HANDLE(WINAPI *RegisterFunction)(HANDLE, const GUID *, DWORD);
typedef BOOL(WINAPI *UnregisterFunction)(HANDLE);

template <typename Function> Function LookupInUser32(const char *name) {
  // user32 is loaded with the program; only the function may be missing.
  HMODULE user32 = GetModuleHandleA("user32.dll");
  // GetProcAddress hands back a generic function pointer; the name fixes
  // its real type.
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(user32, name)))
                : nullptr;
}

} // namespace

HANDLE RegisterPowerSetting(HWND window, const GUID &setting) {
  RegisterFunction registerWindow =
      LookupInUser32<RegisterFunction>("RegisterPowerSettingNotification");
  return registerWindow ? registerWindow(window, &setting, kToWindowHandle) : nullptr;
}

void UnregisterPowerSetting(HANDLE registration) {
  UnregisterFunction unregister =
      LookupInUser32<UnregisterFunction>("UnregisterPowerSettingNotification");
  if (unregister)
    unregister(registration);
}
