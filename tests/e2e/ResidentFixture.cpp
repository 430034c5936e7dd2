#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "gamma/GammaRamp.h"

#include <cstdio>
#include <windows.h>

namespace {
const char *const kPresetKey = "Software\\Tessivo\\Quil";
}

bool SetDisplayMode(int width, int height) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsA(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
}

void DeletePresets() { RegDeleteKeyA(HKEY_CURRENT_USER, kPresetKey); }

void SetPresetValue(const char *name, std::uint32_t value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPresetKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD data = value;
  EXPECT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data),
                           sizeof data),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::vector<std::uint16_t> CurveRamp(double gamma, int darkLevel) {
  GammaRamp ramp;
  ramp.SetCurve(gamma, darkLevel);
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

// A folder per test, so that nothing one test leaves behind (a file, a
// configuration line) can decide another's result.
std::string ResidentFixture::TestFolderName() {
  const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char &c : name)
    if (c == '/')
      c = '_';
  return name;
}

void ResidentFixture::SetUp() {
  ASSERT_TRUE(SetDisplayMode(640, 480));
  std::string parent = FreshFolder(QUIL_TEST_BINARY_DIR, "resident");
  folder = FreshFolder(parent, TestFolderName());
  DeletePresets();
  startRamp = CurveRamp(0.9, 0);
  ASSERT_TRUE(SetDisplayRamp(startRamp));
}

void ResidentFixture::TearDown() {
  if (resident.IsRunning()) {
    EXPECT_EQ(resident.Close(10000), 0);
  }
  SetDisplayMode(1024, 768);
  DeletePresets();
}

std::vector<std::uint16_t> ResidentFixture::WriteRamp(const std::string &name, int width,
                                                      int height, int applyDelay,
                                                      double gamma) {
  GammaFileContent content;
  content.width = width;
  content.height = height;
  content.ramp = CurveRamp(gamma, 0);
  content.applyDelay = applyDelay;
  EXPECT_TRUE(WriteGammaFile(folder + "/" + name, content));
  return content.ramp;
}

void ResidentFixture::WriteConfig(const std::string &text) {
  std::vector<unsigned char> bytes(text.begin(), text.end());
  ASSERT_TRUE(WriteFileBytes(folder + "/quilcfg.txt", bytes));
}

std::string ResidentFixture::ProgramPath() const { return WindowsPath(QUILLORA_EXE); }

int ResidentFixture::StartResident(const std::string &program) {
  return resident.Start("\"" + program + "\"", WindowsPath(folder));
}

void ResidentFixture::ExpectStill(const std::vector<std::uint16_t> &ramp, unsigned ms) {
  Sleep(ms);
  ExpectDisplay(ramp);
}

void ResidentFixture::ExpectDisplay(const std::vector<std::uint16_t> &ramp) {
  if (resident.IsRunning()) {
    EXPECT_TRUE(resident.Sync()) << "the program does not answer";
  }
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(ramp));
}

bool ResidentFixture::ChangeDisplayMode(int width, int height) {
  return SetDisplayMode(width, height) && resident.Sync();
}

HWND WaitForProgramMenu(DWORD processId, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND menu = FindProcessWindow(processId, "#32768", true))
      return menu;
    if (GetTickCount() - start >= timeoutMs)
      return nullptr;
    Sleep(20);
  }
}

bool WaitForProgramMenuGone(DWORD processId, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (!FindProcessWindow(processId, "#32768", true))
      return true;
    if (GetTickCount() - start >= timeoutMs)
      return false;
    Sleep(20);
  }
}

bool ResidentFixture::WaitForPostedMessages() {
  if (!PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN))
    return false;
  HWND menu = WaitForProgramMenu(resident.ProcessId(), 20000);
  if (!menu)
    return false;
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  return WaitForProgramMenuGone(resident.ProcessId(), 20000) && resident.Sync();
}

void WaitUntil(DWORD tick) {
  for (;;) {
    auto left = static_cast<LONG>(tick - GetTickCount());
    if (left <= 0)
      return;
    Sleep(static_cast<DWORD>(left));
  }
}
