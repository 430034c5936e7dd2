#include "config/ResolutionTable.h"

#include "GammaFileFixture.h"
#include "gamma/GammaRamp.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ConfigTableTest : public testing::Test {
protected:
  static constexpr const char *kFile = "config_table_test_1024x768.qlr";
  static constexpr const char *kNotGamma = "config_table_test_not_gamma.qlr";

  void SetUp() override {
    ASSERT_TRUE(folder.Ready()) << folder.Path();
    ASSERT_TRUE(WriteGammaFile(kFile, 1024, 768));
    ASSERT_TRUE(WriteBytes(kNotGamma, "QLRAMP0", 7));
  }
  void TearDown() override { FreeResolutionEntries(table); }

  TestFolder folder;
  ResolutionTable table = {};
  ResolutionEntry *tail = nullptr;
  GammaRamp workRamp;
};

std::string Describe(const ResolutionEntry &entry) {
  return std::to_string(entry.width) + "x" + std::to_string(entry.height) + " " +
         (entry.path ? entry.path : "(none)");
}

TEST_F(ConfigTableTest, EntriesKeepFileOrderAndTakeTheFileResolutionWhenAskedFor) {
  struct AppendCase {
    const char *path;
    int width;
    int height;
    const char *expected;
  } const cases[] = {
      {kFile, 800, 600, "800x600 config_table_test_1024x768.qlr"},
      {kFile, 0, 0, "1024x768 config_table_test_1024x768.qlr"},
      {kFile, 800, 0, "1024x768 config_table_test_1024x768.qlr"},
      {kFile, 0, 600, "1024x768 config_table_test_1024x768.qlr"},
      {kFile, -800, 600, "1024x768 config_table_test_1024x768.qlr"},
      {kFile, 1, 1, "1x1 config_table_test_1024x768.qlr"},
      {"config_table_test_missing.qlr", 800, 600, "0x0 (none)"},
      {kNotGamma, 800, 600, "0x0 (none)"},
      {"", 800, 600, "0x0 (none)"},
  };
  for (const AppendCase &c : cases)
    AppendEntry(table, &workRamp, c.path, tail, c.width, c.height);

  ASSERT_EQ(static_cast<int>(sizeof cases / sizeof cases[0]), table.count);
  const ResolutionEntry *entry = table.head;
  for (const AppendCase &c : cases) {
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(c.expected, Describe(*entry));
    if (entry->path) {
      EXPECT_NE(c.path, entry->path) << "the entry must own a copy";
    }
    entry = entry->next;
  }
  EXPECT_EQ(nullptr, entry);
  EXPECT_EQ(tail, [&] {
    const ResolutionEntry *last = table.head;
    while (last->next)
      last = last->next;
    return last;
  }());
}

TEST_F(ConfigTableTest, WithoutRampOrPathTheEntryCountsAsFailed) {
  AppendEntry(table, nullptr, kFile, tail, 800, 600);
  AppendEntry(table, &workRamp, nullptr, tail, 800, 600);
  ASSERT_EQ(2, table.count);
  EXPECT_EQ("0x0 (none)", Describe(*table.head));
  EXPECT_EQ("0x0 (none)", Describe(*table.head->next));
}

// The schedule leaves a resolution with a file of its own alone; a line
// whose file failed names nothing.
TEST_F(ConfigTableTest, NamesOnlyTheResolutionsOfFilesThatLoaded) {
  AppendEntry(table, &workRamp, kFile, tail, 800, 600);
  AppendEntry(table, &workRamp, kNotGamma, tail, 640, 480);
  AppendEntry(table, &workRamp, kFile, tail, 0, 0);
  struct NameCase {
    int width, height, named;
  } const cases[] = {
      {800, 600, 1}, {1024, 768, 1}, {640, 480, 0}, {0, 0, 0}, {600, 800, 0}, {1280, 1024, 0},
  };
  for (const NameCase &c : cases)
    EXPECT_EQ(c.named, NamesResolution(table, c.width, c.height)) << c.width << "x" << c.height;
  ResolutionTable empty = {};
  EXPECT_EQ(0, NamesResolution(empty, 0, 0));
}

TEST_F(ConfigTableTest, FreeingEmptiesTheListButKeepsTheCount) {
  AppendEntry(table, &workRamp, kFile, tail, 0, 0);
  AppendEntry(table, &workRamp, "config_table_test_missing.qlr", tail, 0, 0);
  FreeResolutionEntries(table);
  EXPECT_EQ(nullptr, table.head);
  EXPECT_EQ(2, table.count);
  FreeResolutionEntries(table);
  EXPECT_EQ(nullptr, table.head);
}

} // namespace
