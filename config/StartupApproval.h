#ifndef QUILLORA_CONFIG_STARTUPAPPROVAL_H
#define QUILLORA_CONFIG_STARTUPAPPROVAL_H

// Windows' own switch for an item of the user's Startup folder. Since
// Windows 8, Task Manager's Startup tab and Settings turn such an item off
// without deleting it: they write a binary value named after the item's file
// under the user's key ...\Explorer\StartupApproved\StartupFolder, whose
// first byte is odd while the item is off (03, 07) and even while it is on
// (02, 06). No value means on. The value is not documented, so it is only
// read, and deleted when it says off; it is never written.

// 1 when the item (a file name such as "Quillora.lnk") is switched off
// there; 0 when it is on, has no value, or its value is empty or longer
// than 64 bytes.
int StartupItemSwitchedOff(const char *item);

// Deletes the item's value when it says off and leaves any other. 1 when the
// item is not switched off afterwards; 0 when the value could not be deleted.
int SwitchStartupItemOn(const char *item);

#endif
