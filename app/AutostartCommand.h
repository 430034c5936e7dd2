#ifndef QUILLORA_APP_AUTOSTARTCOMMAND_H
#define QUILLORA_APP_AUTOSTARTCOMMAND_H

// Whether the program starts with Windows: 1 when the user's Startup folder
// holds the program's shortcut to this very program file, and Windows' own
// switch for it (Task Manager's Startup tab) does not say off.
int StartsWithWindows();

// The menu entry "Windowsと同時に起動": writes the shortcut when the program
// does not start with Windows (a shortcut to another copy is replaced) and
// deletes Windows' switch for it when that says off; deletes the shortcut
// when it does. A failure is shown in a message box that says
// why.
void RunAutostartCommand();

#endif
