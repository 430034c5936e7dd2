#ifndef QUILLORA_APP_APPSTATE_H
#define QUILLORA_APP_APPSTATE_H

#include "app/AppMessages.h"
#include "config/ResidentPresets.h"
#include "config/ResolutionTable.h"

#include <windows.h>

class GammaKeeper;
class GammaRamp;
class HookModule;
class ModalLoopWatch;
class PopupMenu;
class ScheduleRunner;
class TrayIcon;

// The state of the resident program, one per process. The window procedure
// reaches it through GetAppState, since window messages carry no context.
struct AppState {
  PopupMenu *popupMenu = nullptr;
  TrayIcon *trayIcon = nullptr;
  HICON trayIconImage = nullptr;
  // The shell's "TaskbarCreated" message, registered on the way to the
  // tray; 0 before.
  UINT taskbarCreated = 0;

  // Applied when a new resolution has no entry, and by the restore command.
  GammaRamp *baseRamp = nullptr;
  // Scratch ramp for the per-resolution files.
  GammaRamp *workRamp = nullptr;
  // Computed from hook commands.
  GammaRamp *hotkeyRamp = nullptr;
  // The work ramp while it waits for timer 1, else null.
  GammaRamp *pendingRamp = nullptr;

  ResolutionTable resolutionTable = {};
  // The presets as read at start or last confirmed in the settings dialog.
  // Their hook flag is the user's choice, which the hook follows only from
  // the next start.
  ResidentPresets presets = {};
  // Whether the hook runs now: IsStarted.
  HookModule *hookModule = nullptr;
  // Puts the ramp in force back after the system resets the display; null
  // when the registry turns that off.
  GammaKeeper *gammaKeeper = nullptr;
  // Puts the ramps of the "*time" lines on the screen at their times; null
  // when "quilcfg.txt" has none that loads.
  ScheduleRunner *schedule = nullptr;
  // Gives every dialog's modal loop a clean start.
  ModalLoopWatch *modalLoopWatch = nullptr;

  double hotkeyGamma = 1.0;
  int hotkeyDarkLevel = 0;

  int commandBusy = 0;
  // 1 while a tray click has its menu open (or about to open).
  int trayMenuOpen = 0;
  int displayChangeBusy = 0;
  // Above 0 while the pause and queue drain after an applied ramp runs.
  int drainDepth = 0;
  // 1 from the balloon for a refused ramp until a ramp is taken: one
  // balloon per run of refusals.
  int refusalShown = 0;
  // The same for a ramp that some monitors refused while others took it,
  // and for one that monitors in HDR were spared.
  int partRefusalShown = 0;
  int hdrShown = 0;
};

AppState &GetAppState();

#endif
