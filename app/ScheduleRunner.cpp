#include "app/ScheduleRunner.h"

#include "app/AppState.h"
#include "app/GammaKeeper.h"
#include "app/RampRefusal.h"
#include "config/ResolutionTable.h"
#include "config/ScheduleFile.h"
#include "gamma/RampBlend.h"
#include "res/resource.h"
#include "ui/PopupMenu.h"

#include <algorithm>

namespace {

const char kConfigFileName[] = "quilcfg.txt";
const char kWhat[] = "時刻で切り替え";
// Read by other processes: the tests and the bench count the ramps a fade
// applied, which the display alone cannot tell from steps it skipped.
const char kAppliesProperty[] = "QuilloraScheduleApplies";

// The wall clock as the "*time" lines mean it, local time: the millisecond
// of the day for the schedule, and the same moment counted from a fixed day
// (from the civil date, in int arithmetic) to tell the times and holds of
// one day from another's.
struct LocalNow {
  int msOfDay;
  long long ms;
};

LocalNow ReadLocalNow() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  int msOfDay =
      ((local.wHour * 60 + local.wMinute) * 60 + local.wSecond) * 1000 + local.wMilliseconds;
  // Days since 1 March of year 0: with March first, a leap day ends a year.
  int year = local.wYear - (local.wMonth <= 2);
  int monthFromMarch = (local.wMonth + 9) % 12;
  int days = year * 365 + year / 4 - year / 100 + year / 400 + (153 * monthFromMarch + 2) / 5 +
             local.wDay - 1;
  return {msOfDay, static_cast<long long>(days) * kDayMs + msOfDay};
}

// Plans never ask for more than a day, well inside what SetTimer takes.
UINT TimerDelay(int milliseconds) {
  return static_cast<UINT>(std::max(milliseconds, static_cast<int>(USER_TIMER_MINIMUM)));
}

// A resolution with a line of its own keeps that line's ramp, as it keeps
// it against the default ramp.
int ScreenHasOwnLine(const AppState &state) {
  return NamesResolution(state.resolutionTable, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN));
}

} // namespace

ScheduleRunner::ScheduleRunner(HWND mainWindow)
    : window(mainWindow), schedule(), running(0), holdUntilMs(0), fadeStartMs(-1), fadeFrom(),
      inForce(), applied(), appliedValid(0), applies(0) {}

ScheduleRunner::~ScheduleRunner() {
  KillTimers();
  RemovePropA(window, kAppliesProperty);
}

int ScheduleRunner::Load(GammaRamp &workRamp) {
  return ReadSchedule(kConfigFileName, schedule, workRamp) > 0;
}

void ScheduleRunner::Start(AppState &state) {
  running = 1;
  holdUntilMs = 0;
  Update(state, kStarting);
}

void ScheduleRunner::Stop() {
  running = 0;
  holdUntilMs = 0;
  fadeStartMs = -1;
  KillTimers();
}

void ScheduleRunner::Hold() {
  appliedValid = 0;
  if (!running || !HasTimes())
    return;
  LocalNow now = ReadLocalNow();
  SchedulePlan plan = PlanSchedule(schedule, now.msOfDay);
  holdUntilMs = now.ms + plan.untilNextMs;
  KillTimers();
  SetTimer(window, kScheduleTimer, TimerDelay(plan.untilNextMs), nullptr);
}

void ScheduleRunner::OnTimer(AppState &state, UINT_PTR timer) {
  Update(state, timer == kScheduleTimer ? kAtTime : kFadeStep);
}

void ScheduleRunner::OnSystemEvent(AppState &state, UINT message, WPARAM wParam) {
  switch (message) {
  case WM_POWERBROADCAST:
    // Asleep, no timer should count; awake, the clock says where the day
    // stands, whatever the timers did meanwhile.
    if (wParam == PBT_APMSUSPEND)
      KillTimers();
    else if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
      Update(state, kCatchingUp);
    break;
  case WM_WTSSESSION_CHANGE:
    if (wParam == WTS_SESSION_UNLOCK)
      Update(state, kCatchingUp);
    break;
  case WM_TIMECHANGE:
  case WM_SETTINGCHANGE:
    Update(state, kCatchingUp);
    break;
  default:
    break;
  }
}

const GammaRamp *ScheduleRunner::RampForDisplayChange() {
  if (!running || !HasTimes())
    return nullptr;
  holdUntilMs = 0;
  LocalNow now = ReadLocalNow();
  SchedulePlan plan = PlanSchedule(schedule, now.msOfDay);
  FillInForce(plan, now.ms, nullptr);
  SetTimers(plan);
  return &inForce;
}

// Works out the ramp in force now and puts it on the screen when the screen
// shows another; at a time, the fade starts from what the screen shows.
void ScheduleRunner::Update(AppState &state, Occasion occasion) {
  KillTimers();
  if (!running || !HasTimes())
    return;
  LocalNow now = ReadLocalNow();
  if (holdUntilMs > now.ms) {
    SetTimer(window, kScheduleTimer, TimerDelay(static_cast<int>(holdUntilMs - now.ms)), nullptr);
    return;
  }
  holdUntilMs = 0;
  SchedulePlan plan = PlanSchedule(schedule, now.msOfDay);
  // A fade already running takes its steps from its own timer only, so that
  // a burst of events applies nothing more than once a second.
  int fadeGoesOn = IsFading(schedule, plan) && now.ms - plan.sinceMs == fadeStartMs;
  const std::uint16_t *shown = Shown(state);
  FillInForce(plan, now.ms, occasion == kAtTime ? shown : nullptr);
  int mayApply = (occasion == kStarting || !ScreenHasOwnLine(state)) &&
                 !(occasion == kCatchingUp && fadeGoesOn);
  if (mayApply && (!shown || RampLevelsDiffer(inForce.Entries(), shown))) {
    ApplyAndReport(state, inForce, kWhat);
    std::copy(inForce.Entries(), inForce.Entries() + GammaRamp::kEntryCount, applied.Entries());
    appliedValid = 1;
    ++applies;
    SetPropA(window, kAppliesProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(applies)));
  }
  SetTimers(plan);
}

// A fade met part way (at start, after a wake) comes from the ramp of the
// time before; one that starts at its time, from what is shown then.
void ScheduleRunner::FillInForce(const SchedulePlan &plan, long long nowMs,
                                 const std::uint16_t *shownNow) {
  const std::uint16_t *target = schedule.At(plan.current).entries;
  if (!IsFading(schedule, plan)) {
    fadeStartMs = -1;
    std::copy(target, target + GammaRamp::kEntryCount, inForce.Entries());
    return;
  }
  long long start = nowMs - plan.sinceMs;
  if (start != fadeStartMs) {
    fadeStartMs = start;
    const std::uint16_t *from = shownNow ? shownNow : schedule.At(plan.previous).entries;
    std::copy(from, from + GammaRamp::kEntryCount, fadeFrom.Entries());
  }
  BlendRamps(fadeFrom.Entries(), target, plan.sinceMs, schedule.FadeMs(), inForce.Entries());
}

void ScheduleRunner::SetTimers(const SchedulePlan &plan) {
  SetTimer(window, kScheduleTimer, TimerDelay(plan.untilNextMs), nullptr);
  if (IsFading(schedule, plan))
    SetTimer(window, kFadeTimer, TimerDelay(UntilNextFadeStepMs(schedule.FadeMs(), plan.sinceMs)),
             nullptr);
}

void ScheduleRunner::KillTimers() {
  KillTimer(window, kScheduleTimer);
  KillTimer(window, kFadeTimer);
}

// The keeper remembers every ramp the display took, whoever applied it.
const std::uint16_t *ScheduleRunner::Shown(const AppState &state) const {
  if (state.gammaKeeper && state.gammaKeeper->HoldsRamp())
    return state.gammaKeeper->RampInForce();
  return appliedValid ? applied.Entries() : nullptr;
}

const GammaRamp *RampForUnlistedResolution(AppState &state) {
  const GammaRamp *scheduled = state.schedule ? state.schedule->RampForDisplayChange() : nullptr;
  return scheduled ? scheduled : state.baseRamp;
}

void HoldSchedule(AppState &state) {
  if (state.schedule)
    state.schedule->Hold();
}

void ToggleSchedule(AppState &state) {
  if (!state.schedule || !state.schedule->HasTimes())
    return;
  if (state.schedule->IsRunning())
    state.schedule->Stop();
  else
    state.schedule->Start(state);
  ShowScheduleEntry(state);
}

void ShowScheduleEntry(AppState &state) {
  if (!state.popupMenu)
    return;
  int hasTimes = state.schedule && state.schedule->HasTimes();
  state.popupMenu->SetEnabled(IDM_SCHEDULE, hasTimes);
  state.popupMenu->SetCheck(IDM_SCHEDULE, hasTimes && state.schedule->IsRunning());
}
