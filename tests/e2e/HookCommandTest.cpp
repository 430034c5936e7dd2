#include "tests/e2e/ResidentFixture.h"

#include "hook/HookCommands.h"

#include <windows.h>

namespace {

const unsigned kSoon = 2000;

class HookCommandTest : public ResidentFixture {
protected:
  // As the hook library sends them.
  void Post(WPARAM code, int times = 1) {
    for (int i = 0; i < times; ++i)
      EXPECT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, code, 0));
  }
  // Returns once the program has handled the command.
  void Send(WPARAM code) { EXPECT_TRUE(resident.Send(WM_HOOKCOMMAND, code, 0)) << code; }
};

// Entries of the gamma 2.0, dark level 0 curve, worked out by hand (index,
// value); all three channels are equal.
const int kGammaTwoEntries[][2] = {{0, 0},       {1, 3840},    {64, 32512}, {128, 46080},
                                   {192, 56576}, {254, 65024}, {255, 65280}};

// Polls until the display holds those entries in every channel.
bool WaitForGammaTwo(unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    std::vector<int> high = HighBytes(ReadDisplayRamp());
    bool all = high.size() == 768;
    for (const auto &entry : kGammaTwoEntries)
      for (int channel = 0; all && channel < 3; ++channel)
        all = high[channel * 256 + entry[0]] == entry[1] >> 8;
    if (all)
      return true;
    if (GetTickCount() - start >= timeoutMs)
      return false;
    Sleep(20);
  }
}

TEST_F(HookCommandTest, PresetsComeFromTheRegistry) {
  SetPresetValue("Gamma2", 20000);
  SetPresetValue("Gamma7", 30000);
  ASSERT_TRUE(StartResident(ProgramPath()));
  Post(HOOKCMD_PRESET2);
  EXPECT_TRUE(WaitForGammaTwo(kSoon));
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

// The display refuses a curve below gamma 1 with a dark level, so "nothing
// applied" is shown with a preset of level 0, whose curve it takes; the
// level of a refused preset shows in the step that follows.
TEST_F(HookCommandTest, PresetBelowTheFloorSetsOnlyTheDarkLevel) {
  SetPresetValue("Gamma5", 6000);
  SetPresetValue("Gamma6", 6000);
  SetPresetValue("Adjust6", 1);
  std::vector<std::uint16_t> refused = CurveRamp(0.6, 0);
  ASSERT_NE(HighBytes(refused), HighBytes(startRamp));
  ASSERT_TRUE(SetDisplayRamp(refused)) << "the display would show the preset if applied";
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  ASSERT_TRUE(StartResident(ProgramPath()));
  Send(HOOKCMD_PRESET5);
  ExpectDisplay(startRamp);
  Send(HOOKCMD_PRESET6);
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
  // Gamma 1.0 with level 0 is j * 256 at every entry. On the display it
  // looks like the identity ramp; the entries are told apart in the
  // handler's own test.
  std::vector<std::uint16_t> reset(768);
  for (int i = 0; i < 768; ++i)
    reset[i] = static_cast<std::uint16_t>(i % 256 * 256);
  EXPECT_TRUE(WaitForDisplayRamp(reset, kSoon));
  // The reset gamma is where the next step starts.
  Post(HOOKCMD_GAMMADOWN);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(0.975, 0), kSoon));
}

TEST_F(HookCommandTest, UnknownCodesChangeNothing) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  for (WPARAM code : {10, 11, 12, 13, 14, 15, 18, 20, 21, 0x7FFFFFFF})
    Send(code);
  ExpectDisplay(startRamp);
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
  resident.Resume();
  double gamma = 1.0;
  for (int i = 0; i < kPairs; ++i) {
    gamma += 0.025;
    gamma -= 0.025;
  }
  for (int i = 0; i < kUp; ++i)
    gamma += 0.025;
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(gamma, 0), 20000));
  EXPECT_TRUE(resident.IsRunning());
  // Still answering: one more step lands where arithmetic says.
  Post(HOOKCMD_GAMMAUP);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(gamma + 0.025, 0), kSoon));
}

} // namespace
