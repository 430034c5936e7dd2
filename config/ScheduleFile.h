#ifndef QUILLORA_CONFIG_SCHEDULEFILE_H
#define QUILLORA_CONFIG_SCHEDULEFILE_H

class DaySchedule;
class GammaRamp;

// Reads the "*time" and "*fade" lines of the configuration file at path
// into the schedule, after emptying it. A time line keeps the ramp its file
// holds when the file loads into workRamp, and is skipped otherwise, as are
// lines that do not parse (ParseConfigLine); of several fade lines the last
// one that parses counts, and without one the fade is kDefaultFadeMs. Puts
// nothing on the screen. A file that cannot be opened leaves the schedule
// empty. Returns the number of times in the schedule.
int ReadSchedule(const char *path, DaySchedule &schedule, GammaRamp &workRamp);

#endif
