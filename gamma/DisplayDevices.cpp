#include "gamma/DisplayDevices.h"

#include <windows.h>

DisplayDevices::DisplayDevices() : names(), count(0) {}

DisplayDevices::~DisplayDevices() {}

int DisplayDevices::Enumerate() {
  count = 0;
  DISPLAY_DEVICEA device;
  device.cb = sizeof device;
  for (DWORD index = 0; count < kMaxDevices && EnumDisplayDevicesA(nullptr, index, &device, 0);
       ++index) {
    // Adapters that drive no monitor of the desktop (a mirror driver, an
    // unplugged output) take no ramp that anyone would see.
    if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP)
      lstrcpynA(names[count++], device.DeviceName, kNameSize);
    device.cb = sizeof device;
  }
  return count;
}
