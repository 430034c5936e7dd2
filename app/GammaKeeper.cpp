#include "app/GammaKeeper.h"

#include "app/AppMessages.h"

#include <algorithm>

namespace {

// Long enough for a resuming driver to have done its own reset, short
// enough that the user hardly sees the uncorrected screen.
const UINT kSettleDelayMs = 500;

int MayResetDisplay(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WTSSESSION_CHANGE)
    return wParam == WTS_SESSION_UNLOCK || wParam == WTS_CONSOLE_CONNECT ||
           wParam == WTS_REMOTE_CONNECT;
  if (message == WM_POWERBROADCAST)
    return wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND ||
           SaysDisplayCameOn(wParam, lParam);
  return 0;
}

} // namespace

GammaKeeper::GammaKeeper(HWND mainWindow)
    : window(mainWindow), holdsRamp(0), checkPending(0), checkDeferred(0), rampInForce(), session(),
      displayPower() {
  SetAppliedRampObserver(&GammaKeeper::Remember, this);
  session.Register(window);
  displayPower.Register(window);
}

GammaKeeper::~GammaKeeper() {
  SetAppliedRampObserver(nullptr, nullptr);
  if (checkPending)
    KillTimer(window, kKeepGammaTimer);
  checkPending = 0;
  checkDeferred = 0;
}

void GammaKeeper::Remember(void *keeper, const GammaRamp &applied) {
  GammaKeeper &self = *static_cast<GammaKeeper *>(keeper);
  self.holdsRamp = 1;
  // Putting the ramp back applies it again: nothing to copy then.
  if (&applied != &self.rampInForce)
    std::copy(applied.Entries(), applied.Entries() + GammaRamp::kEntryCount,
              self.rampInForce.Entries());
}

void GammaKeeper::OnSystemEvent(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!holdsRamp || !MayResetDisplay(message, wParam, lParam))
    return;
  // A reconnected session or a resumed machine may show other monitors.
  ForgetDisplayDevices();
  StartSettleTimer();
}

// Restarted by every event: the check comes once the system has been quiet
// for the whole delay.
void GammaKeeper::StartSettleTimer() {
  checkPending = 1;
  SetTimer(window, kKeepGammaTimer, kSettleDelayMs, nullptr);
}

void GammaKeeper::OnSettleTimer(int rampWaiting) {
  if (!checkPending)
    return;
  KillTimer(window, kKeepGammaTimer);
  checkPending = 0;
  if (!holdsRamp)
    return;
  if (rampWaiting) {
    checkDeferred = 1;
    return;
  }
  if (ScreenShowsRamp(rampInForce.Entries()))
    return;
  rampInForce.Apply();
}

void GammaKeeper::OnRampWaitOver() {
  if (!checkDeferred)
    return;
  checkDeferred = 0;
  StartSettleTimer();
}

void GammaKeeper::TakeRampAppliedElsewhere(const std::uint16_t *entries) {
  std::copy(entries, entries + GammaRamp::kEntryCount, rampInForce.Entries());
  holdsRamp = 1;
}
