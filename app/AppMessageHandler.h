#ifndef QUILLORA_APP_APPMESSAGEHANDLER_H
#define QUILLORA_APP_APPMESSAGEHANDLER_H

#include <windows.h>

// The resident program's handler, offered every message of the main window
// first. Re-applies the right gamma file after a display change (at once or
// through timer 1), turns hook commands into gamma ramps, and opens the tray
// menu. Setting *handled to non-zero skips the window's default processing;
// only display changes do.
void AppMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       unsigned char *handled);

#endif
