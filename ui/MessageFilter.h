#ifndef QUILLORA_UI_MESSAGEFILTER_H
#define QUILLORA_UI_MESSAGEFILTER_H

#include <windows.h>

// Since Vista, Windows drops most messages that a process sends to a process
// of higher integrity (the user interface privilege isolation). A program
// started as administrator would then never hear a one-shot run's
// WM_COPYDATA from a normal prompt, nor the shell's TaskbarCreated.

// The filter's functions in user32, looked up at run time: the form for one
// window exists from Windows 7, the form for the whole process from Vista,
// and XP has neither (nor any filter). Null for a function the system lacks.
// In a file of its own, so that a test can link its own in its place.
typedef BOOL(WINAPI *WindowMessageFilter)(HWND window, UINT message, DWORD action, void *status);
typedef BOOL(WINAPI *ProcessMessageFilter)(UINT message, DWORD flag);
struct MessageFilterFunctions {
  WindowMessageFilter forWindow;   // ChangeWindowMessageFilterEx
  ProcessMessageFilter forProcess; // ChangeWindowMessageFilter
};
MessageFilterFunctions FindMessageFilterFunctions();

// The values of the filter calls; the program is built for systems older
// than the filter, so they are its own.
const DWORD kMessageFilterAllow = 1; // MSGFLT_ALLOW, for one window
const DWORD kMessageFilterAdd = 1;   // MSGFLT_ADD, for the whole process

// Lets `message` reach `window` from processes of lower integrity. Where
// Windows can (7 on) only this window is opened; on Vista the message is let
// through to every window of the process. 1 when the message now passes,
// also on a system without a filter; 0 when the system refused.
int AllowThroughMessageFilter(HWND window, UINT message);

#endif
