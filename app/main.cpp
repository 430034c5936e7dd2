// The process-wide objects are built here, before WinMain, in the order the
// program relies on, and destroyed in reverse order after it returns. Every
// process builds them, also one that only applies a file once: the hidden
// main window then exists for a moment.
#include "app/AppStartup.h"
#include "app/AppState.h"
#include "app/InstanceMutex.h"
#include "app/MainWindow.h"
#include "app/ResidentStartup.h"
#include "gamma/GammaRamp.h"
#include "ui/PopupMenu.h"
#include "ui/TrayIcon.h"

#include <new>
#include <windows.h>

// The style resource replaces both values.
static MainWindow mainWindow(WS_POPUP | WS_VISIBLE, WS_EX_APPWINDOW);
static PopupMenu popupMenu;
static TrayIcon trayIcon;
// Released by AppShutdown, not here: a process that never becomes resident
// leaves it to the end of the process.
static GammaRamp *const hotkeyRamp = new (std::nothrow) GammaRamp;
static InstanceMutex instanceMutex("TVZ_QUILLORA_APP_21567890");

static void RunMessageLoop() {
  MSG message;
  // GetMessageA gives -1 on an error; that must end the loop, not spin it.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  AppState &state = GetAppState();
  state.popupMenu = &popupMenu;
  state.trayIcon = &trayIcon;
  state.hotkeyRamp = hotkeyRamp;
  if (!AppStartup(instanceMutex))
    return 0;
  RunMessageLoop();
  AppShutdown();
  return 0;
}
