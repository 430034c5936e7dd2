#include "config/ConfigFile.h"

#include "config/ConfigLine.h"
#include "gamma/GammaRamp.h"

#include <cstdio>

namespace {

const char kConfigFileName[] = "quilcfg.txt";
const char kGammaFileSuffix[] = "qlr";

ResolutionEntry *LastEntry(const ResolutionTable &table) {
  ResolutionEntry *entry = table.head;
  while (entry && entry->next)
    entry = entry->next;
  return entry;
}

// The default ramp is not tied to a resolution and takes effect during the
// start-up already, before any display change asks for it. `taken` says
// whether the screen took it.
int LoadDefaultRamp(GammaRamp *baseRamp, const char *path, int &taken) {
  if (!baseRamp || !baseRamp->LoadFromFile(path))
    return 0;
  baseRamp->SetTargetSize(0, 0);
  taken = baseRamp->Apply();
  return 1;
}

int IsListedGammaFile(const char *path) {
  return EndsWithNoCase(path, kGammaFileSuffix) && FileExists(path);
}

} // namespace

int ReadConfigFile(ResolutionTable &table, GammaRamp *baseRamp, GammaRamp *workRamp) {
  // Binary mode: lines keep their CR LF until TrimAtControl cuts them, and a
  // stray Ctrl-Z does not end the file early.
  std::FILE *file = std::fopen(kConfigFileName, "rb");
  if (!file) {
    if (baseRamp)
      baseRamp->SetIdentity();
    return 1;
  }
  ResolutionEntry *tail = LastEntry(table);
  int baseLoaded = 0;
  int baseTaken = 1;
  char text[kConfigLineSize];
  while (std::fgets(text, sizeof text, file)) {
    ConfigLine line = ParseConfigLine(text);
    switch (line.kind) {
    case kResolutionLine:
      AppendEntry(table, workRamp, line.path, tail, line.width, line.height);
      break;
    case kDefaultLine:
      if (LoadDefaultRamp(baseRamp, line.path, baseTaken))
        baseLoaded = 1;
      break;
    case kPlainLine:
      if (IsListedGammaFile(line.path))
        AppendEntry(table, workRamp, line.path, tail, 0, 0);
      break;
    // The schedule reads its own lines (ReadSchedule).
    case kTimeLine:
    case kFadeLine:
    case kHookLine:
    case kIgnoredLine:
      break;
    }
  }
  if (!baseLoaded && baseRamp)
    baseRamp->SetIdentity();
  std::fclose(file);
  return baseTaken;
}
