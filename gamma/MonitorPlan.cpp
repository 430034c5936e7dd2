#include "gamma/MonitorPlan.h"

#include "gamma/DisplayDevices.h"

#include <new>

namespace {

MonitorChoiceSource choiceSource = nullptr;
void *choiceContext = nullptr;

} // namespace

void SetMonitorChoiceSource(MonitorChoiceSource source, void *context) {
  choiceSource = source;
  choiceContext = context;
}

MonitorPlan::MonitorPlan() : monitors(), count(0), made(0) {}

MonitorPlan::~MonitorPlan() {
  Release();
}

void MonitorPlan::Release() {
  for (int i = 0; i < count; ++i) {
    if (monitors[i].dc)
      DeleteDC(monitors[i].dc);
    monitors[i].dc = nullptr;
    delete monitors[i].ownRamp;
    monitors[i].ownRamp = nullptr;
  }
  count = 0;
}

void MonitorPlan::Forget() {
  Release();
  made = 0;
}

void MonitorPlan::MakeIfForgotten() {
  if (made)
    return;
  Release();
  if (!monitors)
    monitors = new (std::nothrow) Planned[kMaxMonitors];
  MonitorInfo listed[kMaxMonitors];
  count = monitors ? ListMonitors(listed, kMaxMonitors) : 0;
  for (int i = 0; i < count; ++i) {
    monitors[i].info = listed[i];
    Plan(monitors[i]);
  }
  made = 1;
}

// Gamma support and HDR go before the user's choice: neither monitor can
// show a ramp as it was meant. A file of its own that no longer loads
// leaves the monitor alone rather than giving it the ramp the user chose
// to keep off it.
void MonitorPlan::Plan(Planned &monitor) {
  monitor.dc = OpenMonitorDC(monitor.info.device);
  monitor.ownRamp = nullptr;
  if (!monitor.dc || !MonitorTakesRamps(monitor.dc)) {
    monitor.state = MonitorPlanState::kNoGammaSupport;
    return;
  }
  if (monitor.info.hdr) {
    monitor.state = MonitorPlanState::kSpared;
    return;
  }
  char path[MAX_PATH] = "";
  int choice = choiceSource ? choiceSource(choiceContext, monitor.info.key, path, sizeof path) : 0;
  if (choice == kMonitorOwnFile) {
    monitor.ownRamp = new (std::nothrow) GammaRamp;
    if (monitor.ownRamp && monitor.ownRamp->LoadFromFile(path)) {
      monitor.state = MonitorPlanState::kOwnFile;
      return;
    }
    delete monitor.ownRamp;
    monitor.ownRamp = nullptr;
    monitor.state = MonitorPlanState::kLeftOut;
    return;
  }
  // A value this program never writes counts as the default.
  monitor.state =
      choice == kMonitorLeftOut ? MonitorPlanState::kLeftOut : MonitorPlanState::kFollows;
}

int MonitorPlan::RenewContext(int index) {
  HDC fresh = OpenMonitorDC(monitors[index].info.device);
  if (!fresh)
    return 0;
  if (monitors[index].dc)
    DeleteDC(monitors[index].dc);
  monitors[index].dc = fresh;
  return 1;
}
