#include "config/ResidentPresets.h"

#include "config/RegistryKey.h"

#include <climits>
#include <cstdio>

namespace {

const char kPresetsKey[] = "Software\\Tessivo\\Quil";
const double kGammaScale = 10000.0; // stored = gamma x 10000

struct ValueName {
  char text[16];
  ValueName(const char *prefix, int index) {
    std::snprintf(text, sizeof text, "%s%d", prefix, index);
  }
};

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

int ReadFromKey(void *key, const char *name, int *value) {
  return static_cast<RegistryKey *>(key)->GetDword(name, value, 0) == 0;
}

} // namespace

void LoadResidentPresets(ResidentPresets &presets) {
  RegistryKey key;
  if (!key.Open(kPresetsKey, HKEY_CURRENT_USER)) {
    DecodeResidentPresets(presets, nullptr, nullptr);
    return;
  }
  DecodeResidentPresets(presets, ReadFromKey, &key);
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
