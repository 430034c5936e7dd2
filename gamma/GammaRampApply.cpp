#include "gamma/GammaRamp.h"

#include "gamma/CheckedRamp.h"
#include "gamma/DesktopRamp.h"
#include "gamma/DeviceRamp.h"
#include "gamma/DisplayDC.h"
#include "gamma/DisplayDevices.h"
#include "gamma/ScreenDC.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

// Listing the display devices costs two or three SetDeviceGammaRamp calls
// (0.15 to 0.25 ms against 0.09 ms under Wine), so the list is kept until
// the monitors may have changed: the program forgets it on a change of
// display settings, which Windows announces for every monitor added or
// removed, and Apply forgets it when a listed device is gone. Asking the
// system for its monitor count on each apply instead would cost more than
// the listing itself (five metrics took 0.4 ms).
class KnownDevices {
public:
  KnownDevices() : devices(), listed(0) {}
  virtual ~KnownDevices() {}
  KnownDevices(const KnownDevices &) = delete;
  KnownDevices &operator=(const KnownDevices &) = delete;

  const DisplayDevices &Current() {
    if (!listed)
      devices.Enumerate();
    listed = 1;
    return devices;
  }
  void Forget() { listed = 0; }

private:
  DisplayDevices devices;
  int listed;
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
// it is passed over, and the next apply lists the devices again. A monitor
// whose driver says TRUE but does not show the ramp refused it.
void ApplyToMonitors(const std::uint16_t *entries, ApplyOutcome &outcome) {
  const DisplayDevices &devices = knownDevices.Current();
  outcome.monitorCount = devices.Count();
  for (int i = 0; i < devices.Count(); ++i) {
    DisplayDC monitor(devices.Name(i));
    if (!monitor.Get())
      knownDevices.Forget();
    else if (TakeDeviceRamp(monitor.Get(), entries))
      ++outcome.monitorsTaken;
    else
      AddRefused(outcome, devices.Name(i));
  }
}

// What one monitor shows where the ramp in force should be.
enum class Shown { kApplied, kIdentity, kOther };

// What a reset leaves: entry j at level j % 256, within one level.
int ShowsIdentity(const std::uint16_t *shown) {
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    if (static_cast<unsigned>((shown[i] >> 8) - i % 256 + 1) > 2)
      return 0;
  return 1;
}

Shown ReadShown(HDC dc, const std::uint16_t *applied) {
  std::uint16_t shown[GammaRamp::kEntryCount];
  if (!dc || !GetDeviceRamp(dc, shown))
    return Shown::kOther;
  if (DisplayShowsRamp(shown, applied))
    return Shown::kApplied;
  return ShowsIdentity(shown) ? Shown::kIdentity : Shown::kOther;
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

namespace {

// Monitors by what they show; the desktop's DC stands for them when none
// is listed.
struct ScreenReading {
  int identity;
  int other;
};

void Tally(ScreenReading &reading, Shown shown) {
  reading.identity += shown == Shown::kIdentity;
  reading.other += shown == Shown::kOther;
}

ScreenReading ReadScreen(const std::uint16_t *applied) {
  ScreenReading reading = {0, 0};
  const DisplayDevices &devices = knownDevices.Current();
  if (!devices.Count()) {
    ScreenDC screen;
    Tally(reading, ReadShown(screen.Get(), applied));
  }
  for (int i = 0; i < devices.Count(); ++i) {
    DisplayDC monitor(devices.Name(i));
    Tally(reading, ReadShown(monitor.Get(), applied));
  }
  return reading;
}

} // namespace

int ScreenShowsRamp(const std::uint16_t *applied) {
  ScreenReading reading = ReadScreen(applied);
  return !reading.identity && !reading.other;
}

int ScreenShowsReset(const std::uint16_t *applied) {
  ScreenReading reading = ReadScreen(applied);
  return reading.identity && !reading.other;
}
