#ifndef QUILLORA_APP_ELEVATEDPROCESS_H
#define QUILLORA_APP_ELEVATEDPROCESS_H

#include <windows.h>

// Starts the program with administrator rights (Windows asks the user, over
// `owner`), waits for it to end and returns 1 with its exit code in
// *exitCode. Returns 0 when it did not start, with the error in *error
// (ERROR_CANCELLED: refused at the prompt). program is a full path: the
// search for an unqualified name may find a file of that name in the
// program's or the working folder before the system's.
//
// It has a file of its own so that a test can link another definition in
// its place: Wine asks nothing before an elevated start and runs the
// system's program for an unqualified name, so only a stand-in here shows
// which program and arguments Windows would be asked to run.
int RunElevated(HWND owner, const char *program, const char *parameters, DWORD *exitCode,
                DWORD *error);

#endif
