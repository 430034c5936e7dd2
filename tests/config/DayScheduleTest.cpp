#include "config/DaySchedule.h"

#include "gamma/GammaRamp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

const int kHourMs = 60 * 60 * 1000;
const int kMinuteMs = 60 * 1000;

// A ramp whose every entry is `mark`: each time of a schedule gets its own.
std::vector<std::uint16_t> Marked(std::uint16_t mark) {
  return std::vector<std::uint16_t>(GammaRamp::kEntryCount, mark);
}

int SecondOf(int hours, int minutes) {
  return (hours * 60 + minutes) * 60;
}

// Evening and morning, added out of order; the marks name the times.
class DayScheduleTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(1, schedule.Add(SecondOf(19, 0), Marked(19).data()));
    ASSERT_EQ(1, schedule.Add(SecondOf(7, 0), Marked(7).data()));
  }
  DaySchedule schedule;
};

TEST_F(DayScheduleTest, KeepsTheOrderOfTheDayAndTheLaterLineAtOneTime) {
  ASSERT_EQ(1, schedule.Add(SecondOf(12, 0), Marked(12).data()));
  ASSERT_EQ(1, schedule.Add(SecondOf(19, 0), Marked(20).data()));
  EXPECT_EQ(0, schedule.Add(86400, Marked(1).data()));
  EXPECT_EQ(0, schedule.Add(-1, Marked(1).data()));
  ASSERT_EQ(3, schedule.Count());
  const int times[] = {SecondOf(7, 0), SecondOf(12, 0), SecondOf(19, 0)};
  const std::uint16_t marks[] = {7, 12, 20};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(times[i], schedule.At(i).secondOfDay) << i;
    EXPECT_EQ(marks[i], schedule.At(i).entries[GammaRamp::kEntryCount - 1]) << i;
  }
  EXPECT_EQ(kDefaultFadeMs, schedule.FadeMs());
  schedule.SetFadeMs(45000);
  schedule.Clear();
  EXPECT_EQ(0, schedule.Count());
  EXPECT_EQ(kDefaultFadeMs, schedule.FadeMs());
}

// Round the clock: before the first time of the day the last one is in
// force; a moment given outside the day is taken into it.
TEST_F(DayScheduleTest, PlansRoundTheClock) {
  struct PlanCase {
    int localMs;
    int current;
    int previous;
    int sinceMs;
    int untilNextMs;
  } const cases[] = {
      {0, 1, 0, 5 * kHourMs, 7 * kHourMs},
      {7 * kHourMs - 1, 1, 0, 12 * kHourMs - 1, 1},
      {7 * kHourMs, 0, 1, 0, 12 * kHourMs},
      {12 * kHourMs, 0, 1, 5 * kHourMs, 7 * kHourMs},
      {19 * kHourMs - 1, 0, 1, 12 * kHourMs - 1, 1},
      {19 * kHourMs, 1, 0, 0, 12 * kHourMs},
      {23 * kHourMs + 30 * kMinuteMs, 1, 0, 4 * kHourMs + 30 * kMinuteMs,
       7 * kHourMs + 30 * kMinuteMs},
      {kDayMs - 1, 1, 0, 5 * kHourMs - 1, 7 * kHourMs + 1},
      {kDayMs + 20 * kHourMs, 1, 0, kHourMs, 11 * kHourMs},
      {-kDayMs + 8 * kHourMs, 0, 1, kHourMs, 11 * kHourMs},
      {-1, 1, 0, 5 * kHourMs - 1, 7 * kHourMs + 1},
  };
  for (const PlanCase &c : cases) {
    SCOPED_TRACE(c.localMs);
    SchedulePlan plan = PlanSchedule(schedule, c.localMs);
    EXPECT_EQ(c.current, plan.current);
    EXPECT_EQ(c.previous, plan.previous);
    EXPECT_EQ(c.sinceMs, plan.sinceMs);
    EXPECT_EQ(c.untilNextMs, plan.untilNextMs);
  }
}

TEST(DaySchedulePlanTest, OneTimeIsInForceAllDayAndAnEmptyScheduleNever) {
  DaySchedule schedule;
  SchedulePlan empty = PlanSchedule(schedule, 5 * kHourMs);
  EXPECT_EQ(-1, empty.current);
  EXPECT_EQ(0, IsFading(schedule, empty));

  ASSERT_EQ(1, schedule.Add(SecondOf(6, 30), Marked(6).data()));
  SchedulePlan atTime = PlanSchedule(schedule, 6 * kHourMs + 30 * kMinuteMs);
  EXPECT_EQ(0, atTime.current);
  EXPECT_EQ(0, atTime.previous);
  EXPECT_EQ(0, atTime.sinceMs);
  EXPECT_EQ(kDayMs, atTime.untilNextMs);
  SchedulePlan before = PlanSchedule(schedule, 6 * kHourMs);
  EXPECT_EQ(0, before.current);
  EXPECT_EQ(kDayMs - 30 * kMinuteMs, before.sinceMs);
  EXPECT_EQ(30 * kMinuteMs, before.untilNextMs);
}

TEST_F(DayScheduleTest, FadesOnlyFromTheTimeForTheFadeLength) {
  struct FadeCase {
    int fadeMs;
    int localMs;
    int fading;
  } const cases[] = {
      {kDefaultFadeMs, 19 * kHourMs, 1},
      {kDefaultFadeMs, 19 * kHourMs + 20 * kMinuteMs - 1, 1},
      {kDefaultFadeMs, 19 * kHourMs + 20 * kMinuteMs, 0},
      {kDefaultFadeMs, 19 * kHourMs - 1, 0},
      {kDefaultFadeMs, 7 * kHourMs + 5 * kMinuteMs, 1},
      {0, 19 * kHourMs, 0},
      {45000, 19 * kHourMs + 44999, 1},
      {45000, 19 * kHourMs + 45000, 0},
      // Longer than the gap: the evening still fades in the morning.
      {13 * kHourMs, 6 * kHourMs + 59 * kMinuteMs, 1},
  };
  for (const FadeCase &c : cases) {
    SCOPED_TRACE(c.localMs);
    schedule.SetFadeMs(c.fadeMs);
    EXPECT_EQ(c.fading, IsFading(schedule, PlanSchedule(schedule, c.localMs)));
  }
}

TEST(FadeStepTest, StepsComeAtMostOnceASecondAndAtMost256TimesAFade) {
  struct StepCase {
    int fadeMs;
    int stepMs;
  } const cases[] = {
      {1000, 1000},   {10000, 1000},          {45000, 1000},          {256000, 1000},
      {257000, 1004}, {20 * kMinuteMs, 4688}, {30 * kMinuteMs, 7032}, {kDayMs, 337500},
  };
  for (const StepCase &c : cases) {
    SCOPED_TRACE(c.fadeMs);
    EXPECT_EQ(c.stepMs, FadeStepMs(c.fadeMs));
    // A fade followed step by step from its start, as the resident program
    // does, including from a moment taken off the grid (a wake-up).
    for (int start : {0, 1, 777}) {
      int steps = 0;
      int since = start;
      while (since < c.fadeMs) {
        int delay = UntilNextFadeStepMs(c.fadeMs, since);
        ASSERT_GT(delay, 0);
        ASSERT_LE(delay, c.stepMs);
        if (since != start) {
          ASSERT_EQ(c.stepMs, delay);
        }
        since += delay;
        ++steps;
      }
      EXPECT_LE(steps, 256);
      EXPECT_LT(since - c.fadeMs, c.stepMs);
    }
  }
}

} // namespace
