#include "app/TrayPresence.h"

#include "app/AppMessages.h"
#include "res/resource.h"
#include "ui/MessageFilter.h"
#include "ui/TrayIcon.h"

namespace {

const char kTip[] = "QUILLORA";
// A shell that starts late is usually there within seconds; one try every
// two seconds costs nothing while it is not.
const UINT kRetryDelayMs = 2000;

} // namespace

void ShowInTray(AppState &state, HWND window) {
  if (!state.trayIconImage)
    state.trayIconImage = LoadSmallIcon(GetModuleHandleA(nullptr), IDI_TRAYICON);
  // The shell runs at medium integrity; a program started as administrator
  // would not hear it otherwise.
  state.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (state.taskbarCreated)
    AllowThroughMessageFilter(window, state.taskbarCreated);
  AddTrayIcon(state, window);
}

int AddTrayIcon(AppState &state, HWND window) {
  if (!state.trayIcon)
    return 0;
  int shown = state.trayIcon->Add(window, state.trayIconImage, WM_TRAYNOTIFY, kTip, 0);
  if (shown)
    KillTimer(window, kTrayIconRetryTimer);
  else
    SetTimer(window, kTrayIconRetryTimer, kRetryDelayMs, nullptr);
  return shown;
}

// A shell too busy to answer an Add in time may still take the icon once it
// gets to it; by the next try it shows, and adding it again would fail for
// ever.
int RetryTrayIcon(AppState &state, HWND window) {
  if (state.trayIcon && state.trayIcon->AdoptIfShown()) {
    KillTimer(window, kTrayIconRetryTimer);
    return 1;
  }
  return AddTrayIcon(state, window);
}

int IsTaskbarCreated(const AppState &state, UINT message) {
  return state.taskbarCreated != 0 && message == state.taskbarCreated;
}
