#ifndef QUILLORA_GAMMA_MONITORPLAN_H
#define QUILLORA_GAMMA_MONITORPLAN_H

#include "gamma/GammaRamp.h"
#include "gamma/MonitorInfo.h"

#include <windows.h>

// What every apply does with each monitor of the desktop, made when the
// devices are listed: its description, its plan (MonitorPlanState), the
// device context the ramps go through and, for a monitor with a file of its
// own, that file's ramp. Keeping the contexts saves making and deleting one
// per monitor on every ramp, which under Wine costs three to five times the
// ramp itself.
//
// It owns the contexts and the ramps of its monitors, and releases them
// when it is made again, forgotten or destroyed.
class MonitorPlan {
public:
  static const int kMaxMonitors = 16;

  MonitorPlan();
  virtual ~MonitorPlan();
  MonitorPlan(const MonitorPlan &) = delete;
  MonitorPlan &operator=(const MonitorPlan &) = delete;

  // Lists the monitors and plans each one, unless that was done since the
  // last Forget. Without memory for the plan no monitor is listed. Each monitor's choice comes from
  // the source installed with SetMonitorChoiceSource (none: every monitor follows).
  void MakeIfForgotten();
  // Releases everything; the next MakeIfForgotten lists the monitors again.
  void Forget();

  int Count() const { return count; }
  // Index 0 to Count() - 1.
  const MonitorInfo &Info(int index) const { return monitors[index].info; }
  MonitorPlanState State(int index) const { return monitors[index].state; }
  // Null only for a monitor without gamma support whose DC could not be made.
  HDC Context(int index) const { return monitors[index].dc; }
  // The ramp of a monitor with a file of its own; null for any other.
  const GammaRamp *OwnRamp(int index) const { return monitors[index].ownRamp; }
  // Makes the monitor's DC again, for a kept one that may have gone stale.
  // 1 when a new one was made; 0 leaves the old one.
  int RenewContext(int index);

private:
  struct Planned {
    MonitorInfo info;
    MonitorPlanState state;
    HDC dc;
    GammaRamp *ownRamp;
  };
  void Plan(Planned &monitor);
  void Release();

  // Made at the first listing: held inline, the array would take its whole
  // size in the program file, where the toolchain puts zeroed objects.
  Planned *monitors;
  int count;
  int made;
};

#endif
