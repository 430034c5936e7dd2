#ifndef QUILLORA_APP_SCHEDULERUNNER_H
#define QUILLORA_APP_SCHEDULERUNNER_H

#include "config/DaySchedule.h"
#include "gamma/GammaRamp.h"

#include <windows.h>

struct AppState;

// Puts the ramps of the "*time" lines on the screen at their times, fading
// from one to the next. It owns two timers on the main window:
// kScheduleTimer to the next time of the schedule (or to the end of a
// hold), which may be hours away, and kFadeTimer for the steps of a fade,
// which runs only during one. Nothing else runs: no polling.
//
// Every ramp goes the program's common road (ApplyAndReport), so the keeper
// remembers it, a ramp halfway through a fade included. A fade applies a
// step only when it changes some entry by a level, at most once a second
// and at most 256 times (FadeStepMs).
class ScheduleRunner {
public:
  explicit ScheduleRunner(HWND window);
  // Kills its timers; the screen keeps what it shows.
  virtual ~ScheduleRunner();
  ScheduleRunner(const ScheduleRunner &) = delete;
  ScheduleRunner &operator=(const ScheduleRunner &) = delete;

  // Reads the schedule from "quilcfg.txt" in the current folder
  // (ReadSchedule); workRamp is scratch. 1 when it has a time.
  int Load(GammaRamp &workRamp);
  int HasTimes() const { return schedule.Count() > 0; }
  int IsRunning() const { return running; }
  // Runs the schedule from now on: any hold ends, and the ramp in force now
  // goes on the screen, part way when now lies inside a fade. Nothing
  // without times.
  void Start(AppState &state);
  // Stops every change until Start; the screen keeps what it shows.
  void Stop();
  // The user put a ramp of their own on the screen: it stays until the
  // next time of the schedule, from which the schedule fades from it.
  void Hold();
  // kScheduleTimer and kFadeTimer.
  void OnTimer(AppState &state, UINT_PTR timer);
  // Offered WM_POWERBROADCAST, WM_WTSSESSION_CHANGE, WM_TIMECHANGE and
  // WM_SETTINGCHANGE. A suspend stops the timers; a resume, an unlock, a
  // change of the clock or of a setting (the time zone among them) works out
  // what is in force now, puts it on the screen, and sets them again.
  void OnSystemEvent(AppState &state, UINT message, WPARAM wParam);
  // The ramp in force now, for a change to a resolution that no line names,
  // where it takes the place of the default ramp: any hold ends. Null while
  // the schedule does not run.
  const GammaRamp *RampForDisplayChange();

private:
  enum Occasion { kStarting, kAtTime, kFadeStep, kCatchingUp };
  void Update(AppState &state, Occasion occasion);
  void FillInForce(const SchedulePlan &plan, long long nowMs, const std::uint16_t *shownNow);
  void SetTimers(const SchedulePlan &plan);
  void KillTimers();
  const std::uint16_t *Shown(const AppState &state) const;

  HWND window;
  DaySchedule schedule;
  int running;
  // Local time, counted from a fixed day, at which a hold ends; 0 without
  // one.
  long long holdUntilMs;
  // Local time at which the fade in progress started, -1 without one, and
  // the ramp it comes from.
  long long fadeStartMs;
  GammaRamp fadeFrom;
  // The ramp in force, as last worked out.
  GammaRamp inForce;
  // The ramp the schedule applied last, while no one else applied one: what
  // the screen shows when no keeper remembers it.
  GammaRamp applied;
  int appliedValid;
  // Ramps the schedule applied in this run, kept on the window for other
  // processes to read.
  int applies;
};

// The ramp a change to a resolution without a line of its own gets: the
// schedule's ramp in force while it runs, else the base ramp. Null without
// either.
const GammaRamp *RampForUnlistedResolution(AppState &state);
// Hold, when a schedule runs.
void HoldSchedule(AppState &state);
// The menu entry: stops a running schedule, starts a stopped one, and sets
// the entry's check mark (and greys it out when there are no times).
void ToggleSchedule(AppState &state);
void ShowScheduleEntry(AppState &state);

#endif
