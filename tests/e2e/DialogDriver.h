#ifndef QUILLORA_TESTS_E2E_DIALOGDRIVER_H
#define QUILLORA_TESTS_E2E_DIALOGDRIVER_H

#include <windows.h>

#include <initializer_list>
#include <string>

// Drives the dialogs of another process as a user would: the controls are
// set and their parent is sent the notification the control would send.

// A visible dialog box (#32770) of the process with this caption, or null
// after timeoutMs.
HWND WaitForDialog(DWORD processId, const char *caption, unsigned timeoutMs);
// A visible dialog box owned by `owner`, or null after timeoutMs.
HWND WaitForOwnedDialog(HWND owner, unsigned timeoutMs);
bool WaitForWindowGone(HWND window, unsigned timeoutMs);

std::string ItemText(HWND dialog, int controlId);
// Whether the whole dialog and each of the controls lie inside `area`, in
// screen coordinates: none is cut off or hidden beyond it.
bool LiesInside(HWND dialog, const RECT &area, std::initializer_list<int> controlIds);
// A trackbar dragged to `position`: WM_HSCROLL to its parent.
void DragSlider(HWND dialog, int controlId, int position);
// An up-down control clicked to `position`: WM_VSCROLL to its parent.
void ClickSpinner(HWND dialog, int controlId, int position);
// Posted, since a button may open a modal loop of its own.
void ClickButton(HWND dialog, int controlId);
// Types the path into a common open or save dialog and accepts it.
void TypeFileName(HWND fileDialog, const std::string &windowsPath);

#endif
