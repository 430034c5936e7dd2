#include "gamma/GammaRamp.h"

#include "gamma/CheckedRamp.h"
#include "gamma/DesktopRamp.h"
#include "gamma/DeviceRamp.h"
#include "gamma/MonitorPlan.h"
#include "gamma/ScreenDC.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

// Listing the display devices with their keys and HDR state costs several
// ramps, so the plan is kept until the monitors may have changed: the
// program forgets it on a change of display settings, which Windows
// announces for every monitor added or removed, and Apply forgets it when a
// listed device is gone. Asking the system for its monitor count on each
// apply instead would cost more than the listing itself (five metrics took
// 0.4 ms).
MonitorPlan plan;
AppliedRampObserver appliedRampObserver = nullptr;
void *appliedRampContext = nullptr;

void AddName(char *names, const MonitorInfo &monitor) {
  std::size_t used = std::strlen(names);
  const char *number = monitor.device + std::strlen(monitor.device);
  while (number > monitor.device && number[-1] >= '0' && number[-1] <= '9')
    --number;
  std::snprintf(names + used, ApplyOutcome::kNamesSize - used, "%s%s (%s)", used ? ", " : "",
                monitor.friendlyName, number);
}

// A kept DC that refuses may have gone stale (a driver restarted): it is
// made again and given the ramp once more. A device whose DC cannot be made
// again has left the desktop since it was listed: the next apply lists the
// devices again.
int TakeOnMonitor(int index, const std::uint16_t *entries, int *gone) {
  if (TakeDeviceRamp(plan.Context(index), entries))
    return 1;
  if (!plan.RenewContext(index)) {
    *gone = 1;
    return 0;
  }
  return TakeDeviceRamp(plan.Context(index), entries);
}

// What the roads' ramp did on the monitors that follow; how many monitors
// were passed over by choice or for HDR.
int ApplyToMonitors(const std::uint16_t *entries, ApplyOutcome &outcome) {
  plan.MakeIfForgotten();
  outcome.monitorCount = plan.Count();
  int passedOver = 0;
  int gone = 0;
  for (int i = 0; i < plan.Count(); ++i) {
    switch (plan.State(i)) {
    case MonitorPlanState::kFollows:
      ++outcome.monitorsMeant;
      if (TakeOnMonitor(i, entries, &gone))
        ++outcome.monitorsTaken;
      else
        AddName(outcome.refused, plan.Info(i));
      break;
    case MonitorPlanState::kSpared:
      AddName(outcome.spared, plan.Info(i));
      ++passedOver;
      break;
    case MonitorPlanState::kNoGammaSupport:
      break;
    default:
      ++passedOver;
      break;
    }
  }
  if (gone)
    plan.Forget();
  return passedOver;
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

void ForgetDisplayDevices() {
  plan.Forget();
}

// The desktop's DC reaches every monitor (or, where it takes a ramp beside
// two monitors at all, the primary one): it stands in only when no monitor
// was kept from the ramp on purpose.
int GammaRamp::Apply(ApplyOutcome *outcome) const {
  ApplyOutcome local;
  ApplyOutcome &result = outcome ? *outcome : local;
  std::memset(&result, 0, sizeof result);
  int passedOver = ApplyToMonitors(ramp, result);
  if (!result.monitorsTaken && !passedOver)
    result.desktopTook = SetDesktopRamp(ramp);
  int nothingMeant = !result.monitorsMeant && result.monitorCount;
  if (!result.monitorsTaken && !result.desktopTook && !(nothingMeant && passedOver)) {
    result.noGammaSupport = nothingMeant;
    return 0;
  }
  if (appliedRampObserver)
    appliedRampObserver(appliedRampContext, *this);
  return 1;
}

int ApplyOwnRamps(ApplyOutcome *outcome) {
  ApplyOutcome local;
  ApplyOutcome &result = outcome ? *outcome : local;
  std::memset(&result, 0, sizeof result);
  plan.MakeIfForgotten();
  result.monitorCount = plan.Count();
  int gone = 0;
  for (int i = 0; i < plan.Count(); ++i) {
    if (plan.State(i) != MonitorPlanState::kOwnFile)
      continue;
    ++result.monitorsMeant;
    if (TakeOnMonitor(i, plan.OwnRamp(i)->Entries(), &gone))
      ++result.monitorsTaken;
    else
      AddName(result.refused, plan.Info(i));
  }
  if (gone)
    plan.Forget();
  return result.monitorsTaken == result.monitorsMeant;
}

int PlannedMonitorCount() {
  plan.MakeIfForgotten();
  return plan.Count();
}

const MonitorInfo &PlannedMonitor(int index) {
  return plan.Info(index);
}

MonitorPlanState PlannedMonitorState(int index) {
  return plan.State(index);
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

// The ramp monitor `index` should show: null for one that is not read.
const std::uint16_t *RampMeantFor(int index, const std::uint16_t *applied) {
  switch (plan.State(index)) {
  case MonitorPlanState::kFollows:
    return applied;
  case MonitorPlanState::kOwnFile:
    return plan.OwnRamp(index)->Entries();
  default:
    return nullptr;
  }
}

ScreenReading ReadScreen(const std::uint16_t *applied) {
  ScreenReading reading = {0, 0};
  plan.MakeIfForgotten();
  if (!plan.Count() && applied) {
    ScreenDC screen;
    Tally(reading, ReadShown(screen.Get(), applied));
  }
  for (int i = 0; i < plan.Count(); ++i) {
    const std::uint16_t *meant = RampMeantFor(i, applied);
    if (meant)
      Tally(reading, ReadShown(plan.Context(i), meant));
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
