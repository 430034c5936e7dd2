#ifndef QUILLORA_APP_MENUCOMMANDS_H
#define QUILLORA_APP_MENUCOMMANDS_H

// Runs one command of the tray menu; 0 (a dismissed menu) and unknown
// identifiers do nothing. One command runs at a time: a command that arrives
// while another runs is dropped.
void RunMenuCommand(int command);

#endif
