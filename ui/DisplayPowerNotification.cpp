#include "ui/DisplayPowerNotification.h"

#include <cstddef>
#include <cstring>

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

// The system's own messages point to memory of this process, but any program
// can send WM_POWERBROADCAST with any lParam, and nothing copies the data
// across processes: a value that is no readable memory here is no message.
int IsReadable(const void *address, SIZE_T size) {
  MEMORY_BASIC_INFORMATION region = {};
  if (!VirtualQuery(address, &region, sizeof region) || region.State != MEM_COMMIT)
    return 0;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (!(region.Protect & readable) || (region.Protect & PAGE_GUARD))
    return 0;
  const char *start = static_cast<const char *>(address);
  const char *end = static_cast<const char *>(region.BaseAddress) + region.RegionSize;
  return start >= static_cast<const char *>(region.BaseAddress) &&
         static_cast<SIZE_T>(end - start) >= size;
}

} // namespace

int SaysDisplayCameOn(WPARAM event, LPARAM data) {
  const PowerSettingMessage *setting = reinterpret_cast<const PowerSettingMessage *>(data);
  const SIZE_T size = offsetof(PowerSettingMessage, Data) + sizeof(DWORD);
  if (event != kPowerSettingChange || !setting || !IsReadable(setting, size))
    return 0;
  if (!IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
      setting->DataLength < sizeof(DWORD))
    return 0;
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof state);
  return state == kConsoleDisplayOn;
}

DisplayPowerNotification::DisplayPowerNotification() : registration(nullptr) {}

DisplayPowerNotification::~DisplayPowerNotification() {
  Unregister();
}

int DisplayPowerNotification::Register(HWND window) {
  Unregister();
  RegisterFunction registerWindow =
      LookupInUser32<RegisterFunction>("RegisterPowerSettingNotification");
  if (!registerWindow)
    return 0;
  registration = registerWindow(window, &kConsoleDisplayState, kToWindowHandle);
  return registration != nullptr;
}

int DisplayPowerNotification::Unregister() {
  if (!registration)
    return 0;
  UnregisterFunction unregister =
      LookupInUser32<UnregisterFunction>("UnregisterPowerSettingNotification");
  if (unregister)
    unregister(registration);
  registration = nullptr;
  return 1;
}
