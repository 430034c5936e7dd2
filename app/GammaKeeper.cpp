#include "app/GammaKeeper.h"

#include "app/AppMessages.h"

#include <algorithm>
#include <dbt.h>

namespace {

// Long enough for a resuming driver to have done its own reset, short
// enough that the user hardly sees the uncorrected screen.
const UINT kSettleDelayMs = 500;

// The rules of a check, the stricter one the larger: a burst of events of
// both kinds is checked by the stricter.
const int kNoCheck = 0;
// Put the ramp back only when the display shows the identity ramp.
const int kIfReset = 1;
// Put the ramp back whenever the display no longer shows it.
const int kIfNotShown = 2;

// Read by other processes: the tests and the bench count checks and
// re-applies, which the display alone cannot show.
const char kChecksProperty[] = "QuilloraKeepChecks";
const char kPutBackProperty[] = "QuilloraKeepPutBack";

int CheckRule(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_WTSSESSION_CHANGE:
    return wParam == WTS_SESSION_UNLOCK || wParam == WTS_CONSOLE_CONNECT ||
                   wParam == WTS_REMOTE_CONNECT
               ? kIfNotShown
               : kNoCheck;
  case WM_POWERBROADCAST:
    return wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND ||
                   SaysDisplayCameOn(wParam, lParam)
               ? kIfNotShown
               : kNoCheck;
  // Offered only when the per-resolution rules left the change alone.
  case WM_DISPLAYCHANGE:
  // A wallpaper or a colour setting changed.
  case WM_SETTINGCHANGE:
    return kIfNotShown;
  // A device came or went: a monitor switched on, a KVM switch, a USB
  // device plugged in.
  case WM_DEVICECHANGE:
    return wParam == DBT_DEVNODES_CHANGED ? kIfNotShown : kNoCheck;
  // Settings, Action Center, a notification, a full-screen program, the
  // secure desktop: or a game that sets its own ramp as it comes up.
  case WM_WINEVENTNOTICE:
    return wParam == kForegroundEvent || wParam == kDesktopSwitchEvent ? kIfReset : kNoCheck;
  default:
    return kNoCheck;
  }
}

// A monitor may have come or gone with these; the list of devices is made
// again at the check.
int MayChangeMonitors(UINT message) {
  return message == WM_WTSSESSION_CHANGE || message == WM_POWERBROADCAST ||
         message == WM_DEVICECHANGE;
}

} // namespace

GammaKeeper::GammaKeeper(HWND mainWindow)
    : window(mainWindow), holdsRamp(0), checkPending(kNoCheck), checkDeferred(kNoCheck),
      checksMade(0), rampsPutBack(0), rampInForce(), session(), displayPower(), foreground(),
      desktopSwitch() {
  SetAppliedRampObserver(&GammaKeeper::Remember, this);
  session.Register(window);
  displayPower.Register(window);
  foreground.Register(kForegroundEvent, window, WM_WINEVENTNOTICE);
  // Windows 8 and later raise it; earlier ones take the hook and stay silent.
  desktopSwitch.Register(kDesktopSwitchEvent, window, WM_WINEVENTNOTICE);
}

GammaKeeper::~GammaKeeper() {
  SetAppliedRampObserver(nullptr, nullptr);
  if (checkPending)
    KillTimer(window, kKeepGammaTimer);
  checkPending = kNoCheck;
  checkDeferred = kNoCheck;
  RemovePropA(window, kChecksProperty);
  RemovePropA(window, kPutBackProperty);
}

void GammaKeeper::Remember(void *keeper, const GammaRamp &applied) {
  GammaKeeper &self = *static_cast<GammaKeeper *>(keeper);
  self.holdsRamp = 1;
  // Putting the ramp back applies it again: nothing to copy then.
  if (&applied != &self.rampInForce)
    std::copy(applied.Entries(), applied.Entries() + GammaRamp::kEntryCount,
              self.rampInForce.Entries());
}

// A monitor with a file of its own is kept too, also before any ramp of
// the roads was applied.
int GammaKeeper::KeepsAnything() const {
  if (holdsRamp)
    return 1;
  for (int i = 0; i < PlannedMonitorCount(); ++i)
    if (PlannedMonitorState(i) == MonitorPlanState::kOwnFile)
      return 1;
  return 0;
}

void GammaKeeper::OnSystemEvent(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!KeepsAnything())
    return;
  int rule = CheckRule(message, wParam, lParam);
  if (rule == kNoCheck)
    return;
  if (MayChangeMonitors(message))
    ForgetDisplayDevices();
  StartSettleTimer(rule);
}

// Restarted by every event: the check comes once the system has been quiet
// for the whole delay.
void GammaKeeper::StartSettleTimer(int rule) {
  checkPending = std::max(checkPending, rule);
  SetTimer(window, kKeepGammaTimer, kSettleDelayMs, nullptr);
}

void GammaKeeper::OnSettleTimer(int rampWaiting) {
  if (!checkPending)
    return;
  KillTimer(window, kKeepGammaTimer);
  int rule = checkPending;
  checkPending = kNoCheck;
  if (!KeepsAnything())
    return;
  if (rampWaiting) {
    checkDeferred = std::max(checkDeferred, rule);
    return;
  }
  Count(kChecksProperty, checksMade);
  if (!DisplayWantsRamp(rule))
    return;
  Count(kPutBackProperty, rampsPutBack);
  PutRampsBack();
}

void GammaKeeper::PutRampsBack() {
  if (holdsRamp)
    rampInForce.Apply();
  ApplyOwnRamps();
}

// Each monitor is read against its plan: the ramp in force where it
// follows (none yet: not read), its own where it has a file of its own.
int GammaKeeper::DisplayWantsRamp(int rule) const {
  const std::uint16_t *inForce = holdsRamp ? rampInForce.Entries() : nullptr;
  if (rule == kIfReset)
    return ScreenShowsReset(inForce);
  return !ScreenShowsRamp(inForce);
}

void GammaKeeper::Count(const char *property, int &count) {
  ++count;
  SetPropA(window, property, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(count)));
}

void GammaKeeper::OnRampWaitOver() {
  if (!checkDeferred)
    return;
  int rule = checkDeferred;
  checkDeferred = kNoCheck;
  StartSettleTimer(rule);
}

void GammaKeeper::TakeRampAppliedElsewhere(const std::uint16_t *entries) {
  std::copy(entries, entries + GammaRamp::kEntryCount, rampInForce.Entries());
  holdsRamp = 1;
}
