#include "app/AppStartup.h"

#include "app/AppliedRampNotice.h"
#include "app/CommandLine.h"
#include "app/InstanceMutex.h"
#include "app/ResidentStartup.h"
#include "config/MonitorSettings.h"
#include "gamma/GammaRamp.h"

#include <cstring>
#include <memory>
#include <new>
#include <windows.h>

namespace {

int StoredMonitorChoice(void *, const char *key, char *path, int pathSize) {
  return LoadMonitorChoice(key, path, pathSize);
}

} // namespace

void ApplyFileOnce(const char *argumentText) {
  std::unique_ptr<char[]> text(new (std::nothrow) char[std::strlen(argumentText) + 1]);
  std::unique_ptr<GammaRamp> workRamp(new (std::nothrow) GammaRamp);
  if (!text || !workRamp)
    return;
  std::strcpy(text.get(), argumentText);
  const char *path = FindApplyPath(text.get());
  if (path && workRamp->LoadFromFile(path) && workRamp->Apply())
    TellResidentOfAppliedRamp(*workRamp);
}

int AppStartup(const InstanceMutex &instanceMutex) {
  // Every road, the one-shot one too, leaves alone the monitors the user
  // kept from the common ramp.
  SetMonitorChoiceSource(StoredMonitorChoice, nullptr);
  const char *argumentText = FindArgumentText(GetCommandLineA());
  if (argumentText) {
    ApplyFileOnce(argumentText);
    return 0;
  }
  if (instanceMutex.Existed())
    return 0;
  return StartResident();
}
