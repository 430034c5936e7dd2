#include "app/MenuCommands.h"

#include "app/AppState.h"
#include "app/AutostartCommand.h"
#include "app/GammaRangeUnlock.h"
#include "app/MainWindow.h"
#include "app/MonitorSettingsCommand.h"
#include "app/RampRefusal.h"
#include "app/ResidentSettingsCommand.h"
#include "app/ScheduleRunner.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"
#include "ui/CreateDialog.h"
#include "ui/DialogWindow.h"
#include "ui/GammaFileDialog.h"

#include <new>

namespace {

const int kSliderOne = 8192; // gamma 1.0 on the creation dialog's slider

// The file is applied once; it becomes neither the base ramp nor part of
// the resolution table.
void LoadGammaFile() {
  GammaRamp *ramp = new (std::nothrow) GammaRamp;
  char path[MAX_PATH] = "";
  if (ramp && ChooseGammaFileToOpen(GetMainWindow(), path, sizeof path) &&
      ramp->LoadFromFile(path)) {
    ApplyAndReport(GetAppState(), *ramp, "読みこんだファイル");
    HoldSchedule(GetAppState());
  }
  delete ramp;
}

// Anything but "適用" takes the preview off the screen again.
void CreateGamma() {
  DialogWindow *dialog = new (std::nothrow) DialogWindow(CreateDialogHandler);
  GammaRamp *ramp = new (std::nothrow) GammaRamp;
  INT_PTR result = 0;
  if (ramp)
    ramp->SetIdentity();
  // The preview is the user's ramp: no scheduled step may replace it.
  HoldSchedule(GetAppState());
  if (dialog && ramp) {
    CreateDialogState state = {ramp, kSliderOne, 0, 0};
    dialog->data = &state;
    result = dialog->ShowModal(IDD_CREATEGAMMA, GetMainWindow());
    dialog->data = nullptr;
  }
  if (result != 1 && ramp) {
    ramp->SetIdentity();
    ramp->Apply();
  }
  delete ramp;
  delete dialog;
}

} // namespace

void RunMenuCommand(int command) {
  AppState &state = GetAppState();
  if (state.commandBusy)
    return;
  state.commandBusy = 1;
  switch (command) {
  case IDM_LOADFILE:
    LoadGammaFile();
    break;
  case IDM_CREATEGAMMA:
    CreateGamma();
    break;
  case IDM_RESIDENTSETTINGS:
    RunResidentSettingsCommand(state);
    break;
  case IDM_MONITORSETTINGS:
    RunMonitorSettingsCommand(state);
    break;
  case IDM_AUTOSTART:
    RunAutostartCommand();
    break;
  case IDM_RESTOREGAMMA:
    if (state.baseRamp)
      ApplyAndReport(state, *state.baseRamp, "既定");
    HoldSchedule(state);
    break;
  case IDM_SCHEDULE:
    ToggleSchedule(state);
    break;
  case IDM_UNLOCKGAMMARANGE:
    UnlockGammaRange();
    break;
  case IDM_EXIT:
    ExitApplication();
    break;
  default:
    break;
  }
  state.commandBusy = 0;
}
