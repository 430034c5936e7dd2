#include "config/ScheduleFile.h"

#include "GammaFileFixture.h"
#include "config/DaySchedule.h"
#include "gamma/GammaRamp.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int kMorning = 7 * 3600;
const int kEvening = 19 * 3600;

class ScheduleFileTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.Ready()) << folder.Path();
    ASSERT_TRUE(WriteGammaFile("morning.qlr", 0, 0, 1.0));
    ASSERT_TRUE(WriteGammaFile("evening.qlr", 0, 0, 1.6));
    ASSERT_TRUE(WriteBytes("broken.qlr", "QLRAMP0", 7));
  }

  int Read(const std::string &text) {
    EXPECT_TRUE(WriteBytes("quilcfg.txt", text.data(), text.size()));
    return ReadSchedule("quilcfg.txt", schedule, workRamp);
  }

  // The morning and evening of the good lines, with their own ramps.
  void ExpectMorningAndEvening() {
    ASSERT_EQ(2, schedule.Count());
    EXPECT_EQ(kMorning, schedule.At(0).secondOfDay);
    EXPECT_EQ(kEvening, schedule.At(1).secondOfDay);
    EXPECT_EQ(PowerRamp(1.0), EntriesAt(0));
    EXPECT_EQ(PowerRamp(1.6), EntriesAt(1));
  }

  std::vector<std::uint16_t> EntriesAt(int index) const {
    const std::uint16_t *entries = schedule.At(index).entries;
    return std::vector<std::uint16_t>(entries, entries + GammaRamp::kEntryCount);
  }

  TestFolder folder;
  DaySchedule schedule;
  GammaRamp workRamp;
};

// A bad line sits between the good ones, and a bad fade line after the good
// one, where it would count if it were taken.
TEST_F(ScheduleFileTest, SkipsEachBadLineAndKeepsTheRest) {
  const char *const badLines[] = {
      "*time 24:00 evening.qlr",
      "*time 7:5 evening.qlr",
      "*time 19:00:60 evening.qlr",
      "*time 12:00",
      "*time 12:00 ",
      "*time 12:00 missing.qlr",
      "*time 12:00 broken.qlr",
      "*time 12:00 .",
      "*fade -5",
      "*fade 99999",
      "*fade 86401s",
      "*fade soon",
  };
  for (const char *bad : badLines) {
    SCOPED_TRACE(bad);
    std::string text = "*time 07:00 morning.qlr\r\n" + std::string(bad) +
                       "\r\n*time 19:00 evening.qlr\r\n*fade 45s\r\n" + bad + "\r\n";
    EXPECT_EQ(2, Read(text));
    ExpectMorningAndEvening();
    EXPECT_EQ(45000, schedule.FadeMs());
  }
}

TEST_F(ScheduleFileTest, TakesTheFadeOfTheLastGoodLineOrTwentyMinutes) {
  struct FadeCase {
    const char *lines;
    int fadeMs;
  } const cases[] = {
      {"", kDefaultFadeMs},
      {"*fade 0\r\n", 0},
      {"*fade 45s\r\n", 45000},
      {"*fade 30\r\n*fade 5\r\n", 5 * 60000},
      {"*fade 5\r\n*fade bad\r\n", 5 * 60000},
  };
  for (const FadeCase &c : cases) {
    SCOPED_TRACE(c.lines);
    Read(std::string(c.lines) + "*time 19:00 evening.qlr\r\n*time 7:00 morning.qlr\r\n");
    ExpectMorningAndEvening();
    EXPECT_EQ(c.fadeMs, schedule.FadeMs());
  }
}

// The other lines of the file are no part of the schedule, and a file
// without time lines (or none at all) leaves it empty.
TEST_F(ScheduleFileTest, ReadsOnlyTimeLines) {
  EXPECT_EQ(0, Read("*default evening.qlr\r\n*1024x768 evening.qlr\r\nmorning.qlr\r\n"
                    "*fade 3\r\n"));
  EXPECT_EQ(0, schedule.Count());
  EXPECT_EQ(1, Read("*time 19:00 evening.qlr\r\n*time 19:00 morning.qlr"));
  EXPECT_EQ(PowerRamp(1.0), EntriesAt(0));
  EXPECT_EQ(0, ReadSchedule("no-such-file.txt", schedule, workRamp));
  EXPECT_EQ(0, schedule.Count());
}

} // namespace
