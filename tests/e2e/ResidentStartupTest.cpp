#include "tests/e2e/ResidentFixture.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const unsigned kTimeoutMs = 10000;

// quillora.exe copied into the working folder, where its LoadLibraryA looks
// first, beside the recording stand-in for QuilHook.dll or without any.
class ResidentStartupTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    program = WindowsPath(folder + "/quillora.exe");
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE));
    logPath = folder + "/hook.log";
    SetEnvironmentVariableA("QUIL_HOOK_LOG", WindowsPath(logPath).c_str());
  }
  void TearDown() override {
    ResidentFixture::TearDown();
    SetEnvironmentVariableA("QUIL_HOOK_LOG", nullptr);
  }
  void AddRecordingHookLibrary() {
    ASSERT_TRUE(CopyFileA(WindowsPath(RECORDING_HOOK_DLL).c_str(),
                          WindowsPath(folder + "/QuilHook.dll").c_str(), FALSE));
  }
  std::string HookLog() const {
    std::ifstream file(logPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  static std::string WindowText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
  }

  std::string program, logPath;
};

TEST_F(ResidentStartupTest, FirstStartWithNothingConfigured) {
  ASSERT_TRUE(StartResident(program));
  HWND window = resident.Window();
  EXPECT_TRUE(TrayIconExists(window, 0));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_POPUP | WS_MINIMIZE | WS_DISABLED),
            WS_POPUP | WS_MINIMIZE | WS_DISABLED);
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
  // The start-up is over once the program answers (Start waited for that).
  ExpectDisplay(startRamp);

  EXPECT_EQ(resident.Close(kTimeoutMs), 0);
  EXPECT_FALSE(TrayIconExists(window, 0));
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(startRamp)) << "nothing is applied at exit";
}

TEST_F(ResidentStartupTest, HookStartsWithTheMainWindowAndEndsAtExit) {
  AddRecordingHookLibrary();
  ASSERT_TRUE(StartResident(program));
  std::string started = "load\r\nStartHook QuilHook.dll\r\nRegisterQuilWindow " +
                        WindowText(resident.Window()) + "\r\n";
  EXPECT_EQ(HookLog(), started);
  EXPECT_EQ(resident.Close(kTimeoutMs), 0);
  EXPECT_EQ(HookLog(), started + "EndHook\r\nunload\r\n");
}

TEST_F(ResidentStartupTest, HookDisabledInTheRegistryIsLoadedButNotStarted) {
  AddRecordingHookLibrary();
  SetPresetValue("HookEnabled", 0);
  ASSERT_TRUE(StartResident(program));
  EXPECT_EQ(HookLog(), "load\r\n");
  EXPECT_EQ(resident.Close(kTimeoutMs), 0);
  EXPECT_EQ(HookLog(), "load\r\nunload\r\n");
}

TEST_F(ResidentStartupTest, OneInstanceAtATime) {
  ASSERT_TRUE(StartResident(program));
  HWND first = resident.Window();
  // A second start without arguments ends at once and changes nothing.
  EXPECT_EQ(RunCommandLine("\"" + program + "\"", kTimeoutMs), 0);
  EXPECT_TRUE(resident.IsRunning());
  EXPECT_TRUE(TrayIconExists(first, 0));

  // A one-shot start still applies its file while an instance runs.
  std::vector<std::uint16_t> file = WriteRamp("once.qlr", 0, 0, 0, 1.8);
  EXPECT_EQ(RunCommandLine("\"" + program + "\" /E " + WindowsPath(folder + "/once.qlr"),
                          kTimeoutMs),
            0);
  EXPECT_TRUE(WaitForDisplayRamp(file, 0));

  // After the end the mutex is gone: the next start becomes resident.
  EXPECT_EQ(resident.Close(kTimeoutMs), 0);
  ResidentProcess next;
  ASSERT_TRUE(next.Start("\"" + program + "\"", WindowsPath(folder)));
  EXPECT_TRUE(TrayIconExists(next.Window(), 0));
  EXPECT_EQ(next.Close(kTimeoutMs), 0);
}

TEST_F(ResidentStartupTest, UnquotedProgramPathHasNoArgumentText) {
  std::vector<std::uint16_t> file = WriteRamp("once.qlr", 0, 0, 0, 1.8);
  ASSERT_TRUE(resident.Start(program + " /E \"once.qlr\"", WindowsPath(folder)))
      << "without a quoted program path the start is one without arguments";
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(startRamp));
}

TEST_F(ResidentStartupTest, CloseEndsTheRunThroughTheShutdown) {
  AddRecordingHookLibrary();
  ASSERT_TRUE(StartResident(program));
  SendMessageA(resident.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(resident.WaitForExit(kTimeoutMs), 0);
  std::string log = HookLog();
  EXPECT_NE(log.find("EndHook\r\nunload\r\n"), std::string::npos) << log;
}

TEST_F(ResidentStartupTest, JapaneseFolderNamesStayWhole) {
  // Both names hold bytes of 0x80 and above, and "表" has 0x5C, a backslash,
  // as its second byte.
  ASSERT_TRUE(CreateDirectoryA(WindowsPath(folder + "/表示ガンマ").c_str(), nullptr));
  std::vector<std::uint16_t> base = WriteRamp("表示ガンマ/ソフト.qlr", 0, 0, 0, 1.3);
  std::vector<std::uint16_t> wide = WriteRamp("表示ガンマ/高解像度.qlr", 1024, 768, 0, 1.7);
  WriteConfig("*default 表示ガンマ\\ソフト.qlr\r\n表示ガンマ\\高解像度.qlr\r\n");
  ASSERT_TRUE(StartResident(program));
  EXPECT_TRUE(WaitForDisplayRamp(base, 0));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(wide, 2000));
}

} // namespace
