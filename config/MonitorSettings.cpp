#include "config/MonitorSettings.h"

#include "config/RegistryKey.h"

#include <cstdio>

namespace {

const char kMonitorsKey[] = "Software\\Tessivo\\Quil\\Monitors";

struct MonitorKeyPath {
  char text[sizeof kMonitorsKey + MonitorInfo::kKeySize + 1];
  explicit MonitorKeyPath(const char *key) {
    std::snprintf(text, sizeof text, "%s\\%s", kMonitorsKey, key);
  }
};

// Reads a string value whole; empty when it is missing or does not fit.
void ReadText(RegistryKey &key, const char *name, char *text, int size) {
  DWORD length = static_cast<DWORD>(size - 1);
  if (key.GetBytes(name, reinterpret_cast<unsigned char *>(text), &length) != 0)
    length = 0;
  text[length] = '\0';
}

int ReadChoice(RegistryKey &key, char *path, int pathSize) {
  int choice = kMonitorFollows;
  key.GetDword("Choice", &choice, kMonitorFollows);
  if (choice != kMonitorOwnFile && choice != kMonitorLeftOut)
    choice = kMonitorFollows;
  path[0] = '\0';
  if (choice == kMonitorOwnFile)
    ReadText(key, "File", path, pathSize);
  return choice;
}

} // namespace

int LoadMonitorChoice(const char *key, char *path, int pathSize) {
  RegistryKey monitor;
  path[0] = '\0';
  if (!monitor.Open(MonitorKeyPath(key).text, HKEY_CURRENT_USER))
    return kMonitorFollows;
  return ReadChoice(monitor, path, pathSize);
}

int LoadMonitorSettings(MonitorSetting *list, int max) {
  RegistryKey monitors;
  if (!monitors.OpenToList(kMonitorsKey, HKEY_CURRENT_USER))
    return 0;
  int count = 0;
  for (DWORD index = 0;
       count < max && monitors.SubKeyName(index, list[count].key, sizeof list[count].key);
       ++index) {
    MonitorSetting &setting = list[count];
    RegistryKey monitor;
    if (!monitor.Open(MonitorKeyPath(setting.key).text, HKEY_CURRENT_USER))
      continue;
    setting.choice = ReadChoice(monitor, setting.path, sizeof setting.path);
    ReadText(monitor, "Name", setting.name, sizeof setting.name);
    ++count;
  }
  return count;
}

int SaveMonitorSetting(const MonitorSetting &setting) {
  RegistryKey monitor;
  if (!monitor.Create(MonitorKeyPath(setting.key).text, HKEY_CURRENT_USER))
    return 0;
  int written = monitor.SetDword("Choice", setting.choice);
  written &= monitor.SetString("File", setting.choice == kMonitorOwnFile ? setting.path : "");
  written &= monitor.SetString("Name", setting.name);
  return written;
}
