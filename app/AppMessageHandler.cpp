#include "app/AppMessageHandler.h"

#include "app/AppState.h"
#include "app/AppliedRampNotice.h"
#include "app/AutostartCommand.h"
#include "app/GammaKeeper.h"
#include "app/GammaRangeUnlock.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "app/ModalLoopScope.h"
#include "app/RampRefusal.h"
#include "app/ScheduleRunner.h"
#include "app/TrayPresence.h"
#include "config/ResolutionTable.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"
#include "ui/DrainMessageQueue.h"
#include "ui/PopupMenu.h"

namespace {

const DWORD kDisplayChangePauseMs = 300;
const DWORD kHookCommandPauseMs = 150;
const double kGammaStep = 0.025;
const double kLowestHookGamma = 0.7;
const unsigned kHighestDarkLevel = 64;

// After a ramp is applied the handler pauses and lets the queue run, so that
// what arrived meanwhile (a held hot key repeats) is handled before it
// returns. A handler that runs inside that drain must not pause and drain
// again: a burst of queued messages would then nest one inside the other
// until the stack runs out. The outer drain dispatches them one after
// another instead, in the same order.
// Returns 0 when the pause was left to an outer drain.
int PauseAndDrain(AppState &state, DWORD milliseconds) {
  if (state.drainDepth > 0)
    return 0;
  ++state.drainDepth;
  Sleep(milliseconds);
  DrainMessageQueue(nullptr);
  --state.drainDepth;
  // Display changes handled inside left the busy flag as their own drains
  // would have; those drains are over now, too.
  state.displayChangeBusy = 0;
  return 1;
}

const ResolutionEntry *FindEntry(const ResolutionTable &table, int width, int height,
                                 int *examinedAll) {
  int examined = 0;
  for (const ResolutionEntry *entry = table.head; entry && examined < table.count;
       entry = entry->next) {
    ++examined;
    if (entry->width == width && entry->height == height)
      return entry;
  }
  *examinedAll = examined == table.count;
  return nullptr;
}

// Returns 1 when the ramp was applied at once but its pause and drain was
// left to an outer drain. Clears *leftAlone once the file is applied or
// scheduled.
int ApplyEntryFile(AppState &state, const ResolutionEntry &entry, int *leftAlone) {
  GammaRamp *ramp = state.workRamp;
  if (!entry.path || !ramp || !ramp->LoadFromFile(entry.path))
    return 0;
  *leftAlone = 0;
  int delay = ramp->GetApplyDelay();
  // A negative delay can only come from a damaged file; it is taken as none
  // rather than leaving the new resolution without its ramp.
  if (delay <= 0) {
    ApplyAndReport(state, *ramp, "この解像度");
    return !PauseAndDrain(state, kDisplayChangePauseMs);
  }
  state.pendingRamp = ramp;
  SetTimer(GetMainWindow(), kPendingRampTimer, static_cast<UINT>(delay), nullptr);
  Sleep(1);
  return 0;
}

// A keep-gamma check that came while a per-resolution ramp waited for timer 1
// was put off; once no ramp waits any more, it is due.
void EndRampWait(AppState &state) {
  if (state.gammaKeeper && !state.pendingRamp)
    state.gammaKeeper->OnRampWaitOver();
}

void OnDisplayChange(AppState &state, LPARAM lParam, unsigned char *handled) {
  *handled = 1;
  // Set while an earlier change applies its ramp: the change that the drain
  // after it dispatches is passed over.
  if (state.displayChangeBusy) {
    state.displayChangeBusy = 0;
    return;
  }
  state.displayChangeBusy = 1;
  state.pendingRamp = nullptr;
  int width = static_cast<int>(lParam & 0xFFFF);
  int height = static_cast<int>((static_cast<DWORD>(lParam) >> 16) & 0xFFFF);
  int examinedAll = 0;
  const ResolutionEntry *entry = FindEntry(state.resolutionTable, width, height, &examinedAll);
  int drainLeftToOuter = 0;
  int leftAlone = 1;
  if (entry) {
    drainLeftToOuter = ApplyEntryFile(state, *entry, &leftAlone);
  } else if (state.resolutionTable.count > 0 && examinedAll && state.baseRamp) {
    ApplyAndReport(state, *RampForUnlistedResolution(state), "既定");
    leftAlone = 0;
  }
  // Had this change drained the queue itself, the changes dispatched in that
  // drain would have found the flag set; the outer drain dispatches them
  // now, so the flag stays set for them and the same changes take effect.
  state.displayChangeBusy = drainLeftToOuter;
  EndRampWait(state);
  // The change may have reset the ramp, and no rule puts one on: the keeper
  // checks it as after a resume.
  if (leftAlone && state.gammaKeeper)
    state.gammaKeeper->OnSystemEvent(WM_DISPLAYCHANGE, 0, lParam);
}

void OnTimer(AppState &state, WPARAM timer) {
  if (timer != kPendingRampTimer)
    return;
  KillTimer(GetMainWindow(), kPendingRampTimer);
  // Cleared before the drain: a display change dispatched in it may leave a
  // new pending ramp, which must still be applied when its timer fires.
  GammaRamp *ramp = state.pendingRamp;
  state.pendingRamp = nullptr;
  if (!ramp || state.resolutionTable.count < 1) {
    EndRampWait(state);
    return;
  }
  ApplyAndReport(state, *ramp, "この解像度");
  EndRampWait(state);
  PauseAndDrain(state, kDisplayChangePauseMs);
}

void OnKeepGammaTimer(AppState &state) {
  // A per-resolution ramp waiting for timer 1 is the one to come: the check
  // leaves it and its timer alone.
  if (state.gammaKeeper)
    state.gammaKeeper->OnSettleTimer(state.pendingRamp != nullptr);
}

// A one-shot run of the program applied a file while this one runs.
void OnCopyData(AppState &state, LPARAM lParam) {
  const std::uint16_t *applied = AppliedRampInNotice(lParam);
  if (applied && state.gammaKeeper)
    state.gammaKeeper->TakeRampAppliedElsewhere(applied);
  if (applied)
    HoldSchedule(state);
}

double HookGammaCandidate(AppState &state, WPARAM code) {
  if (code <= HOOKCMD_PRESET9) {
    state.hotkeyDarkLevel = state.presets.darkLevel[code];
    return state.presets.gamma[code];
  }
  switch (code) {
  case HOOKCMD_GAMMAUP:
    return state.hotkeyGamma + kGammaStep;
  case HOOKCMD_GAMMADOWN:
    return state.hotkeyGamma - kGammaStep;
  case HOOKCMD_RESET:
    state.hotkeyDarkLevel = 0;
    return 1.0;
  default:
    return 0.0;
  }
}

void OnHookCommand(AppState &state, WPARAM code) {
  double candidate = HookGammaCandidate(state, code);
  if (static_cast<unsigned>(state.hotkeyDarkLevel) > kHighestDarkLevel)
    state.hotkeyDarkLevel = kHighestDarkLevel;
  if (!(candidate > kLowestHookGamma) || !state.hotkeyRamp)
    return;
  state.hotkeyGamma = candidate;
  state.hotkeyRamp->SetCurve(candidate, state.hotkeyDarkLevel);
  ApplyAndReport(state, *state.hotkeyRamp, "ホットキー");
  HoldSchedule(state);
  PauseAndDrain(state, kHookCommandPauseMs);
}

void OnTrayNotify(AppState &state, HWND window, WPARAM iconId, LPARAM mouseMessage) {
  if (state.commandBusy || state.trayMenuOpen || iconId != 0)
    return;
  if (mouseMessage != WM_LBUTTONDOWN && mouseMessage != WM_RBUTTONDOWN)
    return;
  // Track drains the queue before the menu opens, and the menu's loop
  // dispatches as well. Clicks queued behind this one would each open the
  // menu again inside it, one level deeper per click, until a burst of them
  // runs the stack out. One menu at a time: clicks meanwhile are dropped, as
  // a click outside an open menu only closes it.
  state.trayMenuOpen = 1;
  int command = 0;
  if (state.popupMenu) {
    // Read afresh each time: the user may delete the shortcut by hand, and
    // the limit may have been lifted by another program.
    state.popupMenu->SetCheck(IDM_AUTOSTART, StartsWithWindows());
    state.popupMenu->SetCheck(IDM_UNLOCKGAMMARANGE, GammaRangeUnlocked());
    ModalLoopScope menuLoop(state);
    command = state.popupMenu->Track(window);
  }
  state.trayMenuOpen = 0;
  RunMenuCommand(command);
}

} // namespace

void AppMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       unsigned char *handled) {
  AppState &state = GetAppState();
  // Explorer has restarted and forgotten every icon.
  if (IsTaskbarCreated(state, message)) {
    AddTrayIcon(state, window);
    return;
  }
  switch (message) {
  case WM_DISPLAYCHANGE:
    // A monitor may have come or gone with the change; the ramp that follows
    // must reach the monitors there are now.
    ForgetDisplayDevices();
    OnDisplayChange(state, lParam, handled);
    // A monitor with a file of its own may have come back.
    ApplyOwnRampsAndReport(state);
    break;
  case WM_TIMER:
    if (wParam == kKeepGammaTimer)
      OnKeepGammaTimer(state);
    else if (wParam == kTrayIconRetryTimer)
      RetryTrayIcon(state, window);
    else if ((wParam == kScheduleTimer || wParam == kFadeTimer) && state.schedule)
      state.schedule->OnTimer(state, wParam);
    else
      OnTimer(state, wParam);
    break;
  case WM_POWERBROADCAST:
  case WM_WTSSESSION_CHANGE:
  case WM_SETTINGCHANGE:
  case WM_DEVICECHANGE:
  case WM_WINEVENTNOTICE:
    if (state.schedule)
      state.schedule->OnSystemEvent(state, message, wParam);
    if (state.gammaKeeper)
      state.gammaKeeper->OnSystemEvent(message, wParam, lParam);
    break;
  case WM_TIMECHANGE:
    if (state.schedule)
      state.schedule->OnSystemEvent(state, message, wParam);
    break;
  case WM_COPYDATA:
    OnCopyData(state, lParam);
    break;
  case WM_HOOKCOMMAND:
    OnHookCommand(state, wParam);
    break;
  case WM_TRAYNOTIFY:
    OnTrayNotify(state, window, wParam, lParam);
    break;
  case WM_COMMAND:
    if (!state.commandBusy)
      RunMenuCommand(LOWORD(wParam));
    break;
  default:
    break;
  }
}
