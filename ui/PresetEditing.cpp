#include "ui/PresetEditing.h"

#include <climits>
#include <cstdio>

namespace {

const int kLevels[kDarkLevelChoices] = {0, 8, 12, 16, 20, 24, 32, 40, 64};
const double kPositionsPerGamma = 10000.0;
const double kGammaPerPosition = 0.0001;

} // namespace

int LevelFromComboIndex(int index) {
  if (index < 1 || index >= kDarkLevelChoices)
    return 0;
  return kLevels[index];
}

int ComboIndexFromLevel(int level) {
  for (int index = 1; index < kDarkLevelChoices; ++index)
    if (kLevels[index] == level)
      return index;
  return 0;
}

int PositionFromGamma(double gamma) {
  double scaled = gamma * kPositionsPerGamma;
  // Converting a double outside the int range is undefined, so the ends are
  // checked first.
  if (!(scaled == scaled))
    return 0;
  if (scaled >= static_cast<double>(INT_MAX))
    return INT_MAX;
  if (scaled <= static_cast<double>(INT_MIN))
    return INT_MIN;
  return static_cast<int>(scaled);
}

double GammaFromPosition(int position) {
  return position * kGammaPerPosition;
}

char *FormatPresetLine(char *buffer, std::size_t size, int index, double gamma) {
  std::snprintf(buffer, size, "%d%s%04f", index, " > ", gamma);
  return buffer;
}

char *FormatGammaText(char *buffer, std::size_t size, double gamma) {
  std::snprintf(buffer, size, "%04f", gamma);
  return buffer;
}
