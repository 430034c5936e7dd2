#include "config/StartupApproval.h"

#include "config/RegistryKey.h"

namespace {

const char kStartupFolderKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// Windows writes 12 bytes, the switch and the time it was last turned off.
// An empty value says nothing, and nothing is the default: on.
int SaysOff(RegistryKey &key, const char *item) {
  unsigned char first = 0;
  DWORD size = 0;
  return key.GetBytes(item, &first, sizeof first, &size) == 0 && size > 0 && (first & 1);
}

} // namespace

int StartupItemSwitchedOff(const char *item) {
  RegistryKey key;
  return key.Open(kStartupFolderKey, HKEY_CURRENT_USER) && SaysOff(key, item);
}

int SwitchStartupItemOn(const char *item) {
  if (!StartupItemSwitchedOff(item))
    return 1;
  RegistryKey key;
  return key.OpenToChange(kStartupFolderKey, HKEY_CURRENT_USER) &&
         (!SaysOff(key, item) || key.DeleteValue(item));
}
