#include "tests/e2e/MenuProbe.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::uint16_t> Ramp;

// Generous: the program acts on a timer, and a loaded machine may add to
// the few milliseconds it takes.
const unsigned kSoon = 3000;
// How far ahead of the test's clock the next time of a schedule lies: long
// enough for the program to start and show the ramp in force before it.
const long long kAheadMs = 4000;
// How long after a time a test waits before it says nothing changed.
const unsigned kPastTime = 1500;

// A time of day for a "*time" line, computed from the test's clock, which
// is the program's: the text, and the tick count at which it comes.
struct ClockTime {
  std::string text;
  DWORD tick;
};

// The whole second at or after `offsetMs` from now, round the clock.
ClockTime TimeFromNow(long long offsetMs) {
  SYSTEMTIME local;
  GetLocalTime(&local);
  DWORD now = GetTickCount();
  long long msOfDay =
      ((local.wHour * 60LL + local.wMinute) * 60 + local.wSecond) * 1000 + local.wMilliseconds;
  long long target = ((msOfDay + offsetMs) / 1000 + 1) * 1000;
  long long second = ((target / 1000) % 86400 + 86400) % 86400;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(second / 3600),
                static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
  return {text, static_cast<DWORD>(now + (target - msOfDay))};
}

bool Between(const std::vector<int> &shown, const std::vector<int> &a, const std::vector<int> &b) {
  for (std::size_t i = 0; i < shown.size(); ++i)
    if (shown[i] < std::min(a[i], b[i]) - 1 || shown[i] > std::max(a[i], b[i]) + 1)
      return false;
  return true;
}

class ScheduleTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    morning = WriteRamp("morning.qlr", 0, 0, 0, 1.2);
    evening = WriteRamp("evening.qlr", 0, 0, 0, 2.0);
  }

  // Morning an hour ago, evening kAheadMs ahead, with the fade line given;
  // the program starts and shows the morning ramp.
  void StartBeforeEvening(const std::string &fadeLine, const std::string &more = "") {
    eveningTime = TimeFromNow(kAheadMs);
    WriteConfig(more + "*time " + TimeFromNow(-3600 * 1000).text + " morning.qlr\r\n*time " +
                eveningTime.text + " evening.qlr\r\n" + fadeLine);
    ASSERT_TRUE(StartResident(ProgramPath()));
    ExpectDisplay(morning);
  }

  // How many ramps the schedule applied so far in this run.
  int ScheduleApplies() const {
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(GetPropA(resident.Window(), "QuilloraScheduleApplies")));
  }

  void Command(int command) {
    ASSERT_TRUE(resident.Send(WM_COMMAND, static_cast<WPARAM>(command), 0));
  }

  Ramp morning;
  Ramp evening;
  ClockTime eveningTime;
};

// A change is on time: not before its second, and soon after it.
TEST_F(ScheduleTest, WithoutAFadeTheEveningRampComesAtItsTime) {
  StartBeforeEvening("*fade 0\r\n");
  ASSERT_TRUE(WaitForDisplayRamp(evening, kAheadMs + kSoon));
  DWORD seen = GetTickCount();
  std::printf("the ramp came %ld ms after its time\n", static_cast<long>(seen - eveningTime.tick));
  // A tick count and the clock may drift apart by a few milliseconds.
  EXPECT_GE(static_cast<LONG>(seen - eveningTime.tick), -100);
  ExpectStill(evening, kPastTime);
}

// The display passes through ramps between the two, each a step of the
// fade, and ends on the file's ramp; changed settings meanwhile add none.
TEST_F(ScheduleTest, ATenSecondFadePassesThroughRampsBetweenAndEndsOnTheFile) {
  StartBeforeEvening("*fade 10s\r\n");
  const int appliesBefore = ScheduleApplies();
  const std::vector<int> from = HighBytes(morning);
  const std::vector<int> to = HighBytes(evening);
  std::set<std::vector<int>> between;
  DWORD firstChange = 0;
  DWORD end = eveningTime.tick + 10000 + 10000;
  std::vector<int> shown = HighBytes(ReadDisplayRamp());
  while (shown != to && static_cast<LONG>(end - GetTickCount()) > 0) {
    Sleep(100);
    // Settings change in bursts (a theme, a wallpaper): none of them may
    // add an apply to the fade's own steps.
    ASSERT_TRUE(resident.Send(WM_SETTINGCHANGE, 0, 0));
    shown = HighBytes(ReadDisplayRamp());
    if (shown != from && !firstChange)
      firstChange = GetTickCount();
    if (shown != from && shown != to) {
      EXPECT_TRUE(Between(shown, from, to)) << "a ramp outside the fade";
      between.insert(shown);
    }
  }
  EXPECT_EQ(to, shown);
  DWORD done = GetTickCount();
  std::printf("%d ramps between; changes began %ld ms after the time, ended %ld ms after it\n",
              static_cast<int>(between.size()), static_cast<long>(firstChange - eveningTime.tick),
              static_cast<long>(done - eveningTime.tick));
  EXPECT_GE(between.size(), 3u);
  // At most one apply a second: the ten steps, each of them a ramp the
  // display had not shown.
  ExpectStill(evening, kPastTime);
  int applies = ScheduleApplies() - appliesBefore;
  std::printf("%d ramps applied\n", applies);
  EXPECT_GE(applies, static_cast<int>(between.size()) + 1);
  EXPECT_LE(applies, 10);
  EXPECT_GE(static_cast<LONG>(firstChange - eveningTime.tick), -100);
  // The fade lasts its ten seconds: the end comes no sooner.
  EXPECT_GE(static_cast<LONG>(done - eveningTime.tick), 9000);
}

// Before the first time of the day, and after the last, the last one is in
// force; between them, the earlier.
TEST_F(ScheduleTest, StartsWithTheRampInForceRoundTheClock) {
  struct ClockCase {
    long long morningOffsetMs, eveningOffsetMs;
    bool eveningInForce;
  } const cases[] = {
      {3600 * 1000, 2 * 3600 * 1000, true},
      {-2 * 3600 * 1000, -3600 * 1000, true},
      {-3600 * 1000, 3600 * 1000, false},
      {2 * 3600 * 1000, 3600 * 1000, false},
  };
  for (const ClockCase &c : cases) {
    SCOPED_TRACE(testing::Message() << c.morningOffsetMs << " " << c.eveningOffsetMs);
    ASSERT_TRUE(SetDisplayRamp(startRamp));
    WriteConfig("*fade 0\r\n*time " + TimeFromNow(c.morningOffsetMs).text + " morning.qlr\r\n" +
                "*time " + TimeFromNow(c.eveningOffsetMs).text + " evening.qlr\r\n");
    ASSERT_TRUE(StartResident(ProgramPath()));
    ExpectDisplay(c.eveningInForce ? evening : morning);
    ASSERT_EQ(0, resident.Close(10000));
  }
}

// Each way the user chooses a ramp holds it until the next time, whatever
// comes meanwhile; then the schedule takes over again.
TEST_F(ScheduleTest, AHotKeyOrRestoreHoldsUntilTheNextTime) {
  enum Road { kHotKey, kRestore };
  for (Road road : {kHotKey, kRestore}) {
    SCOPED_TRACE(road == kHotKey ? "hot key" : "restore");
    SetPresetValue("Gamma3", 25000);
    StartBeforeEvening("*fade 0\r\n");
    Ramp chosen = road == kHotKey ? CurveRamp(2.5, 0) : CurveRamp(1.0, 0);
    if (road == kHotKey)
      ASSERT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_PRESET3, 0));
    else
      Command(IDM_RESTOREGAMMA);
    ASSERT_TRUE(WaitForDisplayRamp(chosen, kSoon));
    // Events after which the schedule works out what is in force leave the
    // held ramp alone.
    ASSERT_TRUE(resident.Send(WM_SETTINGCHANGE, 0, 0));
    ASSERT_TRUE(resident.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
    WaitUntil(eveningTime.tick - 700);
    ExpectDisplay(chosen);
    EXPECT_TRUE(WaitForDisplayRamp(evening, kSoon + 1000));
    ASSERT_EQ(0, resident.Close(10000));
  }
}

// Asleep, no timer fires; on waking the program works out what is in force
// now. Each event that may follow a time passing unseen catches up.
TEST_F(ScheduleTest, AfterSuspendTheWakingEventBringsTheRampInForceNow) {
  struct WakeCase {
    const char *name;
    UINT message;
    WPARAM wParam;
  } const cases[] = {
      {"resume (automatic)", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
      {"resume (user)", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
      {"unlock", WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK},
      {"clock changed", WM_TIMECHANGE, 0},
      {"setting changed (time zone)", WM_SETTINGCHANGE, 0},
  };
  for (const WakeCase &c : cases) {
    SCOPED_TRACE(c.name);
    StartBeforeEvening("*fade 0\r\n");
    ASSERT_TRUE(resident.Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
    WaitUntil(eveningTime.tick + kPastTime);
    ExpectDisplay(morning);
    ASSERT_TRUE(resident.Send(c.message, c.wParam, 0));
    ExpectDisplay(evening);
    ASSERT_EQ(0, resident.Close(10000));
  }
}

TEST_F(ScheduleTest, UncheckingStopsEveryChangeAndCheckingBringsTheRampInForce) {
  StartBeforeEvening("*fade 0\r\n");
  EXPECT_EQ(1, TrayMenuCheck(resident, IDM_SCHEDULE));
  Command(IDM_SCHEDULE);
  EXPECT_EQ(0, TrayMenuCheck(resident, IDM_SCHEDULE));
  WaitUntil(eveningTime.tick + kPastTime);
  ExpectDisplay(morning);
  // Nor does a waking event start it again.
  ASSERT_TRUE(resident.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
  ExpectDisplay(morning);
  Command(IDM_SCHEDULE);
  ExpectDisplay(evening);
  EXPECT_EQ(1, TrayMenuCheck(resident, IDM_SCHEDULE));
}

TEST_F(ScheduleTest, TheEntryIsGreyWithoutTimeLines) {
  struct EntryCase {
    const char *config;
    int greyed;
  } const cases[] = {
      {"*default evening.qlr\r\n", 1},
      {"*time 24:00 evening.qlr\r\n*time 7:00 missing.qlr\r\n", 1},
      {"*time 7:00 morning.qlr\r\n", 0},
  };
  for (const EntryCase &c : cases) {
    SCOPED_TRACE(c.config);
    WriteConfig(c.config);
    ASSERT_TRUE(StartResident(ProgramPath()));
    ASSERT_TRUE(PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN));
    HWND menu = WaitForProgramMenu(resident.ProcessId(), 20000);
    ASSERT_NE(nullptr, menu);
    int state = MenuProbe(resident.Window()).EntryState(menu, IDM_SCHEDULE);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitForProgramMenuGone(resident.ProcessId(), 20000));
    ASSERT_GE(state, 0);
    EXPECT_EQ(c.greyed, (state & MF_GRAYED) ? 1 : 0);
    EXPECT_EQ(!c.greyed, (state & MF_CHECKED) ? 1 : 0);
    ASSERT_EQ(0, resident.Close(10000));
  }
}

// A resolution with a line of its own keeps its file at a time; one without
// gets the scheduled ramp, not the default line's.
TEST_F(ScheduleTest, ResolutionLinesWinAndTheScheduleStandsInForTheDefault) {
  Ramp svga = WriteRamp("svga.qlr", 0, 0, 0, 1.6);
  WriteRamp("default.qlr", 0, 0, 0, 0.9);
  StartBeforeEvening("*fade 0\r\n", "*default default.qlr\r\n*800x600 svga.qlr\r\n");
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ExpectDisplay(svga);
  WaitUntil(eveningTime.tick + kPastTime);
  ExpectDisplay(svga);
  ASSERT_TRUE(ChangeDisplayMode(640, 480));
  ExpectDisplay(evening);
}

// Halfway through a fade the keeper keeps the ramp between: a fade of a
// day whose steps (337.5 s) do not come during the test.
TEST_F(ScheduleTest, TheKeeperPutsBackARampHalfwayThroughAFade) {
  WriteConfig("*fade 1440\r\n*time " + TimeFromNow(-6 * 3600 * 1000).text +
              " morning.qlr\r\n*time " + TimeFromNow(-12 * 3600 * 1000).text + " evening.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(resident.Sync());
  Ramp between = ReadDisplayRamp();
  EXPECT_NE(HighBytes(between), HighBytes(morning));
  EXPECT_NE(HighBytes(between), HighBytes(evening));
  EXPECT_TRUE(Between(HighBytes(between), HighBytes(evening), HighBytes(morning)));
  GammaRamp identity;
  identity.SetIdentity();
  Ramp reset(identity.Entries(), identity.Entries() + GammaRamp::kEntryCount);
  ASSERT_TRUE(SetDisplayRamp(reset));
  ASSERT_TRUE(resident.Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
  EXPECT_TRUE(WaitForDisplayRamp(between, 5000));
}

} // namespace
