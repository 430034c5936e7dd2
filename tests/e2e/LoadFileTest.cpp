#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"

#include <windows.h>

#include <ostream>

namespace {

const char kOpenCaption[] = "ガンマファイルの読みこみ";
const unsigned kWaitMs = 10000;

struct LoadCase {
  const char *name;
  bool goodMagic;
  bool cancel;
  bool applies;
};

void PrintTo(const LoadCase &loadCase, std::ostream *out) {
  *out << loadCase.name;
}

class LoadFileTest : public ResidentFixture, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadFileTest, OnlyAChosenGammaFileIsApplied) {
  GammaFileContent content;
  content.ramp = CurveRamp(1.3, 0);
  std::vector<unsigned char> bytes = GammaFileBytes(content);
  if (!GetParam().goodMagic)
    bytes[7] = '2';
  ASSERT_TRUE(WriteFileBytes(folder + "/読みこみ.qlr", bytes));
  ASSERT_TRUE(StartResident(ProgramPath()));

  PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0);
  HWND open = WaitForDialog(resident.ProcessId(), kOpenCaption, kWaitMs);
  ASSERT_NE(open, nullptr);
  if (GetParam().cancel)
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
  else
    TypeFileName(open, WindowsPath(folder) + "\\読みこみ.qlr");
  ASSERT_TRUE(WaitForWindowGone(open, kWaitMs));
  if (GetParam().applies)
    EXPECT_TRUE(WaitForDisplayRamp(content.ramp, 2000));
  else
    ExpectStill(startRamp, 500);

  // The command is over: the next one runs.
  PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0);
  open = WaitForDialog(resident.ProcessId(), kOpenCaption, kWaitMs);
  ASSERT_NE(open, nullptr);
  PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitForWindowGone(open, kWaitMs));
}

INSTANTIATE_TEST_SUITE_P(Files, LoadFileTest,
                         ::testing::Values(LoadCase{"GoodFile", true, false, true},
                                           LoadCase{"WrongMagic", false, false, false},
                                           LoadCase{"Cancel", true, true, false}),
                         [](const ::testing::TestParamInfo<LoadCase> &param) {
                           return std::string(param.param.name);
                         });

} // namespace
