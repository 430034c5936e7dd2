#include "config/DaySchedule.h"

#include <algorithm>
#include <cstdlib>

namespace {

const int kSecondsPerDay = 24 * 60 * 60;
// A fade of more than this many steps would apply more often than its
// ramps can differ: 256 levels an entry.
const int kMostFadeSteps = 256;
const int kShortestFadeStepMs = 1000;

int MsOfDay(int ms) {
  return (ms % kDayMs + kDayMs) % kDayMs;
}

int MsOfEntry(const DaySchedule &schedule, int index) {
  return schedule.At(index).secondOfDay * 1000;
}

} // namespace

DaySchedule::DaySchedule() : ramps(nullptr), count(0), capacity(0), fadeMs(kDefaultFadeMs) {}

DaySchedule::~DaySchedule() {
  std::free(ramps);
}

void DaySchedule::Clear() {
  std::free(ramps);
  ramps = nullptr;
  count = 0;
  capacity = 0;
  fadeMs = kDefaultFadeMs;
}

int DaySchedule::Add(int secondOfDay, const std::uint16_t *entries) {
  if (secondOfDay < 0 || secondOfDay >= kSecondsPerDay)
    return 0;
  int at = 0;
  while (at < count && ramps[at].secondOfDay < secondOfDay)
    ++at;
  if (at == count || ramps[at].secondOfDay != secondOfDay) {
    if (count == capacity) {
      int grown = capacity ? capacity * 2 : 4;
      void *more = std::realloc(ramps, sizeof(ScheduledRamp) * static_cast<std::size_t>(grown));
      if (!more)
        return 0;
      ramps = static_cast<ScheduledRamp *>(more);
      capacity = grown;
    }
    std::copy_backward(ramps + at, ramps + count, ramps + count + 1);
    ++count;
  }
  ramps[at].secondOfDay = secondOfDay;
  std::copy(entries, entries + GammaRamp::kEntryCount, ramps[at].entries);
  return 1;
}

SchedulePlan PlanSchedule(const DaySchedule &schedule, int msOfDay) {
  SchedulePlan plan = {-1, 0, 0, 0};
  int count = schedule.Count();
  if (!count)
    return plan;
  int now = MsOfDay(msOfDay);
  // Before the first time of the day, the last one is still in force.
  plan.current = count - 1;
  for (int i = 0; i < count && MsOfEntry(schedule, i) <= now; ++i)
    plan.current = i;
  plan.previous = (plan.current + count - 1) % count;
  int next = (plan.current + 1) % count;
  plan.sinceMs = MsOfDay(now - MsOfEntry(schedule, plan.current));
  plan.untilNextMs = MsOfDay(MsOfEntry(schedule, next) - now);
  if (plan.untilNextMs == 0)
    plan.untilNextMs = kDayMs;
  return plan;
}

int IsFading(const DaySchedule &schedule, const SchedulePlan &plan) {
  return plan.current >= 0 && plan.sinceMs < schedule.FadeMs();
}

int FadeStepMs(int fadeMs) {
  int step = (fadeMs + kMostFadeSteps - 1) / kMostFadeSteps;
  return std::max(step, kShortestFadeStepMs);
}

int UntilNextFadeStepMs(int fadeMs, int sinceMs) {
  int step = FadeStepMs(fadeMs);
  return step - sinceMs % step;
}
