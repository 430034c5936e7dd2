#include "tests/e2e/ResidentFixture.h"

#include "hook/HookCommands.h"

#include <windows.h>

namespace {

const unsigned kSoon = 2000;

class HookCommandTest : public ResidentFixture {
protected:
  void Post(WPARAM code, int times = 1) {
    for (int i = 0; i < times; ++i)
      EXPECT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, code, 0));
  }
};

TEST_F(HookCommandTest, PresetsComeFromTheRegistry) {
  SetPresetValue("Gamma2", 15000);
  SetPresetValue("Gamma7", 30000);
  ASSERT_TRUE(StartResident(ProgramPath()));
  Post(HOOKCMD_PRESET2);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.5, 0), kSoon));
  Post(HOOKCMD_PRESET7);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(3.0, 0), kSoon));
  Post(HOOKCMD_PRESET4); // no value stored: the default 1.4
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.4, 0), kSoon));
}

TEST_F(HookCommandTest, StepsDownStopAbove0Point7) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  double gamma = 1.0;
  for (int i = 0; i < 11; ++i)
    gamma -= 0.025;
  ASSERT_EQ(gamma, 0.7249999999999998);
  Post(HOOKCMD_GAMMADOWN, 11);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(gamma, 0), 5000));
  // The twelfth step is refused and leaves the gamma where it was, so the
  // next step up starts from 0.725.
  Post(HOOKCMD_GAMMADOWN);
  Post(HOOKCMD_GAMMAUP);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(gamma + 0.025, 0), kSoon));
}

TEST_F(HookCommandTest, StepsUpFromOne) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  Post(HOOKCMD_GAMMAUP, 4);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.0999999999999996, 0), 5000));
}

TEST_F(HookCommandTest, PresetBelowTheFloorSetsOnlyTheDarkLevel) {
  SetPresetValue("Gamma5", 6000);
  SetPresetValue("Adjust5", 1);
  ASSERT_TRUE(StartResident(ProgramPath()));
  Post(HOOKCMD_PRESET5);
  ExpectStill(startRamp, 700);
  Post(HOOKCMD_GAMMAUP);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.025, 1), kSoon));
}

TEST_F(HookCommandTest, ResetAppliesTheCurveForOneAndLevelZero) {
  SetPresetValue("Gamma1", 20000);
  SetPresetValue("Adjust1", 1);
  ASSERT_TRUE(StartResident(ProgramPath()));
  Post(HOOKCMD_PRESET1);
  ASSERT_TRUE(WaitForDisplayRamp(CurveRamp(2.0, 1), kSoon));
  Post(HOOKCMD_RESET);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.0, 0), kSoon));
  // The reset gamma is where the next step starts.
  Post(HOOKCMD_GAMMADOWN);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(0.975, 0), kSoon));
}

TEST_F(HookCommandTest, UnknownCodesChangeNothing) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  for (WPARAM code : {10, 11, 12, 13, 14, 15, 18, 20, 21, 0x7FFFFFFF})
    Post(code);
  ExpectStill(startRamp, 700);
  // Had any of them moved the gamma, this step would land elsewhere.
  Post(HOOKCMD_GAMMAUP);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.025, 0), kSoon));
}

TEST_F(HookCommandTest, QueuedBurstIsHandledInOrderWithoutNesting) {
  // Every one of these commands applies a ramp, and each applied ramp is
  // followed by a pause and a drain of the queue: handled one inside the
  // other they would take minutes and run out of stack.
  ASSERT_TRUE(StartResident(ProgramPath()));
  const int kPairs = 1000, kUp = 6;
  resident.Suspend();
  for (int i = 0; i < kPairs; ++i) {
    Post(HOOKCMD_GAMMAUP);
    Post(HOOKCMD_GAMMADOWN);
  }
  Post(HOOKCMD_GAMMAUP, kUp);
  DWORD start = GetTickCount();
  resident.Resume();
  double gamma = 1.0;
  for (int i = 0; i < kPairs; ++i) {
    gamma += 0.025;
    gamma -= 0.025;
  }
  for (int i = 0; i < kUp; ++i)
    gamma += 0.025;
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(gamma, 0), 20000));
  EXPECT_LT(GetTickCount() - start, 20000u);
  EXPECT_TRUE(resident.IsRunning());
  // Still answering: one more step lands where arithmetic says.
  Post(HOOKCMD_GAMMAUP);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(gamma + 0.025, 0), kSoon));
}

} // namespace
