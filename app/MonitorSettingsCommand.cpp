#include "app/MonitorSettingsCommand.h"

#include "app/GammaKeeper.h"
#include "app/MainWindow.h"
#include "app/RampRefusal.h"
#include "config/MonitorSettings.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"
#include "ui/DialogWindow.h"
#include "ui/MonitorDialog.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// The attached monitors (at most MonitorPlan's 16) and as many remembered.
const int kMaxEntries = 32;

const char *WindowsNumber(const MonitorInfo &monitor) {
  const char *number = monitor.device + std::strlen(monitor.device);
  while (number > monitor.device && number[-1] >= '0' && number[-1] <= '9')
    --number;
  return number;
}

int AddAttached(MonitorDialogEntry *entries) {
  int count = PlannedMonitorCount();
  for (int i = 0; i < count; ++i) {
    const MonitorInfo &monitor = PlannedMonitor(i);
    MonitorSetting &setting = entries[i].setting;
    lstrcpynA(setting.key, monitor.key, sizeof setting.key);
    lstrcpynA(setting.name, monitor.friendlyName, sizeof setting.name);
    setting.choice = LoadMonitorChoice(monitor.key, setting.path, sizeof setting.path);
    std::snprintf(entries[i].line, sizeof entries[i].line, "%s (%s)  %dx%d%s%s",
                  monitor.friendlyName, WindowsNumber(monitor), monitor.width, monitor.height,
                  monitor.primary ? "  主" : "", monitor.hdr ? "  HDR表示中" : "");
  }
  return count;
}

int IsListed(const MonitorDialogEntry *entries, int count, const char *key) {
  for (int i = 0; i < count; ++i)
    if (lstrcmpiA(entries[i].setting.key, key) == 0)
      return 1;
  return 0;
}

// Monitors with a stored choice that are not attached now: their choice
// waits for them, and can be changed meanwhile.
int AddRemembered(MonitorDialogEntry *entries, int count) {
  MonitorSetting *remembered = new (std::nothrow) MonitorSetting[kMaxEntries];
  int found = remembered ? LoadMonitorSettings(remembered, kMaxEntries) : 0;
  for (int i = 0; i < found && count < kMaxEntries; ++i) {
    if (IsListed(entries, count, remembered[i].key))
      continue;
    entries[count].setting = remembered[i];
    std::snprintf(entries[count].line, sizeof entries[count].line, "%s  (未接続)",
                  remembered[i].name[0] ? remembered[i].name : remembered[i].key);
    ++count;
  }
  delete[] remembered;
  return count;
}

int StoreChanged(const MonitorDialogData &data) {
  int stored = 1;
  for (int i = 0; i < data.count; ++i)
    if (data.entries[i].changed)
      stored &= SaveMonitorSetting(data.entries[i].setting);
  return stored;
}

} // namespace

void RunMonitorSettingsCommand(AppState &state) {
  std::unique_ptr<MonitorDialogEntry[]> entries(new (std::nothrow)
                                                    MonitorDialogEntry[kMaxEntries]());
  std::unique_ptr<DialogWindow> dialog(new (std::nothrow) DialogWindow(MonitorDialogHandler));
  if (!entries || !dialog)
    return;
  MonitorDialogData data = {entries.get(), 0};
  data.count = AddRemembered(entries.get(), AddAttached(entries.get()));
  dialog->data = &data;
  if (dialog->ShowModal(IDD_MONITORSETTINGS, GetMainWindow()) != 1)
    return;
  if (!StoreChanged(data)) {
    MessageBoxA(nullptr, "モニターごとの設定をレジストリに保存できませんでした。", "main", MB_OK);
    return;
  }
  // The plan is made again with the new choices: a monitor given a file of
  // its own takes it, one given back to the common ramp takes the ramp in
  // force, one left out keeps what it shows.
  ForgetDisplayDevices();
  if (state.gammaKeeper)
    state.gammaKeeper->PutRampsBack();
  else
    ApplyOwnRampsAndReport(state);
}
