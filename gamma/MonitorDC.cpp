#include "gamma/DisplayDevices.h"

#include "gamma/DeviceRamp.h"
#include "gamma/GammaRamp.h"

// Apart from the listing, so that a test can record which device each
// context belongs to while the program lists the monitors itself.

HDC OpenMonitorDC(const char *device) {
  return CreateDCA(device, nullptr, nullptr, nullptr);
}

int MonitorTakesRamps(HDC dc) {
  if (GetDeviceCaps(dc, COLORMGMTCAPS) & CM_GAMMA_RAMP)
    return 1;
  std::uint16_t shown[GammaRamp::kEntryCount];
  return GetDeviceRamp(dc, shown);
}
