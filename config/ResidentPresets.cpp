#include "config/ResidentPresets.h"

#include "config/RegistryKey.h"

#include <climits>
#include <cstdio>

namespace {

const char kPresetsKey[] = "Software\\Tessivo\\Quil";
const double kGammaScale = 10000.0; // stored = gamma x 10000
const double kStoredGammaUnit = 0.0001;
const double kMinimumGamma = 0.5;
const int kMaximumDarkLevel = 64;

struct ValueName {
  char text[16];
  ValueName(const char *prefix, int index) {
    std::snprintf(text, sizeof text, "%s%d", prefix, index);
  }
};

double DefaultGamma(int index) { return 1 + 0.1 * index; }

// Truncates toward zero; values beyond the 32-bit range stop at its ends
// instead of wrapping into nonsense.
int GammaToStored(double gamma) {
  double scaled = gamma * kGammaScale;
  if (!(scaled < static_cast<double>(INT_MAX)))
    return scaled > 0 ? INT_MAX : 0;
  if (scaled <= static_cast<double>(INT_MIN))
    return INT_MIN;
  return static_cast<int>(scaled);
}

void SetDefaults(ResidentPresets &presets) {
  for (int i = 0; i < ResidentPresets::kCount; ++i) {
    presets.gamma[i] = DefaultGamma(i);
    presets.darkLevel[i] = 0;
  }
  presets.hookEnabled = 1;
}

void ReadPreset(RegistryKey &key, ResidentPresets &presets, int i) {
  int stored = 0;
  key.GetDword(ValueName("Gamma", i).text, &stored, 10000 + 1000 * i);
  double gamma = stored * kStoredGammaUnit;
  presets.gamma[i] = (gamma >= kMinimumGamma) ? gamma : DefaultGamma(i);

  key.GetDword(ValueName("Adjust", i).text, &stored, 0);
  // Compared unsigned, so a negative level becomes the maximum as well.
  int tooDark = static_cast<unsigned>(stored) > static_cast<unsigned>(kMaximumDarkLevel);
  presets.darkLevel[i] = tooDark ? kMaximumDarkLevel : stored;
}

} // namespace

void LoadResidentPresets(ResidentPresets &presets) {
  SetDefaults(presets);
  RegistryKey key;
  if (!key.Open(kPresetsKey, HKEY_CURRENT_USER))
    return;
  for (int i = 0; i < ResidentPresets::kCount; ++i)
    ReadPreset(key, presets, i);
  key.GetDword("HookEnabled", &presets.hookEnabled, 1);
  key.Close();
}

int SaveResidentPresets(const ResidentPresets &presets) {
  RegistryKey key;
  if (!key.Create(kPresetsKey, HKEY_CURRENT_USER))
    return 0;
  int written = 1;
  for (int i = 0; i < ResidentPresets::kCount; ++i) {
    written &= key.SetDword(ValueName("Gamma", i).text, GammaToStored(presets.gamma[i]));
    written &= key.SetDword(ValueName("Adjust", i).text, presets.darkLevel[i]);
  }
  written &= key.SetDword("HookEnabled", presets.hookEnabled);
  key.Close();
  return written;
}

int LoadKeepGamma() {
  int keep = 1;
  RegistryKey key;
  if (key.Open(kPresetsKey, HKEY_CURRENT_USER))
    key.GetDword("KeepGamma", &keep, 1);
  return keep != 0;
}
