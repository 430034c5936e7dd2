#include "ui/PresetEditing.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

TEST(PresetEditingTest, DarkLevelTableBothWays) {
  const int levels[] = {0, 8, 12, 16, 20, 24, 32, 40, 64};
  for (int index = 0; index < 9; ++index) {
    EXPECT_EQ(levels[index], LevelFromComboIndex(index)) << index;
    EXPECT_EQ(index, ComboIndexFromLevel(levels[index])) << levels[index];
  }
}

TEST(PresetEditingTest, OutsideTheTableMeansNoCorrection) {
  for (int index : {-1, 9, 10, INT_MIN, INT_MAX})
    EXPECT_EQ(0, LevelFromComboIndex(index)) << index;
  for (int level : {-1, 1, 10, 63, 65, INT_MIN, INT_MAX})
    EXPECT_EQ(0, ComboIndexFromLevel(level)) << level;
}

TEST(PresetEditingTest, PresetLinesWithSixDecimals) {
  struct LineCase {
    int index;
    double gamma;
    const char *line;
  } const cases[] = {
      {0, 1.0, "0 > 1.000000"},
      {3, 1.25, "3 > 1.250000"},
      {9, 1.9, "9 > 1.900000"},
      {4, 2.9999, "4 > 2.999900"},
      {9, 214748.3647, "9 > 214748.364700"},
  };
  for (const LineCase &c : cases) {
    char line[64];
    EXPECT_STREQ(c.line, FormatPresetLine(line, sizeof line, c.index, c.gamma));
  }
  char text[64];
  EXPECT_STREQ("1.200000", FormatGammaText(text, sizeof text, 1.2));
  EXPECT_STREQ("214748.364700", FormatGammaText(text, sizeof text, 214748.3647));
}

TEST(PresetEditingTest, TextsThatDoNotFitAreCutNotOverrun) {
  char guarded[16];
  std::memset(guarded, 'x', sizeof guarded);
  FormatPresetLine(guarded, 8, 9, 1e300);
  EXPECT_STREQ("9 > 100", guarded);
  EXPECT_EQ('x', guarded[8]);
  FormatGammaText(guarded, 8, 214748.3647);
  EXPECT_STREQ("214748.", guarded);
  EXPECT_EQ('x', guarded[8]);
}

// Every position the slider can store comes back exactly: "確定" stores
// position x 0.0001, a new selection shows gamma x 10000 truncated.
TEST(PresetEditingTest, StoredPositionsComeBackExactly) {
  for (int position = 7000; position <= 30000; ++position)
    ASSERT_EQ(position, PositionFromGamma(GammaFromPosition(position))) << position;
}

TEST(PresetEditingTest, PositionsTruncateTowardZero) {
  EXPECT_EQ(12000, PositionFromGamma(1.2));
  EXPECT_EQ(5004, PositionFromGamma(0.5005));
  EXPECT_EQ(12345, PositionFromGamma(1.23459));
}

// The largest gamma the registry can hold, and beyond: no undefined
// conversion (the sanitizers of the native build would stop here).
TEST(PresetEditingTest, HugeGammasStopAtTheIntRange) {
  EXPECT_EQ(INT_MAX, PositionFromGamma(GammaFromPosition(INT_MAX)));
  EXPECT_EQ(INT_MAX, PositionFromGamma(214748.3648));
  EXPECT_EQ(INT_MAX, PositionFromGamma(1e300));
  EXPECT_EQ(INT_MAX, PositionFromGamma(std::numeric_limits<double>::infinity()));
  EXPECT_EQ(INT_MIN, PositionFromGamma(-1e300));
  EXPECT_EQ(0, PositionFromGamma(std::nan("")));
}

} // namespace
