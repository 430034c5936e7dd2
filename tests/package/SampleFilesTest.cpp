// The sample files of the release package, read as the program reads them:
// the sample quilcfg.txt through the configuration reader, in the folder
// the package puts it in, and the sample gamma files through LoadFromFile.
#include "config/ConfigFile.h"
#include "gamma/GammaRamp.h"

#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct SampleCase {
  const char *fileName;
  double gamma;
  int darkLevel;
  int width;
  int height;
  int applyDelay;
};

// What the guide promises about each file.
const SampleCase kSamples[] = {
    {"標準.qlr", 1.0, 0, 0, 0, 0},
    {"夕方用_暗め.qlr", 0.8, 0, 0, 0, 0},
    {"明るめ.qlr", 1.3, 0, 0, 0, 0},
    {"暗部補正_1024x768.qlr", 1.1, 12, 1024, 768, 1000},
};

class SampleFilesTest : public testing::Test {
protected:
  void SetUp() override {
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    previousDirectory = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(WindowsPath(QUIL_PACKAGE_FILES).c_str()));
  }
  void TearDown() override {
    FreeResolutionEntries(table);
    SetCurrentDirectoryA(previousDirectory.c_str());
  }

  std::string previousDirectory;
  ResolutionTable table = {};
};

// The generator runs on the build machine; the files must hold exactly what
// the program's own curve gives on Windows, or the samples are not what the
// guide says they are.
TEST_F(SampleFilesTest, GammaFilesHoldTheCurvesTheGuideNames) {
  for (const SampleCase &sample : kSamples) {
    SCOPED_TRACE(sample.fileName);
    GammaRamp loaded;
    ASSERT_EQ(1, loaded.LoadFromFile(sample.fileName));
    GammaRamp expected;
    expected.SetCurve(sample.gamma, sample.darkLevel);
    EXPECT_EQ(std::vector<unsigned short>(expected.Entries(), expected.Entries() + 768),
              std::vector<unsigned short>(loaded.Entries(), loaded.Entries() + 768));
    EXPECT_EQ(sample.width, loaded.GetTargetWidth());
    EXPECT_EQ(sample.height, loaded.GetTargetHeight());
    EXPECT_EQ(sample.applyDelay, loaded.GetApplyDelay());
    EXPECT_EQ(nullptr, loaded.GetName());
  }
}

// Only the four active lines count: the tab comments, the commented-out
// example lines and the empty lines add nothing.
TEST_F(SampleFilesTest, SampleConfigurationYieldsExactlyItsEntriesAndDefault) {
  GammaRamp baseRamp;
  GammaRamp workRamp;
  baseRamp.SetCurve(2.0, 0);
  ReadConfigFile(table, &baseRamp, &workRamp);

  std::vector<std::string> entries;
  for (const ResolutionEntry *entry = table.head; entry; entry = entry->next)
    entries.push_back(std::to_string(entry->width) + "x" + std::to_string(entry->height) + " " +
                      (entry->path ? entry->path : "(none)"));
  EXPECT_EQ((std::vector<std::string>{"800x600 明るめ.qlr", "1280x1024 夕方用_暗め.qlr",
                                      "1024x768 暗部補正_1024x768.qlr"}),
            entries);
  EXPECT_EQ(3, table.count);

  GammaRamp standard;
  standard.SetCurve(1.0, 0);
  EXPECT_EQ(std::vector<unsigned short>(standard.Entries(), standard.Entries() + 768),
            std::vector<unsigned short>(baseRamp.Entries(), baseRamp.Entries() + 768));
  EXPECT_EQ(0, baseRamp.GetTargetWidth());
  EXPECT_EQ(0, baseRamp.GetTargetHeight());
}

} // namespace
