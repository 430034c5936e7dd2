#ifndef QUILLORA_APP_APPMESSAGES_H
#define QUILLORA_APP_APPMESSAGES_H

// The messages and timers of the resident program's main window, in one
// place for the program and the tests that talk to it.

#include "hook/HookCommands.h"

#include <windows.h>

// The tray icon's callback: wParam is the icon's identifier, lParam the
// mouse message.
const UINT WM_TRAYNOTIFY = WM_USER + 1;

// Another program's window came to the foreground, or the desktop switched
// (wParam: EVENT_SYSTEM_FOREGROUND or EVENT_SYSTEM_DESKTOPSWITCH); posted by
// the keeper's event hooks.
const UINT WM_WINEVENTNOTICE = WM_USER + 2;

// Fires when a per-resolution ramp's apply delay is over.
const UINT_PTR kPendingRampTimer = 1;

// Fires once the system has settled after an event that may have reset the
// display's ramp (resume, unlock, display on, a change of resolution or
// settings or devices, another window in front); runs only after such
// events.
const UINT_PTR kKeepGammaTimer = 2;

// Tries the tray icon again while the shell refuses it (a shell that starts
// late at sign-in); runs only until the icon is shown.
const UINT_PTR kTrayIconRetryTimer = 3;

// Fires at the next time of the schedule ("*time" lines), which may be hours
// away, or when a ramp the user chose stops holding.
const UINT_PTR kScheduleTimer = 4;

// Fires for the next step of a fade between two scheduled ramps; runs only
// while a fade does.
const UINT_PTR kFadeTimer = 5;

// dwData of the WM_COPYDATA by which a one-shot run tells the resident
// program which ramp it applied; the data is the ramp's 768 entries.
const ULONG_PTR kAppliedRampNotice = 0x51524D50;

#endif
