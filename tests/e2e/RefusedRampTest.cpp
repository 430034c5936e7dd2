#include "tests/e2e/ResidentFixture.h"
#include "tests/ui/ShellTrayTips.h"

#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/MenuProbe.h"

#include "app/AppMessages.h"
#include "gamma/GammaRamp.h"
#include "hook/HookCommands.h"
#include "res/resource.h"

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
  // A gamma file the screen refuses, for a resolution or for any.
  void WriteRefusedFile(const std::string &name, std::int32_t width = 0, std::int32_t height = 0) {
    GammaFileContent content;
    content.width = width;
    content.height = height;
    content.ramp = CurveRamp(0.8, kRefusedLevel);
    ASSERT_TRUE(WriteGammaFile(folder + "/" + name, content));
  }
  // Exactly one balloon so far, naming `what`, and the screen unchanged.
  void ExpectOneBalloonNaming(const std::string &what) {
    EXPECT_EQ(BalloonRequests(), 1);
    ExpectStill(startRamp, 0);
    EXPECT_NE(WaitForBalloon(what).find(what), std::string::npos);
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
  WriteRefusedFile("dark.qlr", 1024, 768);
  WriteConfig("*1024x768 dark.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(ChangeDisplayMode(1024, 768));
  ExpectOneBalloonNaming("この解像度");
}

TEST_F(RefusedRampTest, ARefusedFileFromTheLoadCommandShowsOneBalloon) {
  WriteRefusedFile("dark.qlr");
  ASSERT_TRUE(StartResident(ProgramPath()));
  PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0);
  HWND open = WaitForDialog(resident.ProcessId(), "ガンマファイルの読みこみ", 20000);
  ASSERT_NE(open, nullptr);
  TypeFileName(open, WindowsPath(folder) + "\\dark.qlr");
  ASSERT_TRUE(WaitForWindowGone(open, 20000));
  EXPECT_TRUE(resident.Sync());
  ExpectOneBalloonNaming("読みこんだ");
}

TEST_F(RefusedRampTest, ARefusedDefaultLineShowsOneBalloonAtStart) {
  WriteRefusedFile("base.qlr");
  WriteConfig("*default base.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ExpectOneBalloonNaming("起動時");
}

// A driver may drop a ramp silently: SetDeviceGammaRamp returns TRUE and the
// display keeps what it had. The program built with such a driver
// (SilentDriver.cpp) reads each ramp back, and a ramp the display does not
// show counts as refused on every road, as a refusing driver's would.
class SilentDriverRoadsTest : public RefusedRampTest {
protected:
  static std::string SilentDriverPath() { return WindowsPath(SILENT_DRIVER_EXE); }
  int KeeperChecks() {
    EXPECT_TRUE(resident.Sync());
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(GetPropA(resident.Window(), "QuilloraKeepChecks")));
  }
};

// Every road in turn, the first at start: had any road counted its ramp as
// taken, the road after it would have shown a second balloon.
TEST_F(SilentDriverRoadsTest, EveryRoadCountsARampTheDisplayDoesNotShowAsRefused) {
  WriteRamp("base.qlr", 0, 0, 0, 0.7);
  WriteRamp("svga.qlr", 800, 600, 0, 1.6);
  WriteRamp("loaded.qlr", 0, 0, 0, 1.4);
  WriteConfig("*default base.qlr\r\n*800x600 svga.qlr\r\n");
  SetPresetValue("Gamma3", kTakenGamma);
  ASSERT_TRUE(StartResident(SilentDriverPath()));
  EXPECT_EQ(BalloonRequests(), 1) << "the default line at start";

  Post(HOOKCMD_PRESET3);
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ASSERT_TRUE(ChangeDisplayMode(640, 480)) << "no line: the default ramp";
  PostMessageA(resident.Window(), WM_COMMAND, IDM_RESTOREGAMMA, 0);
  PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0);
  HWND open = WaitForDialog(resident.ProcessId(), "ガンマファイルの読みこみ", 20000);
  ASSERT_NE(open, nullptr);
  TypeFileName(open, WindowsPath(folder) + "\\loaded.qlr");
  ASSERT_TRUE(WaitForWindowGone(open, 20000));

  PostMessageA(resident.Window(), WM_COMMAND, IDM_CREATEGAMMA, 0);
  HWND dialog = WaitForDialog(resident.ProcessId(), "ガンマ設定の作成", 20000);
  ASSERT_NE(dialog, nullptr);
  DragSlider(dialog, IDC_GAMMASLIDER, 12288);
  EXPECT_EQ(ItemText(dialog, IDC_REFUSEDTEXT), "画面がこのガンマを受け付けませんでした");
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitForWindowGone(dialog, 20000));

  Post(HOOKCMD_PRESET3);
  EXPECT_EQ(BalloonRequests(), 1);
  ExpectStill(startRamp, 0);
  // The keeper holds no ramp: a resume makes it check nothing.
  ASSERT_TRUE(resident.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
  Sleep(1500);
  EXPECT_EQ(KeeperChecks(), 0);
}

// A one-shot run whose ramp the display does not show tells the resident
// program nothing: after a reset the resident program puts back its own.
TEST_F(SilentDriverRoadsTest, AOneShotRunTheDisplayDoesNotShowSendsNoNotice) {
  std::vector<std::uint16_t> chosen = WriteRamp("chosen.qlr", 0, 0, 0, 1.6);
  SetPresetValue("Gamma3", kTakenGamma);
  ASSERT_TRUE(StartResident(ProgramPath()));
  Post(HOOKCMD_PRESET3);
  const std::vector<std::uint16_t> hotKey = CurveRamp(2.0, 0);
  ASSERT_TRUE(WaitForDisplayRamp(hotKey, 5000) && resident.Sync());
  ASSERT_EQ(RunCommandLine("\"" + SilentDriverPath() + "\" /E \"" + WindowsPath(folder) +
                               "\\chosen.qlr\"",
                           10000),
            0);
  ExpectStill(hotKey, 0);
  GammaRamp identity;
  identity.SetIdentity();
  ASSERT_TRUE(SetDisplayRamp(
      std::vector<std::uint16_t>(identity.Entries(), identity.Entries() + GammaRamp::kEntryCount)));
  ASSERT_TRUE(resident.Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
  EXPECT_TRUE(WaitForDisplayRamp(hotKey, 5000)) << "not the one-shot run's ramp";
}

const char kIcmKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM";

// GdiIcmGammaRange in the 64-bit view of HKLM, or -1 when it is missing.
long ReadGammaRange() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIcmKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS)
    return -1;
  DWORD value = 0, size = sizeof value, type = 0;
  LONG result = RegQueryValueExA(key, "GdiIcmGammaRange", nullptr, &type,
                                 reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(value) : -1;
}

void DeleteGammaRange() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIcmKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) ==
      ERROR_SUCCESS) {
    RegDeleteValueA(key, "GdiIcmGammaRange");
    RegCloseKey(key);
  }
}

// Runs a program by its full path and waits for its end; true when it ended.
bool RunToEnd(const std::string &program) {
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  bool ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

class GammaRangeUnlockTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    DeleteGammaRange();
  }
  void TearDown() override {
    ResidentFixture::TearDown();
    DeleteGammaRange();
  }
  // Chooses the entry and answers each of its message boxes in turn; the
  // text of the last one.
  std::string Choose(std::initializer_list<int> answers) {
    PostMessageA(resident.Window(), WM_COMMAND, IDM_UNLOCKGAMMARANGE, 0);
    std::string text;
    for (int answer : answers) {
      HWND box = WaitForDialog(resident.ProcessId(), "ガンマ範囲の制限", 20000);
      EXPECT_NE(box, nullptr);
      if (!box)
        return text;
      text = ItemText(box, 65535);
      PostMessageA(box, WM_COMMAND, answer, 0);
      EXPECT_TRUE(WaitForWindowGone(box, 20000));
    }
    return text;
  }
};

TEST_F(GammaRangeUnlockTest, YesWritesTheValueInThe64BitViewAndNoChangesNothing) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  EXPECT_EQ(TrayMenuCheck(resident, IDM_UNLOCKGAMMARANGE), 0);
  Choose({IDNO});
  EXPECT_EQ(ReadGammaRange(), -1) << "No changes nothing";
  EXPECT_EQ(TrayMenuCheck(resident, IDM_UNLOCKGAMMARANGE), 0);
  Choose({IDYES, IDOK});
  EXPECT_EQ(ReadGammaRange(), 256);
  EXPECT_EQ(TrayMenuCheck(resident, IDM_UNLOCKGAMMARANGE), 1);
  // Lifted already: one box that says so, and no question.
  Choose({IDOK});
  EXPECT_EQ(ReadGammaRange(), 256);
  // The mark follows the value each time the menu opens.
  DeleteGammaRange();
  EXPECT_EQ(TrayMenuCheck(resident, IDM_UNLOCKGAMMARANGE), 0);
}

// The program's folder is also the working folder when it starts with
// Windows, and a reg.exe placed there must never get the administrator
// prompt. Under Wine this passes with the unqualified name too (Wine's
// search finds the system's reg.exe first): GammaRangeUnlockCommand shows
// the full path the program asks for; this shows that path works.
TEST_F(GammaRangeUnlockTest, ARegExeBesideTheProgramDoesNotRun) {
  std::string binaries = std::string(QUILLORA_EXE).substr(0, std::string(QUILLORA_EXE).rfind('/'));
  for (const std::string &file :
       {binaries + "/quillora.exe", binaries + "/QuilHook.dll", std::string(STAND_IN_REG_EXE)}) {
    std::string name = file.substr(file.rfind('/') + 1);
    ASSERT_TRUE(
        CopyFileA(WindowsPath(file).c_str(), WindowsPath(folder + "/" + name).c_str(), FALSE))
        << name;
  }
  std::string ran = WindowsPath(folder) + "\\stand-in-reg-ran";
  // The stand-in, started by its own path, does leave its mark.
  ASSERT_TRUE(RunToEnd(WindowsPath(folder) + "\\reg.exe"));
  ASSERT_NE(GetFileAttributesA(ran.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(DeleteFileA(ran.c_str()));

  ASSERT_TRUE(StartResident(WindowsPath(folder) + "\\quillora.exe"));
  std::string said = Choose({IDYES, IDOK});
  EXPECT_NE(said.find("解除しました"), std::string::npos) << said;
  EXPECT_EQ(ReadGammaRange(), 256);
  EXPECT_EQ(GetFileAttributesA(ran.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
