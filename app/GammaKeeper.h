#ifndef QUILLORA_APP_GAMMAKEEPER_H
#define QUILLORA_APP_GAMMAKEEPER_H

#include "gamma/GammaRamp.h"
#include "ui/DisplayPowerNotification.h"
#include "ui/SessionNotification.h"
#include "ui/WinEventHook.h"

#include <windows.h>

// Keeps the ramp in force on the display. Windows and display drivers drop
// the ramp after a resume, an unlock or reconnect, when the display comes
// back on, at a change of resolution or of devices, and when the Settings
// app, a notification, a full-screen program or the secure desktop comes
// up; the keeper hears of those events, lets the system settle, and puts
// back the ramp last applied in this run, or by a one-shot run of the
// program meanwhile. Nothing runs between events: no polling, no timer
// while idle.
//
// Two rules. After the events that always reset the ramp (and the settings
// and device changes) the ramp goes back whenever the display no longer
// shows it. After another window came to the foreground or the desktop
// switched, it goes back only when the display shows what a reset leaves,
// the identity ramp: a game or a calibration loader that set a ramp of its
// own right then is left alone.
//
// It owns the settle timer (kKeepGammaTimer) on the main window and the
// registrations for session and display-power messages and for foreground
// and desktop-switch events. It keeps on the window, for other processes to
// read, how many checks it made and how many ramps it put back.
class GammaKeeper {
public:
  // Watches every ramp the display accepts from now on and registers the
  // window for the session and display-power messages and the two events;
  // a system that lacks a registration still sends the broadcasts.
  explicit GammaKeeper(HWND window);
  // Stops watching, kills a pending settle timer and drops the
  // registrations. The display keeps what it shows.
  virtual ~GammaKeeper();
  GammaKeeper(const GammaKeeper &) = delete;
  GammaKeeper &operator=(const GammaKeeper &) = delete;

  // Offered every WM_POWERBROADCAST, WM_WTSSESSION_CHANGE, WM_SETTINGCHANGE,
  // WM_DEVICECHANGE and WM_WINEVENTNOTICE, and every WM_DISPLAYCHANGE for
  // which the per-resolution rules applied and scheduled nothing. After one
  // that may have reset the display, a check follows once no such event has
  // come for the settle delay: a burst gives one check, by the stricter
  // rule of its events.
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

  // Applies the ramp in force again on the monitors that follow, and each
  // monitor's own file on those that have one: after a change of the
  // user's choices, a monitor that no longer has its own file goes back to
  // the ramp in force.
  void PutRampsBack();

  int HoldsRamp() const { return holdsRamp; }
  // The ramp in force, as the display was last given it; meaningful only
  // while HoldsRamp.
  const std::uint16_t *RampInForce() const { return rampInForce.Entries(); }
  int IsSessionRegistered() const { return session.IsRegistered(); }
  int IsDisplayPowerRegistered() const { return displayPower.IsRegistered(); }

private:
  static void Remember(void *keeper, const GammaRamp &applied);
  int KeepsAnything() const;
  void StartSettleTimer(int rule);
  int DisplayWantsRamp(int rule) const;
  void Count(const char *property, int &count);

  HWND window;
  int holdsRamp;
  // The rule of the check to come (kNoCheck: none is pending).
  int checkPending;
  // A check came while a per-resolution ramp waited, and waits in turn with
  // its rule.
  int checkDeferred;
  int checksMade;
  int rampsPutBack;
  GammaRamp rampInForce;
  SessionNotification session;
  DisplayPowerNotification displayPower;
  WinEventHook foreground;
  WinEventHook desktopSwitch;
};

#endif
