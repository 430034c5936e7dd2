#include "gamma/CheckedRamp.h"

#include "gamma/DeviceRamp.h"
#include "gamma/GammaRamp.h"

int TakeDeviceRamp(HDC dc, const std::uint16_t *entries) {
  if (!SetDeviceRamp(dc, entries))
    return 0;
  std::uint16_t shown[GammaRamp::kEntryCount];
  return !GetDeviceRamp(dc, shown) || DisplayShowsRamp(shown, entries);
}
