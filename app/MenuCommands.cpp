#include "app/MenuCommands.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/ResidentSettingsCommand.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"

void RunMenuCommand(int command) {
  AppState &state = GetAppState();
  if (state.commandBusy)
    return;
  state.commandBusy = 1;
  switch (command) {
  case IDM_RESIDENTSETTINGS:
    RunResidentSettingsCommand(state);
    break;
  case IDM_RESTOREGAMMA:
    if (state.baseRamp)
      state.baseRamp->Apply();
    break;
  case IDM_EXIT:
    ExitApplication();
    break;
  default:
    break;
  }
  state.commandBusy = 0;
}
