#ifndef QUILLORA_APP_GAMMAKEEPER_H
#define QUILLORA_APP_GAMMAKEEPER_H

#include "gamma/GammaRamp.h"
#include "ui/DisplayPowerNotification.h"
#include "ui/SessionNotification.h"

#include <windows.h>

// Keeps the ramp in force on the display. Windows and display drivers drop
// the ramp after a resume, an unlock or reconnect, or when the display comes
// back on; the keeper hears of those events, lets the system settle, and
// puts back the ramp last applied in this run, or by a one-shot run of the
// program meanwhile, if the display no longer shows it. Nothing runs
// between events: no polling, no timer while idle.
//
// It owns the settle timer (kKeepGammaTimer) on the main window and the
// registrations for session and display-power messages.
class GammaKeeper {
public:
  // Watches every ramp the display accepts from now on and registers the
  // window for the session and display-power messages; a system that lacks
  // either registration still sends the resume broadcasts.
  explicit GammaKeeper(HWND window);
  // Stops watching, kills a pending settle timer and drops the
  // registrations. The display keeps what it shows.
  virtual ~GammaKeeper();
  GammaKeeper(const GammaKeeper &) = delete;
  GammaKeeper &operator=(const GammaKeeper &) = delete;

  // Offered every WM_POWERBROADCAST and WM_WTSSESSION_CHANGE. After one
  // that may have reset the display, a check follows once no such event has
  // come for the settle delay: a burst gives one check.
  void OnSystemEvent(UINT message, WPARAM wParam, LPARAM lParam);
  // The settle timer's message. Reads the display and re-applies the ramp
  // in force when the display no longer shows it; does nothing when no
  // check is pending or when nothing was applied in this run. While
  // rampWaiting says a per-resolution ramp waits for its own timer, that
  // ramp is the one to come and is left alone: the check waits for
  // OnRampWaitOver instead.
  void OnSettleTimer(int rampWaiting);
  // No per-resolution ramp waits any more: it was applied, refused or
  // dropped. A check that waited for it follows after the settle delay, so
  // that a display the system reset is still put right when the waiting
  // ramp never came.
  void OnRampWaitOver();
  // Another process of the program put this ramp (kEntryCount entries) on
  // the display at the user's request: it is the ramp in force from now on,
  // and nothing is applied for it.
  void TakeRampAppliedElsewhere(const std::uint16_t *entries);

  int HoldsRamp() const { return holdsRamp; }
  int IsSessionRegistered() const { return session.IsRegistered(); }
  int IsDisplayPowerRegistered() const { return displayPower.IsRegistered(); }

private:
  static void Remember(void *keeper, const GammaRamp &applied);
  void StartSettleTimer();

  HWND window;
  int holdsRamp;
  int checkPending;
  // A check came while a per-resolution ramp waited, and waits in turn.
  int checkDeferred;
  GammaRamp rampInForce;
  SessionNotification session;
  DisplayPowerNotification displayPower;
};

#endif
