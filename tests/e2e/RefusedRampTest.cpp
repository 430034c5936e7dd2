#include "tests/e2e/ResidentFixture.h"
#include "tests/ui/ShellTrayTips.h"

#include "hook/HookCommands.h"

#include <windows.h>

#include <string>

namespace {

// The shell shows a balloon 2 s after the last request and keeps it 10 s.
const unsigned kBalloonWaitMs = 6000;

// Wine, like a display driver, refuses gamma 0.8 with dark level 12 and
// takes 2.0 with level 8.
const std::uint32_t kRefusedGamma = 8000, kRefusedLevel = 12;
const std::uint32_t kTakenGamma = 20000, kTakenLevel = 8;

class RefusedRampTest : public ResidentFixture {
protected:
  void Post(WPARAM code, int times = 1) {
    for (int i = 0; i < times; ++i)
      EXPECT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, code, 0));
  }
  // Balloon requests the program has made, as it records them on its window.
  int BalloonRequests() {
    EXPECT_TRUE(WaitForPostedMessages());
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(GetPropA(resident.Window(), "QuilloraBalloonRequests")));
  }
  // The balloon's text once the shell shows one that contains `word`.
  static std::string WaitForBalloon(const std::string &word) {
    DWORD start = GetTickCount();
    std::string text;
    while ((text = ReadShellBalloon()).find(word) == std::string::npos &&
           GetTickCount() - start < kBalloonWaitMs)
      Sleep(50);
    return text;
  }
};

TEST_F(RefusedRampTest, ABurstOfRefusedHotKeysShowsOneBalloonUntilARampIsTaken) {
  SetPresetValue("Gamma1", kRefusedGamma);
  SetPresetValue("Adjust1", kRefusedLevel);
  SetPresetValue("Gamma2", kTakenGamma);
  SetPresetValue("Adjust2", kTakenLevel);
  ASSERT_TRUE(StartResident(ProgramPath()));
  EXPECT_EQ(BalloonRequests(), 0);

  resident.Suspend();
  Post(HOOKCMD_PRESET1, 100);
  resident.Resume();
  EXPECT_EQ(BalloonRequests(), 1);
  ExpectStill(startRamp, 0);
  std::string balloon = WaitForBalloon("ホットキー");
  EXPECT_NE(balloon.find("ガンマ範囲の制限を解除..."), std::string::npos) << balloon;

  Post(HOOKCMD_PRESET1);
  EXPECT_EQ(BalloonRequests(), 1) << "still the same run of refusals";
  Post(HOOKCMD_PRESET2);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(2.0, kTakenLevel), 2000));
  Post(HOOKCMD_PRESET1);
  EXPECT_EQ(BalloonRequests(), 2) << "a taken ramp ends the run";
}

TEST_F(RefusedRampTest, ARefusedResolutionFileShowsOneBalloon) {
  GammaFileContent content;
  content.width = 1024;
  content.height = 768;
  content.ramp = CurveRamp(0.8, kRefusedLevel);
  ASSERT_TRUE(WriteGammaFile(folder + "/dark.qlr", content));
  WriteConfig("*1024x768 dark.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  EXPECT_EQ(BalloonRequests(), 1);
  ExpectStill(startRamp, 0);
  EXPECT_NE(WaitForBalloon("この解像度").find("この解像度"), std::string::npos);
}

} // namespace
