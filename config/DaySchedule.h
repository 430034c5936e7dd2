#ifndef QUILLORA_CONFIG_DAYSCHEDULE_H
#define QUILLORA_CONFIG_DAYSCHEDULE_H

#include "gamma/GammaRamp.h"

#include <cstdint>

// The ramps of the "*time" lines, in the order of the day, and the length
// of the fade from one to the next. Times are local wall-clock times, in
// milliseconds since midnight: a day fits an int, so the arithmetic here
// needs no 64-bit division (which the 32-bit program would link as library
// code of its own).
const int kDayMs = 24 * 60 * 60 * 1000;
// Without a "*fade" line.
const int kDefaultFadeMs = 20 * 60 * 1000;

struct ScheduledRamp {
  int secondOfDay;
  std::uint16_t entries[GammaRamp::kEntryCount];
};

class DaySchedule {
public:
  // Empty, with the default fade.
  DaySchedule();
  virtual ~DaySchedule();
  DaySchedule(const DaySchedule &) = delete;
  DaySchedule &operator=(const DaySchedule &) = delete;

  // Puts a ramp in force from secondOfDay (0 to 86399) on, in the order of
  // the day; a ramp at a time already listed replaces it, so the later line
  // wins. 0 when no memory is left or the time is outside the day: the
  // schedule stays as it was.
  int Add(int secondOfDay, const std::uint16_t *entries);
  int Count() const { return count; }
  // index 0 to Count() - 1, earliest time first.
  const ScheduledRamp &At(int index) const { return ramps[index]; }
  // Empties the list and sets the default fade again.
  void Clear();
  void SetFadeMs(int milliseconds) { fadeMs = milliseconds; }
  int FadeMs() const { return fadeMs; }

private:
  ScheduledRamp *ramps;
  int count;
  int capacity;
  int fadeMs;
};

// Where the day stands in a schedule at one moment.
struct SchedulePlan {
  // The ramp in force: the last time of the day at or before the moment,
  // round the clock (before the first time, the last one). -1 when the
  // schedule is empty, and then every other field is 0.
  int current;
  // The ramp that was in force before it: the one a fade comes from. The
  // same as current when the schedule has one time.
  int previous;
  // Since the current ramp's time, 0 to a day.
  int sinceMs;
  // Until the next time of the schedule: above 0, at most a day.
  int untilNextMs;
};

// msOfDay outside 0 to kDayMs - 1 is taken round the clock into the day.
SchedulePlan PlanSchedule(const DaySchedule &schedule, int msOfDay);

// 1 when the moment lies inside the fade that starts at the current ramp's
// time, which then is not reached yet: a fade of 0 never is.
int IsFading(const DaySchedule &schedule, const SchedulePlan &plan);

// The step between the applies of a fade: a second, or longer for fades of
// more than 256 seconds, so that no fade has more than 256 steps.
int FadeStepMs(int fadeMs);

// From sinceMs into a fade to its next step, on the grid of steps from the
// fade's start: above 0, at most a step. The step that reaches the end of
// the fade may lie past it (a second at most for fades up to 256 s), so
// that no two steps come closer than a step.
int UntilNextFadeStepMs(int fadeMs, int sinceMs);

#endif
