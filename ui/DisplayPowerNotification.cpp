#include "ui/DisplayPowerNotification.h"

#include <cstddef>
#include <cstring>

namespace {

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
  // Both settings say 1 for on.
  if (!(IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
        IsEqualGUID(setting->PowerSetting, kMonitorPowerOn)) ||
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
  // One registration only: the settle timer would fold the duplicates of
  // both, but there is no need for them.
  registration = RegisterPowerSetting(window, kConsoleDisplayState);
  if (!registration)
    registration = RegisterPowerSetting(window, kMonitorPowerOn);
  return registration != nullptr;
}

int DisplayPowerNotification::Unregister() {
  if (!registration)
    return 0;
  UnregisterPowerSetting(registration);
  registration = nullptr;
  return 1;
}
