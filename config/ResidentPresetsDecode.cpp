#include "config/ResidentPresets.h"

#include <cstdio>

namespace {

const double kStoredGammaUnit = 0.0001; // stored = gamma x 10000
const double kMinimumGamma = 0.5;
const int kMaximumDarkLevel = 64;

double DefaultGamma(int index) { return 1 + 0.1 * index; }

// A value that cannot be read counts as its default.
int ReadOrDefault(ReadStoredValue read, void *source, const char *prefix, int index,
                  int defaultValue) {
  char name[16];
  std::snprintf(name, sizeof name, "%s%d", prefix, index);
  int value = 0;
  return read(source, name, &value) ? value : defaultValue;
}

void SetDefaults(ResidentPresets &presets) {
  for (int i = 0; i < ResidentPresets::kCount; ++i) {
    presets.gamma[i] = DefaultGamma(i);
    presets.darkLevel[i] = 0;
  }
  presets.hookEnabled = 1;
}

void DecodePreset(ResidentPresets &presets, ReadStoredValue read, void *source, int i) {
  int stored = ReadOrDefault(read, source, "Gamma", i, 10000 + 1000 * i);
  double gamma = stored * kStoredGammaUnit;
  presets.gamma[i] = (gamma >= kMinimumGamma) ? gamma : DefaultGamma(i);

  stored = ReadOrDefault(read, source, "Adjust", i, 0);
  // Compared unsigned, so a negative level becomes the maximum as well.
  int tooDark = static_cast<unsigned>(stored) > static_cast<unsigned>(kMaximumDarkLevel);
  presets.darkLevel[i] = tooDark ? kMaximumDarkLevel : stored;
}

} // namespace

void DecodeResidentPresets(ResidentPresets &presets, ReadStoredValue read, void *source) {
  SetDefaults(presets);
  if (!read)
    return;
  for (int i = 0; i < ResidentPresets::kCount; ++i)
    DecodePreset(presets, read, source, i);
  int hookEnabled = 0;
  if (read(source, "HookEnabled", &hookEnabled))
    presets.hookEnabled = hookEnabled;
}
