#ifndef QUILLORA_APP_TRAYPRESENCE_H
#define QUILLORA_APP_TRAYPRESENCE_H

#include "app/AppState.h"

#include <windows.h>

// The resident program's icon is its only door: without it there is no menu
// and no way to end it. So it is kept in the tray. When Explorer restarts (a
// crash, an update) the shell forgets every icon and broadcasts
// "TaskbarCreated"; the icon is then added again. At sign-in the shell may
// not be ready yet; while it refuses the icon, a timer tries again.

// Loads the icon at the small size, lets the shell's TaskbarCreated through
// the message filter of an elevated program, and adds the icon to the tray
// for `window`.
void ShowInTray(AppState &state, HWND window);

// Adds the icon with its tip, again if it is shown. When the shell refuses
// it, kTrayIconRetryTimer starts, and RetryTrayIcon follows. 1 when the
// shell took the icon.
int AddTrayIcon(AppState &state, HWND window);

// The retry timer's message: adds the icon, or finds it shown after all,
// and stops the timer once the icon is shown. 1 then.
int RetryTrayIcon(AppState &state, HWND window);

// 1 when `message` is the shell's TaskbarCreated (never for 0).
int IsTaskbarCreated(const AppState &state, UINT message);

#endif
