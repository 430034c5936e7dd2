#include "gamma/DeviceRamp.h"

int SetDeviceRamp(HDC dc, const std::uint16_t *entries) {
  // SetDeviceGammaRamp only reads the array; its parameter is not const.
  return SetDeviceGammaRamp(dc, const_cast<std::uint16_t *>(entries)) != FALSE;
}

int GetDeviceRamp(HDC dc, std::uint16_t *entries) {
  return GetDeviceGammaRamp(dc, entries) != FALSE;
}
