#include "gamma/DesktopRamp.h"

#include "gamma/CheckedRamp.h"
#include "gamma/ScreenDC.h"

int SetDesktopRamp(const std::uint16_t *entries) {
  ScreenDC screen;
  return screen.Get() && TakeDeviceRamp(screen.Get(), entries);
}
