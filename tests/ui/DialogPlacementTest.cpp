#include "ui/DialogPlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace {

// A 200 x 100 dialog wanted at the cursor, on monitors around a 1024 x 768
// primary one at (0, 0), each given by its work area.
const PlacementArea kPrimary = {0, 0, 1024, 768};
const PlacementArea kPrimaryTaskbarBelow = {0, 0, 1024, 728};
const PlacementArea kPrimaryTaskbarLeft = {60, 0, 1024, 768};
const PlacementArea kLeftOfPrimary = {-1280, 0, 0, 1024};
const PlacementArea kAbovePrimary = {0, -768, 1024, 0};
const PlacementArea kRightOfPrimary = {1024, 0, 2048, 768};
const PlacementArea kLeftAndAbove = {-1920, -1080, -640, -280};

struct PlacementCase {
  const char *name;
  PlacementArea area;
  int cursorX, cursorY;
  int width, height;
  int expectX, expectY;
};

void PrintTo(const PlacementCase &placementCase, std::ostream *out) {
  *out << placementCase.name;
}

class KeepInsideAreaTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(KeepInsideAreaTest, PlacesAtTheCursorInsideTheWorkArea) {
  const PlacementCase &c = GetParam();
  int x = c.cursorX, y = c.cursorY;
  KeepInsideArea(&x, &y, c.width, c.height, c.area);
  EXPECT_EQ(x, c.expectX);
  EXPECT_EQ(y, c.expectY);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeepInsideAreaTest,
    ::testing::Values(
        PlacementCase{"FitsOnThePrimary", kPrimary, 10, 20, 200, 100, 10, 20},
        PlacementCase{"PrimaryBottomRightCorner", kPrimary, 1023, 767, 200, 100, 824, 668},
        PlacementCase{"ExactlyFlush", kPrimary, 824, 668, 200, 100, 824, 668},
        // Opened from the tray: the cursor is on the taskbar, below the work
        // area, and the whole dialog goes above the taskbar.
        PlacementCase{"AboveATaskbarBelow", kPrimaryTaskbarBelow, 1000, 750, 200, 100, 824, 628},
        PlacementCase{"RightOfATaskbarLeft", kPrimaryTaskbarLeft, 20, 700, 200, 100, 60, 668},
        PlacementCase{"OnAMonitorLeftOfThePrimary", kLeftOfPrimary, -900, 300, 200, 100, -900, 300},
        PlacementCase{"LeftMonitorsRightEdge", kLeftOfPrimary, -1, 1023, 200, 100, -200, 924},
        PlacementCase{"OnAMonitorAboveThePrimary", kAbovePrimary, 500, -700, 200, 100, 500, -700},
        PlacementCase{"UpperMonitorsBottomEdge", kAbovePrimary, 1000, -1, 200, 100, 824, -100},
        PlacementCase{"OnAMonitorRightOfThePrimary", kRightOfPrimary, 1500, 300, 200, 100, 1500,
                      300},
        PlacementCase{"RightMonitorsCorner", kRightOfPrimary, 2047, 767, 200, 100, 1848, 668},
        PlacementCase{"LeftOfAndAboveThePrimary", kLeftAndAbove, -700, -300, 200, 100, -840, -380},
        // Wider or taller than the area: the left or top edge stays on it.
        PlacementCase{"WiderThanTheArea", kLeftOfPrimary, -100, 50, 1500, 100, -1280, 50},
        PlacementCase{"TallerThanTheArea", kAbovePrimary, 30, -10, 200, 900, 30, -768},
        PlacementCase{"NoSize", kPrimary, 1024, 768, 0, -5, 1024, 768},
        PlacementCase{"AtTheEndsOfTheRange",
                      {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                      INT_MAX,
                      INT_MIN,
                      INT_MAX,
                      10,
                      0,
                      INT_MIN}),
    [](const ::testing::TestParamInfo<PlacementCase> &param) {
      return std::string(param.param.name);
    });

} // namespace
