#include "app/ResidentStartup.h"

#include "app/AppMessageHandler.h"
#include "app/AppState.h"
#include "app/GammaKeeper.h"
#include "app/MainWindow.h"
#include "app/ModalLoopWatch.h"
#include "app/RampRefusal.h"
#include "app/ScheduleRunner.h"
#include "app/TrayPresence.h"
#include "config/ConfigFile.h"
#include "config/ResidentPresets.h"
#include "gamma/GammaRamp.h"
#include "hook/HookModule.h"
#include "res/resource.h"
#include "ui/MessageFilter.h"
#include "ui/PopupMenu.h"

#include <new>

namespace {

void ShowResidentWindow(AppState &state) {
  if (state.popupMenu)
    state.popupMenu->Load(IDR_POPUPMENU);
  Restyle(WS_POPUP | WS_MINIMIZE, WS_EX_TOOLWINDOW);
  EnableWindow(GetMainWindow(), FALSE);
  // A one-shot run tells this program which ramp it applied. Started as
  // administrator, this program would not hear a run from a normal prompt;
  // the handler checks the size and tag of what it lets through.
  AllowThroughMessageFilter(GetMainWindow(), WM_COPYDATA);
  ShowInTray(state, GetMainWindow());
}

void StartHookWhenEnabled(AppState &state) {
  state.hookModule = new (std::nothrow) HookModule;
  LoadResidentPresets(state.presets);
  if (state.presets.hookEnabled && state.hookModule)
    state.hookModule->Start(GetMainWindow());
}

// The scheduled ramp takes the place of the default line's, which the
// configuration file has just applied. Without times nothing of it stays.
void StartSchedule(AppState &state) {
  state.schedule = new (std::nothrow) ScheduleRunner(GetMainWindow());
  if (state.schedule && state.workRamp && state.schedule->Load(*state.workRamp)) {
    state.schedule->Start(state);
  } else {
    delete state.schedule;
    state.schedule = nullptr;
  }
  ShowScheduleEntry(state);
}

} // namespace

int StartResident() {
  AppState &state = GetAppState();
  ShowResidentWindow(state);
  SetAppHandler(AppMessageHandler);
  state.modalLoopWatch = new (std::nothrow) ModalLoopWatch(state);
  // Before the configuration file: its default line applies the first ramp
  // to keep.
  if (LoadKeepGamma())
    state.gammaKeeper = new (std::nothrow) GammaKeeper(GetMainWindow());
  state.baseRamp = new (std::nothrow) GammaRamp;
  state.workRamp = new (std::nothrow) GammaRamp;
  if (!ReadConfigFile(state.resolutionTable, state.baseRamp, state.workRamp))
    ReportRefusal(state, "起動時の既定");
  ApplyOwnRampsAndReport(state);
  StartSchedule(state);
  StartHookWhenEnabled(state);
  return 1;
}

void AppShutdown() {
  AppState &state = GetAppState();
  // The timer must not fire into a ramp that is about to be destroyed.
  if (state.pendingRamp) {
    KillTimer(GetMainWindow(), kPendingRampTimer);
    state.pendingRamp = nullptr;
  }
  delete state.schedule;
  state.schedule = nullptr;
  delete state.gammaKeeper;
  state.gammaKeeper = nullptr;
  delete state.modalLoopWatch;
  state.modalLoopWatch = nullptr;
  delete state.workRamp;
  state.workRamp = nullptr;
  FreeResolutionEntries(state.resolutionTable);
  // Exit leaves the last applied ramp on the screen; the base ramp is only
  // reset in memory, never applied here.
  if (state.baseRamp)
    state.baseRamp->SetIdentity();
  delete state.baseRamp;
  state.baseRamp = nullptr;
  delete state.hookModule;
  state.hookModule = nullptr;
  delete state.hotkeyRamp;
  state.hotkeyRamp = nullptr;
  // The shell keeps its own copy of a shown icon.
  if (state.trayIconImage)
    DestroyIcon(state.trayIconImage);
  state.trayIconImage = nullptr;
}
