// Links into a build of the program in place of its own calls to the
// display: a driver whose safety check drops every ramp silently, returning
// TRUE and setting nothing, as the SetDeviceGammaRamp page warns a driver
// may. Wine never does; reading the ramp back is left to the system.
#include "gamma/DeviceRamp.h"

int SetDeviceRamp(HDC, const std::uint16_t *) {
  return 1;
}

int GetDeviceRamp(HDC dc, std::uint16_t *entries) {
  return GetDeviceGammaRamp(dc, entries) != FALSE;
}
