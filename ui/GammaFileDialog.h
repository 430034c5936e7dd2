#ifndef QUILLORA_UI_GAMMAFILEDIALOG_H
#define QUILLORA_UI_GAMMAFILEDIALOG_H

#include <windows.h>

// The system's file dialogs for gamma files: the one filter
// "quillora file(*.qlr)", the default extension "qlr", the current folder
// left as it was. path is a buffer of pathSize bytes holding the starting
// name (usually empty) and receives the chosen one. 1 when the user chose a
// name; 0 when the dialog was cancelled or failed, path then meaning nothing.
// A failure (a path longer than the buffer, a dialog that could not be
// shown) is told to the user in a message box owned by `owner`; a cancel
// is silent.

// Only an existing file in an existing folder is taken.
int ChooseGammaFileToOpen(HWND owner, char *path, DWORD pathSize);
// Asks before replacing a file and before creating a new one.
int ChooseGammaFileToSave(HWND owner, char *path, DWORD pathSize);

#endif
