// Feeds arbitrary bytes to the schedule's reader of "quilcfg.txt", in a
// folder that holds a few gamma files for its time lines to name, and asks
// the schedule where the day stands at a moment the input also gives. What
// must hold whatever the file says:
//  - no more times than pieces the file is read in, strictly in the order
//    of the day, each within it, each holding one of the good files' ramps;
//  - the fade is between 0 and a day;
//  - the plan names a ramp of the schedule, the one before it, and a next
//    time within a day; a fade's next step comes within a step.
#include "config/ConfigLine.h"
#include "config/DaySchedule.h"
#include "config/ScheduleFile.h"
#include "gamma/GammaRamp.h"

#include "FgetsPieces.h"
#include "ScratchFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool holds, const char *what) {
  if (!holds) {
    std::fprintf(stderr, "schedule_file_fuzz: %s\n", what);
    std::abort();
  }
}

const char *const kGoodFiles[] = {"a.qlr", "B.QLR", "n\xe6\x97\xa5.qlr"};
const double kGoodGammas[] = {1.3, 0.8, 1.6};

std::vector<std::vector<std::uint16_t>> goodRamps;

void WriteFile(const char *name, const char *bytes, std::size_t size) {
  std::FILE *file = std::fopen(name, "wb");
  Require(file && (size == 0 || std::fwrite(bytes, 1, size, file) == size) &&
              std::fclose(file) == 0,
          "cannot write a fixture file");
}

bool IsGoodRamp(const std::uint16_t *entries) {
  for (const std::vector<std::uint16_t> &good : goodRamps)
    if (std::memcmp(good.data(), entries, GammaRamp::kEntryCount * sizeof *entries) == 0)
      return true;
  return false;
}

void RequireSchedule(const DaySchedule &schedule, int pieces) {
  Require(schedule.Count() <= pieces, "more times than lines");
  for (int i = 0; i < schedule.Count(); ++i) {
    const ScheduledRamp &ramp = schedule.At(i);
    Require(ramp.secondOfDay >= 0 && ramp.secondOfDay < 86400, "a time outside the day");
    Require(i == 0 || schedule.At(i - 1).secondOfDay < ramp.secondOfDay, "times out of order");
    Require(IsGoodRamp(ramp.entries), "a time holds no good file's ramp");
  }
  Require(schedule.FadeMs() >= 0 && schedule.FadeMs() <= kDayMs, "a fade outside a day");
}

void RequirePlan(const DaySchedule &schedule, int msOfDay) {
  SchedulePlan plan = PlanSchedule(schedule, msOfDay);
  if (!schedule.Count()) {
    Require(plan.current == -1 && !IsFading(schedule, plan), "a plan without times");
    return;
  }
  int count = schedule.Count();
  Require(plan.current >= 0 && plan.current < count, "the plan names no time");
  Require(plan.previous == (plan.current + count - 1) % count, "not the time before");
  Require(plan.sinceMs >= 0 && plan.sinceMs < kDayMs, "since outside a day");
  Require(plan.untilNextMs > 0 && plan.untilNextMs <= kDayMs, "until outside a day");
  Require(count > 1 || plan.sinceMs + plan.untilNextMs == kDayMs, "one time, not a whole day");
  if (IsFading(schedule, plan)) {
    int step = UntilNextFadeStepMs(schedule.FadeMs(), plan.sinceMs);
    Require(step > 0 && step <= FadeStepMs(schedule.FadeMs()), "a fade step out of reach");
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  const std::string folder = ScratchFolder("schedule_file_fuzz");
  Require(chdir(folder.c_str()) == 0, "cannot enter the fixture folder");
  for (int i = 0; i < 3; ++i) {
    GammaRamp ramp;
    ramp.SetCurve(kGoodGammas[i], 0);
    Require(ramp.SaveToFile(kGoodFiles[i]), "cannot write a gamma file");
    goodRamps.emplace_back(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
  }
  WriteFile("bad.qlr", "QLRAMP02", 8);
  return 0;
}

// The first four bytes, when there are as many, are the moment to plan for
// (any int, inside the day or not); all of them are the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  WriteFile("quilcfg.txt", reinterpret_cast<const char *>(data), size);
  DaySchedule schedule;
  GammaRamp workRamp;
  int count = ReadSchedule("quilcfg.txt", schedule, workRamp);
  Require(count == schedule.Count(), "the count read is not the schedule's");
  RequireSchedule(schedule, CountPieces(data, size));
  int msOfDay = 0;
  if (size >= sizeof msOfDay)
    std::memcpy(&msOfDay, data, sizeof msOfDay);
  RequirePlan(schedule, msOfDay);
  return 0;
}
