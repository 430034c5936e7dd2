#include "tests/e2e/ResidentFixture.h"

#include <windows.h>

namespace {

const unsigned kSoon = 1500;

class DisplayChangeTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    base = WriteRamp("base.qlr", 0, 0, 0, 1.3);
    atOnce = WriteRamp("xga.qlr", 1024, 768, 0, 1.6);
    delayed = WriteRamp("svga.qlr", 0, 0, 2000, 2.0);
    shortDelay = WriteRamp("short.qlr", 1024, 768, 500, 0.7);
  }

  std::vector<std::uint16_t> base, atOnce, delayed, shortDelay;
};

const char *const kTable = "*default base.qlr\r\n"
                           "*1024x768 xga.qlr\r\n"
                           "*800x600 svga.qlr\r\n";

TEST_F(DisplayChangeTest, EachResolutionGetsItsFileAtOnceOrAfterItsDelay) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  EXPECT_TRUE(WaitForDisplayRamp(base, 0)) << "the default ramp is applied at start";

  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(atOnce, kSoon));

  ASSERT_TRUE(SetDisplayMode(800, 600));
  ExpectStill(atOnce, 1000);
  EXPECT_TRUE(WaitForDisplayRamp(delayed, 3000));

  ASSERT_TRUE(SetDisplayMode(640, 480));
  EXPECT_TRUE(WaitForDisplayRamp(base, kSoon)) << "no entry: the base ramp";
}

TEST_F(DisplayChangeTest, LaterChangeDropsThePendingRamp) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  ASSERT_TRUE(SetDisplayMode(800, 600));
  ASSERT_TRUE(SetDisplayMode(640, 480));
  EXPECT_TRUE(WaitForDisplayRamp(base, kSoon));
  ExpectStill(base, 2500);
}

TEST_F(DisplayChangeTest, NewDelayRestartsTheTimer) {
  WriteConfig("*800x600 svga.qlr\r\nshort.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayMode(800, 600));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(shortDelay, kSoon));
  ExpectStill(shortDelay, 2500);
}

TEST_F(DisplayChangeTest, TimerOfAnotherIdentifierIsIgnored) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayMode(800, 600));
  PostMessageA(resident.Window(), WM_TIMER, 2, 0);
  ExpectStill(base, 1000);
  EXPECT_TRUE(WaitForDisplayRamp(delayed, 3000));
}

TEST_F(DisplayChangeTest, FirstOfTwoEntriesForOneSizeWins) {
  WriteRamp("second.qlr", 1024, 768, 0, 2.5);
  WriteConfig("*1024x768 xga.qlr\n*1024x768 second.qlr\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(atOnce, kSoon));
  ExpectStill(atOnce, 500);
}

TEST_F(DisplayChangeTest, EmptyTableAppliesNothing) {
  WriteConfig("*default base.qlr\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(WaitForDisplayRamp(base, 0));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  ExpectStill(startRamp, 1000);
}

TEST_F(DisplayChangeTest, ColourDepthIsIgnored) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  ASSERT_TRUE(WaitForDisplayRamp(atOnce, kSoon));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  // Only the depth differs; the dummy screen cannot switch depths, so the
  // notification is sent as the system would send it.
  SendMessageA(resident.Window(), WM_DISPLAYCHANGE, 16, MAKELPARAM(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(atOnce, kSoon));
}

TEST_F(DisplayChangeTest, ExitWhileARampIsPendingAppliesNothing) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayMode(800, 600));
  EXPECT_EQ(resident.Close(5000), 0);
  ExpectStill(base, 2500);
}

TEST_F(DisplayChangeTest, QueuedBurstOfChangesIsHandledInTurn) {
  // Each change applies its file at once, and a change that arrives while
  // the one before it applies its ramp is passed over: of a queued burst
  // every second change takes effect, the last of them the next to last.
  WriteRamp("a.qlr", 1024, 768, 0, 1.6);
  WriteRamp("b.qlr", 800, 600, 0, 1.6);
  std::vector<std::uint16_t> nextToLast = WriteRamp("c.qlr", 640, 480, 0, 2.0);
  WriteRamp("d.qlr", 1280, 1024, 0, 2.5);
  WriteConfig("a.qlr\nb.qlr\nc.qlr\nd.qlr\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND window = resident.Window();
  const int kChanges = 2000;
  resident.Suspend();
  for (int i = 0; i < kChanges - 2; ++i) {
    LPARAM size = (i % 2) ? MAKELPARAM(1024, 768) : MAKELPARAM(800, 600);
    EXPECT_TRUE(PostMessageA(window, WM_DISPLAYCHANGE, 32, size));
  }
  PostMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
  PostMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
  DWORD start = GetTickCount();
  resident.Resume();
  EXPECT_TRUE(WaitForDisplayRamp(nextToLast, 20000));
  EXPECT_LT(GetTickCount() - start, 20000u);
  ExpectStill(nextToLast, 1000);
  EXPECT_TRUE(resident.IsRunning());
}

} // namespace
