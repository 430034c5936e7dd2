// The resident start-up and the tray icon's upkeep, in this process: the
// main window, its handler and the shell are real; the message filter's
// functions are this file's, which record each call (Wine has no integrity
// levels, so it cannot show that an elevated program hears a normal one; it
// can only show that the program asks for it, on which window, for which
// message).
#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/RampRefusal.h"
#include "app/ResidentStartup.h"
#include "tests/support/ResidentProcess.h"
#include "tests/ui/ShellTrayTips.h"
#include "ui/MessageFilter.h"
#include "ui/TrayIcon.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FilterCall {
  HWND window;
  UINT message;
  DWORD action;
  void *status;
};
std::vector<FilterCall> filterCalls;

BOOL WINAPI RecordWindowFilter(HWND window, UINT message, DWORD action, void *status) {
  filterCalls.push_back({window, message, action, status});
  return TRUE;
}

} // namespace

MessageFilterFunctions FindMessageFilterFunctions() {
  return {RecordWindowFilter, nullptr};
}

namespace {

const UINT kTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
// The retry timer fires every 2 s; a loaded machine may add to that.
const DWORD kRetryWait = 10000;

// What another program sees: the shell's answer for the main window's icon.
int ShellHoldsIcon() {
  return TrayIconExists(GetMainWindow(), 0);
}

// Takes the icon away behind the program's back, as a restarting Explorer
// does, or puts one of the same window and identifier there first.
int ShellIcon(DWORD action) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = GetMainWindow();
  data.uID = 0;
  data.uFlags = NIF_ICON;
  data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); // IDI_APPLICATION
  return Shell_NotifyIconA(action, &data) != FALSE;
}

int ShellShowsTip(const char *text) {
  for (const ShellTrayTip &tip : ReadShellTrayTips())
    if (tip.text == text)
      return 1;
  return 0;
}

// Runs the main window's messages, timers included, until the program's
// icon counts as shown or the time is up.
bool PumpUntilIconAdded(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!GetAppState().trayIcon->IsAdded() && GetTickCount() - start < timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&message);
  }
  return GetAppState().trayIcon->IsAdded() != 0;
}

// KillTimer says whether the timer ran (and stops it).
bool RetryTimerRuns() {
  return KillTimer(GetMainWindow(), kTrayIconRetryTimer) != FALSE;
}

class ResidentTrayTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(GetMainWindow(), nullptr);
    AppState &state = GetAppState();
    state.trayIcon = &trayIcon;
    state.refusalShown = 0;
    filterCalls.clear();
  }
  // Starts the resident program's parts in this process.
  void Start() {
    StartResident();
    started = true;
  }
  void TearDown() override {
    if (started)
      AppShutdown();
    trayIcon.Remove();
    KillTimer(GetMainWindow(), kTrayIconRetryTimer);
    AppState &state = GetAppState();
    state.trayIcon = nullptr;
    SetAppHandler(nullptr);
  }

  MainWindow mainWindow{WS_POPUP, WS_EX_TOOLWINDOW};
  TrayIcon trayIcon;
  bool started = false;
};

TEST_F(ResidentTrayTest, StartOpensTheMainWindowToCopyDataAndTaskbarCreated) {
  Start();
  ASSERT_EQ(filterCalls.size(), 2u);
  for (const FilterCall &call : filterCalls) {
    EXPECT_EQ(call.window, GetMainWindow());
    EXPECT_EQ(call.action, kMessageFilterAllow);
    EXPECT_EQ(call.status, nullptr);
  }
  EXPECT_TRUE(filterCalls[0].message == WM_COPYDATA || filterCalls[1].message == WM_COPYDATA);
  EXPECT_TRUE(filterCalls[0].message == kTaskbarCreated ||
              filterCalls[1].message == kTaskbarCreated);
}

TEST_F(ResidentTrayTest, StartShowsTheSmallIconWithItsTipAndNoRetryTimer) {
  Start();
  EXPECT_EQ(ShellHoldsIcon(), 1);
  EXPECT_EQ(trayIcon.IconData().hIcon, GetAppState().trayIconImage);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(GetAppState().trayIconImage, &info));
  BITMAP bitmap = {};
  ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof bitmap, &bitmap));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(ShellShowsTip("QUILLORA"), 1);
  EXPECT_FALSE(RetryTimerRuns());
}

TEST_F(ResidentTrayTest, TaskbarCreatedBringsBackTheIconWithItsTip) {
  Start();
  ASSERT_EQ(ShellHoldsIcon(), 1);
  ASSERT_TRUE(ShellIcon(NIM_DELETE)) << "Explorer restarted without the icon";
  ASSERT_EQ(ShellHoldsIcon(), 0);
  ASSERT_EQ(ShellShowsTip("QUILLORA"), 0);

  SendMessageA(GetMainWindow(), kTaskbarCreated, 0, 0);
  EXPECT_EQ(ShellHoldsIcon(), 1);
  EXPECT_EQ(ShellShowsTip("QUILLORA"), 1);
  EXPECT_FALSE(RetryTimerRuns());
}

// A balloon the shell refused was not seen: the next refusal tries again,
// and the one the shell took holds the rest of the run back.
TEST_F(ResidentTrayTest, RefusalBalloonCountsOnlyOnceTheShellTookIt) {
  Start();
  ASSERT_TRUE(ShellIcon(NIM_DELETE));
  ReportRefusal(GetAppState(), "テスト");
  EXPECT_EQ(GetAppState().refusalShown, 0) << "no icon to show it at";
  EXPECT_EQ(GetPropA(GetMainWindow(), "QuilloraBalloonRequests"), nullptr);

  SendMessageA(GetMainWindow(), kTaskbarCreated, 0, 0);
  ReportRefusal(GetAppState(), "テスト");
  EXPECT_EQ(GetAppState().refusalShown, 1);
  ReportRefusal(GetAppState(), "テスト");
  EXPECT_EQ(GetPropA(GetMainWindow(), "QuilloraBalloonRequests"), reinterpret_cast<HANDLE>(1))
      << "one balloon for the run";
}

// The shell refuses the first Add: here because it holds an icon of the
// same window and identifier, as a shell that is not ready at sign-in
// refuses every Add. The timer tries again until it takes the icon.
TEST_F(ResidentTrayTest, RefusedAddIsTriedAgainUntilTheShellTakesIt) {
  ASSERT_TRUE(ShellIcon(NIM_ADD));
  Start();
  EXPECT_EQ(trayIcon.IsAdded(), 0);
  // Left there, the stand-in would be adopted at the first retry (below);
  // taken away, the retry has to add the program's own icon.
  ASSERT_TRUE(ShellIcon(NIM_DELETE));
  ASSERT_TRUE(PumpUntilIconAdded(kRetryWait));
  EXPECT_EQ(ShellHoldsIcon(), 1);
  EXPECT_EQ(ShellShowsTip("QUILLORA"), 1);
  EXPECT_FALSE(RetryTimerRuns()) << "no timer while the icon is there";
}

// A shell too busy to answer in time may take the icon and still report a
// failure; the retry then finds it there, and stops.
TEST_F(ResidentTrayTest, IconTheShellTookDespiteAFailureStopsTheRetries) {
  ASSERT_TRUE(ShellIcon(NIM_ADD));
  Start();
  EXPECT_EQ(trayIcon.IsAdded(), 0);
  ASSERT_TRUE(PumpUntilIconAdded(kRetryWait));
  EXPECT_FALSE(RetryTimerRuns());
}

} // namespace
