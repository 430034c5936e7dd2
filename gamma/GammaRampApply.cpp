#include "gamma/GammaRamp.h"

#include <algorithm>
#include <windows.h>

namespace {

// The device context of the whole screen, released on every path out.
class ScreenDC {
public:
  ScreenDC() : dc(GetDC(nullptr)) {}
  virtual ~ScreenDC() { Release(); }
  ScreenDC(const ScreenDC &) = delete;
  ScreenDC &operator=(const ScreenDC &) = delete;

  HDC Get() const { return dc; }
  void Release() {
    if (dc)
      ReleaseDC(nullptr, dc);
    dc = nullptr;
  }

private:
  HDC dc;
};

AppliedRampObserver appliedRampObserver = nullptr;
void *appliedRampContext = nullptr;

} // namespace

void SetAppliedRampObserver(AppliedRampObserver observer, void *context) {
  appliedRampObserver = observer;
  appliedRampContext = context;
}

int GammaRamp::Apply() const {
  ScreenDC screen;
  if (!screen.Get())
    return 0;
  // SetDeviceGammaRamp only reads the array; its parameter is not const.
  if (!SetDeviceGammaRamp(screen.Get(), const_cast<std::uint16_t *>(ramp)))
    return 0;
  screen.Release();
  if (appliedRampObserver)
    appliedRampObserver(appliedRampContext, *this);
  return 1;
}

int ReadScreenRamp(std::uint16_t *entries) {
  std::uint16_t read[GammaRamp::kEntryCount];
  ScreenDC screen;
  if (!screen.Get() || !GetDeviceGammaRamp(screen.Get(), read))
    return 0;
  std::copy(read, read + GammaRamp::kEntryCount, entries);
  return 1;
}
