#include "config/StartupApproval.h"

#include "config/RegistryKey.h"

namespace {

const char kStartupFolderKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

} // namespace

// Windows writes 12 bytes, the switch and the time it was last turned off.
// An empty value says nothing, and nothing is the default: on. So is a
// value far longer than Windows' own, which is left alone.
int StartupItemSwitchedOff(const char *item) {
  RegistryKey key;
  unsigned char data[64];
  DWORD size = sizeof data;
  return key.Open(kStartupFolderKey, HKEY_CURRENT_USER) && key.GetBytes(item, data, &size) == 0 &&
         size > 0 && (data[0] & 1);
}

int SwitchStartupItemOn(const char *item) {
  if (!StartupItemSwitchedOff(item))
    return 1;
  RegistryKey key;
  return key.OpenToChange(kStartupFolderKey, HKEY_CURRENT_USER) && key.DeleteValue(item);
}
