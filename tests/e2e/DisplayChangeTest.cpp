#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"

#include <windows.h>

namespace {

// The apply delay of svga.qlr, and how late its timer may fire on a busy
// machine and still count as firing.
const DWORD kDelay = 2000;
const DWORD kLate = 1500;

class DisplayChangeTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    base = WriteRamp("base.qlr", 0, 0, 0, 1.3);
    atOnce = WriteRamp("xga.qlr", 1024, 768, 0, 1.6);
    delayed = WriteRamp("svga.qlr", 0, 0, kDelay, 2.0);
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

  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  ExpectDisplay(atOnce);

  DWORD changed = GetTickCount();
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  if (GetTickCount() - changed < kDelay / 2) {
    ExpectDisplay(atOnce);
  }
  EXPECT_TRUE(WaitForDisplayRamp(delayed, kDelay + kLate));

  ASSERT_TRUE(ChangeDisplayMode(640, 480));
  ExpectDisplay(base);
}

// The timer of the dropped ramp still fires; it must find nothing to apply.
TEST_F(DisplayChangeTest, LaterChangeDropsThePendingRamp) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  DWORD changed = GetTickCount();
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ASSERT_TRUE(ChangeDisplayMode(640, 480));
  ExpectDisplay(base);
  WaitUntil(changed + kDelay + kLate);
  ExpectDisplay(base);
}

TEST_F(DisplayChangeTest, NewDelayRestartsTheTimer) {
  WriteConfig("*800x600 svga.qlr\r\nshort.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  DWORD changed = GetTickCount();
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(shortDelay, kDelay));
  // The first timer, had it kept running, would have applied its file by now.
  WaitUntil(changed + kDelay + kLate);
  ExpectDisplay(shortDelay);
}

TEST_F(DisplayChangeTest, TimerOfAnotherIdentifierIsIgnored) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  DWORD changed = GetTickCount();
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ASSERT_TRUE(resident.Send(WM_TIMER, kPendingRampTimer + 1, 0));
  // Checked only while timer 1 cannot have fired yet.
  if (GetTickCount() - changed < kDelay / 2) {
    ExpectDisplay(base);
  }
  EXPECT_TRUE(WaitForDisplayRamp(delayed, kDelay + kLate));
}

TEST_F(DisplayChangeTest, FirstOfTwoEntriesForOneSizeWins) {
  WriteRamp("second.qlr", 1024, 768, 0, 2.5);
  WriteConfig("*1024x768 xga.qlr\n*1024x768 second.qlr\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  ExpectDisplay(atOnce);
}

TEST_F(DisplayChangeTest, EmptyTableAppliesNothing) {
  WriteConfig("*default base.qlr\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(WaitForDisplayRamp(base, 0));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  ExpectDisplay(startRamp);
}

TEST_F(DisplayChangeTest, ColourDepthIsIgnored) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  ExpectDisplay(atOnce);
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  // Only the depth differs; the dummy screen cannot switch depths, so the
  // notification is sent as the system would send it.
  ASSERT_TRUE(resident.Send(WM_DISPLAYCHANGE, 16, MAKELPARAM(1024, 768)));
  ExpectDisplay(atOnce);
}

// The ramp would be applied when timer 1 fired; the program ends before
// that moment, and the display is checked after it.
TEST_F(DisplayChangeTest, ExitWhileARampIsPendingAppliesNothing) {
  WriteConfig(kTable);
  ASSERT_TRUE(StartResident(ProgramPath()));
  DWORD changed = GetTickCount();
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ASSERT_EQ(resident.Close(kDelay), 0);
  ASSERT_LT(GetTickCount() - changed, kDelay) << "ended too late to show anything";
  WaitUntil(changed + kDelay + kLate);
  ExpectDisplay(base);
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
  resident.Resume();
  EXPECT_TRUE(WaitForDisplayRamp(nextToLast, 20000));
  // Had the last change taken effect after all, it would have once the
  // program has handled everything posted.
  ASSERT_TRUE(WaitForPostedMessages());
  ExpectDisplay(nextToLast);
  EXPECT_TRUE(resident.IsRunning());
}

} // namespace
