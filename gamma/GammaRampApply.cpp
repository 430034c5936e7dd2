#include "gamma/GammaRamp.h"

#include "gamma/DesktopRamp.h"
#include "gamma/DisplayDC.h"
#include "gamma/DisplayDevices.h"
#include "gamma/ScreenDC.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

// Listing the display devices costs about twice a SetDeviceGammaRamp (0.15
// to 0.25 ms against 0.09 ms under Wine), so the list is kept and made again
// only when the desktop shows that its monitors have changed. The monitor
// count and the virtual screen change with every monitor added, removed or
// moved, and reading them costs next to nothing.
class KnownDevices {
public:
  KnownDevices() : devices(), listed(0), monitorCount(0), virtualScreen() {}
  virtual ~KnownDevices() {}
  KnownDevices(const KnownDevices &) = delete;
  KnownDevices &operator=(const KnownDevices &) = delete;

  const DisplayDevices &Current() {
    RECT screen = VirtualScreen();
    int monitors = GetSystemMetrics(SM_CMONITORS);
    if (!listed || monitors != monitorCount || !EqualRect(&screen, &virtualScreen)) {
      devices.Enumerate();
      listed = 1;
      monitorCount = monitors;
      virtualScreen = screen;
    }
    return devices;
  }
  void Forget() { listed = 0; }

private:
  static RECT VirtualScreen() {
    RECT screen;
    screen.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    screen.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return screen;
  }

  DisplayDevices devices;
  int listed;
  int monitorCount;
  RECT virtualScreen;
};

KnownDevices knownDevices;
AppliedRampObserver appliedRampObserver = nullptr;
void *appliedRampContext = nullptr;

void AddRefused(ApplyOutcome &outcome, const char *deviceName) {
  std::size_t used = std::strlen(outcome.refused);
  std::snprintf(outcome.refused + used, sizeof outcome.refused - used, "%s%s",
                used ? ", " : "", deviceName);
}

// A device whose DC cannot be made has left the desktop since it was listed:
// it is passed over, and the next apply lists the devices again.
void ApplyToMonitors(const std::uint16_t *entries, ApplyOutcome &outcome) {
  const DisplayDevices &devices = knownDevices.Current();
  outcome.monitorCount = devices.Count();
  for (int i = 0; i < devices.Count(); ++i) {
    DisplayDC monitor(devices.Name(i));
    if (!monitor.Get())
      knownDevices.Forget();
    else if (SetDeviceGammaRamp(monitor.Get(), const_cast<std::uint16_t *>(entries)))
      ++outcome.monitorsTaken;
    else
      AddRefused(outcome, devices.Name(i));
  }
}

int ShowsRamp(HDC dc, const std::uint16_t *applied) {
  std::uint16_t shown[GammaRamp::kEntryCount];
  return dc && GetDeviceGammaRamp(dc, shown) && DisplayShowsRamp(shown, applied);
}

} // namespace

void SetAppliedRampObserver(AppliedRampObserver observer, void *context) {
  appliedRampObserver = observer;
  appliedRampContext = context;
}

void ForgetDisplayDevices() { knownDevices.Forget(); }

int GammaRamp::Apply(ApplyOutcome *outcome) const {
  ApplyOutcome local;
  ApplyOutcome &result = outcome ? *outcome : local;
  std::memset(&result, 0, sizeof result);
  ApplyToMonitors(ramp, result);
  if (!result.monitorsTaken)
    result.desktopTook = SetDesktopRamp(ramp);
  if (!result.monitorsTaken && !result.desktopTook)
    return 0;
  if (appliedRampObserver)
    appliedRampObserver(appliedRampContext, *this);
  return 1;
}

int ScreenShowsRamp(const std::uint16_t *applied) {
  const DisplayDevices &devices = knownDevices.Current();
  if (!devices.Count()) {
    ScreenDC screen;
    return ShowsRamp(screen.Get(), applied);
  }
  for (int i = 0; i < devices.Count(); ++i) {
    DisplayDC monitor(devices.Name(i));
    if (!ShowsRamp(monitor.Get(), applied))
      return 0;
  }
  return 1;
}
