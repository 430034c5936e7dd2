#include "config/ScheduleFile.h"

#include "config/ConfigLine.h"
#include "config/DaySchedule.h"
#include "gamma/GammaRamp.h"

#include <cstdio>

int ReadSchedule(const char *path, DaySchedule &schedule, GammaRamp &workRamp) {
  schedule.Clear();
  // Binary mode, as the other reader of this file: see ReadConfigFile.
  std::FILE *file = std::fopen(path, "rb");
  if (!file)
    return 0;
  char text[kConfigLineSize];
  while (std::fgets(text, sizeof text, file)) {
    ConfigLine line = ParseConfigLine(text);
    if (line.kind == kTimeLine && workRamp.LoadFromFile(line.path))
      schedule.Add(line.seconds, workRamp.Entries());
    else if (line.kind == kFadeLine)
      schedule.SetFadeMs(line.seconds * 1000);
  }
  std::fclose(file);
  return schedule.Count();
}
