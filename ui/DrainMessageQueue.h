#ifndef QUILLORA_UI_DRAINMESSAGEQUEUE_H
#define QUILLORA_UI_DRAINMESSAGEQUEUE_H

#include <windows.h>

// Removes and dispatches every message queued for the window (null: for the
// whole thread), including those that handlers post meanwhile. The handlers
// run inside this call. A WM_QUIT removed on the way is posted again, with
// exit code 0, once the queue is empty, so that the message loop still ends.
// Returns 1 when it did so, that is the program is quitting, else 0.
int DrainMessageQueue(HWND window);

#endif
