#include "gamma/GammaRamp.h"

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

} // namespace

int GammaRamp::Apply() const {
  ScreenDC screen;
  if (!screen.Get())
    return 0;
  // SetDeviceGammaRamp only reads the array; its parameter is not const.
  return SetDeviceGammaRamp(screen.Get(), const_cast<std::uint16_t *>(ramp)) ? 1 : 0;
}
