#ifndef QUILLORA_CONFIG_MONITORSETTINGS_H
#define QUILLORA_CONFIG_MONITORSETTINGS_H

#include "gamma/MonitorInfo.h"

#include <windows.h>

// The user's choice for one monitor, as kept under
// HKEY_CURRENT_USER\Software\Tessivo\Quil\Monitors\<key>: "Choice" (a
// REG_DWORD, MonitorChoice), "File" (the path of its own gamma file) and
// "Name" (the monitor's own name when it was chosen, to show it while it is
// not attached).
struct MonitorSetting {
  char key[MonitorInfo::kKeySize];
  char name[MonitorInfo::kNameSize];
  int choice;
  char path[MAX_PATH];
};

// The stored choice for this key; kMonitorFollows when none is stored or
// it cannot be read. For kMonitorOwnFile the path goes into path (pathSize
// bytes); it is empty otherwise.
int LoadMonitorChoice(const char *key, char *path, int pathSize);
// Every monitor with a stored choice, up to max; returns how many. The
// choices are read as LoadMonitorChoice reads them.
int LoadMonitorSettings(MonitorSetting *list, int max);
// Writes the choice, the path and the name. 1 when all of it was written.
int SaveMonitorSetting(const MonitorSetting &setting);

#endif
