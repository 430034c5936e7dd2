#include "gamma/DesktopRamp.h"

#include "gamma/ScreenDC.h"

int SetDesktopRamp(const std::uint16_t *entries) {
  ScreenDC screen;
  // SetDeviceGammaRamp only reads the array; its parameter is not const.
  return screen.Get() && SetDeviceGammaRamp(screen.Get(), const_cast<std::uint16_t *>(entries));
}
