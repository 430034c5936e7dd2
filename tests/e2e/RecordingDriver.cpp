// Links into a build of the program in place of its calls that make a
// monitor's context and set a ramp on it: each still goes to the system,
// and each ramp set is written down with the device it went to, in the file
// that QUIL_RAMP_LOG names. Wine keeps one ramp for the whole X screen, so
// reading the monitors back cannot tell which of them was given a ramp.
#include "gamma/DeviceRamp.h"
#include "gamma/DisplayDevices.h"
#include "gamma/GammaRamp.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

std::map<HDC, std::string> devices;

} // namespace

HDC OpenMonitorDC(const char *device) {
  HDC dc = CreateDCA(device, nullptr, nullptr, nullptr);
  if (dc)
    devices[dc] = device;
  return dc;
}

// As the program's own.
int MonitorTakesRamps(HDC dc) {
  if (GetDeviceCaps(dc, COLORMGMTCAPS) & CM_GAMMA_RAMP)
    return 1;
  std::uint16_t shown[GammaRamp::kEntryCount];
  return GetDeviceRamp(dc, shown);
}

// One line per ramp taken: the device and the high byte of entry 128.
int SetDeviceRamp(HDC dc, const std::uint16_t *entries) {
  int taken = SetDeviceGammaRamp(dc, const_cast<std::uint16_t *>(entries)) != FALSE;
  char path[MAX_PATH];
  auto device = devices.find(dc);
  if (taken && GetEnvironmentVariableA("QUIL_RAMP_LOG", path, sizeof path)) {
    FILE *log = std::fopen(path, "a");
    if (log) {
      std::fprintf(log, "%s %d\n", device == devices.end() ? "desktop" : device->second.c_str(),
                   entries[128] >> 8);
      std::fclose(log);
    }
  }
  return taken;
}

int GetDeviceRamp(HDC dc, std::uint16_t *entries) {
  return GetDeviceGammaRamp(dc, entries) != FALSE;
}
