// Every road by which a ramp reaches the screen, in this process, against a
// stand-in set of monitors: Wine has one X screen whose one ramp every
// monitor shares, and none in HDR, without gamma support or refusing while
// another takes the ramp. The calls that list the monitors, make their
// contexts and set or read a ramp are linked in place of the program's own
// (gamma/DisplayDevices.cpp, gamma/DeviceRamp.cpp, gamma/DesktopRamp.cpp);
// everything above them is the program's code, the registry included.
#include "app/AppMessageHandler.h"
#include "app/AppStartup.h"
#include "app/AppState.h"
#include "app/GammaKeeper.h"
#include "app/MenuCommands.h"
#include "app/RampRefusal.h"
#include "config/ConfigFile.h"
#include "config/MonitorSettings.h"
#include "gamma/DesktopRamp.h"
#include "gamma/DeviceRamp.h"
#include "gamma/DisplayDevices.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"
#include "tests/e2e/DialogDriver.h"
#include "tests/support/GammaFileWriter.h"
#include "tests/support/TestFolder.h"
#include "tests/ui/ShellTrayTips.h"
#include "ui/TrayIcon.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

typedef std::vector<std::uint16_t> Ramp;

struct StandIn {
  const char *device;
  const char *key;
  const char *name;
  int primary;
  int hdr;
  int takesRamps;
  int refuses;
  // What the program did to it.
  Ramp shown;
  int sets;
  int reads;
};

Ramp Identity() {
  Ramp ramp(GammaRamp::kEntryCount);
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    ramp[i] = static_cast<std::uint16_t>((i % 256) * 256 + 255);
  return ramp;
}

std::vector<StandIn> monitors;
std::map<HDC, int> contexts; // which monitor each context was made for
std::vector<HDC> staleContexts;
int contextsMade = 0;
int desktopAsked = 0;

StandIn *MonitorOf(HDC dc) {
  auto found = contexts.find(dc);
  return found == contexts.end() ? nullptr : &monitors[found->second];
}

} // namespace

int ListMonitors(MonitorInfo *list, int max) {
  int count = 0;
  for (const StandIn &monitor : monitors) {
    if (count == max)
      break;
    MonitorInfo &info = list[count++];
    std::memset(&info, 0, sizeof info);
    lstrcpynA(info.device, monitor.device, sizeof info.device);
    lstrcpynA(info.key, monitor.key, sizeof info.key);
    lstrcpynA(info.friendlyName, monitor.name, sizeof info.friendlyName);
    info.primary = monitor.primary;
    info.width = 1024;
    info.height = 768;
    info.hdr = monitor.hdr;
  }
  return count;
}

HDC OpenMonitorDC(const char *device) {
  for (std::size_t i = 0; i < monitors.size(); ++i)
    if (lstrcmpA(monitors[i].device, device) == 0) {
      HDC dc = CreateCompatibleDC(nullptr);
      contexts[dc] = static_cast<int>(i);
      ++contextsMade;
      return dc;
    }
  return nullptr;
}

int MonitorTakesRamps(HDC dc) {
  return MonitorOf(dc) && MonitorOf(dc)->takesRamps;
}

int SetDeviceRamp(HDC dc, const std::uint16_t *entries) {
  StandIn *monitor = MonitorOf(dc);
  for (HDC stale : staleContexts)
    if (stale == dc)
      return 0;
  if (!monitor || monitor->refuses || !monitor->takesRamps)
    return 0;
  monitor->shown.assign(entries, entries + GammaRamp::kEntryCount);
  ++monitor->sets;
  return 1;
}

int GetDeviceRamp(HDC dc, std::uint16_t *entries) {
  StandIn *monitor = MonitorOf(dc);
  if (!monitor || !monitor->takesRamps)
    return 0;
  ++monitor->reads;
  std::copy(monitor->shown.begin(), monitor->shown.end(), entries);
  return 1;
}

int SetDesktopRamp(const std::uint16_t *) {
  ++desktopAsked;
  return 0;
}

namespace {

const char kMonitorsKey[] = "Software\\Tessivo\\Quil\\Monitors";

void DeleteStoredChoices() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kMonitorsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  char name[128];
  while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS)
    if (RegDeleteKeyA(key, name) != ERROR_SUCCESS)
      break;
  RegCloseKey(key);
  RegDeleteKeyA(HKEY_CURRENT_USER, kMonitorsKey);
}

void StoreChoice(const char *key, int choice, const std::string &path) {
  MonitorSetting setting = {};
  lstrcpynA(setting.key, key, sizeof setting.key);
  lstrcpynA(setting.name, key, sizeof setting.name);
  setting.choice = choice;
  lstrcpynA(setting.path, path.c_str(), sizeof setting.path);
  ASSERT_TRUE(SaveMonitorSetting(setting)) << key;
}

int StoredChoice(void *, const char *key, char *path, int pathSize) {
  return LoadMonitorChoice(key, path, pathSize);
}

Ramp Curve(double gamma) {
  GammaRamp ramp;
  ramp.SetCurve(gamma, 0);
  return Ramp(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

// The six states of the plan, one monitor each; the one that refuses is
// left to follow, and the one in HDR has chosen a file of its own.
enum { kFollows, kLeftOut, kOwnFile, kInHdr, kNoGamma, kRefuses };

class MonitorRoadsTest : public ::testing::Test {
public:
  void SetUp() override {
    ASSERT_TRUE(folder.Ready());
    monitors = {
        {"\\\\.\\DISPLAY1", "AAA0001_T1", "Follows", 1, 0, 1, 0, {}, 0, 0},
        {"\\\\.\\DISPLAY2", "BBB0002_T2", "LeftOut", 0, 0, 1, 0, {}, 0, 0},
        {"\\\\.\\DISPLAY3", "CCC0003_T3", "OwnFile", 0, 0, 1, 0, {}, 0, 0},
        {"\\\\.\\DISPLAY4", "DDD0004_T4", "InHdr", 0, 1, 1, 0, {}, 0, 0},
        {"\\\\.\\DISPLAY5", "EEE0005_T5", "NoGamma", 0, 0, 0, 0, {}, 0, 0},
        {"\\\\.\\DISPLAY6", "FFF0006_T6", "Refuses", 0, 0, 1, 1, {}, 0, 0},
    };
    for (StandIn &monitor : monitors)
      monitor.shown = Identity();
    contexts.clear();
    staleContexts.clear();
    contextsMade = 0;
    desktopAsked = 0;
    own = Curve(2.2);
    WriteRamp("own.qlr", own, 0);
    DeleteStoredChoices();
    StoreChoice("BBB0002_T2", kMonitorLeftOut, "");
    StoreChoice("CCC0003_T3", kMonitorOwnFile, Path("own.qlr"));
    StoreChoice("DDD0004_T4", kMonitorOwnFile, Path("own.qlr"));
    SetMonitorChoiceSource(StoredChoice, nullptr);
    ForgetDisplayDevices();
    AppState &state = GetAppState();
    state.hotkeyRamp = &hotkeyRamp;
    state.baseRamp = &baseRamp;
    state.workRamp = &workRamp;
    state.hotkeyGamma = 1.0;
    state.hotkeyDarkLevel = 0;
  }
  void TearDown() override {
    AppState &state = GetAppState();
    FreeResolutionEntries(state.resolutionTable);
    state.resolutionTable = {};
    state.hotkeyRamp = nullptr;
    state.baseRamp = nullptr;
    state.workRamp = nullptr;
    state.pendingRamp = nullptr;
    SetMonitorChoiceSource(nullptr, nullptr);
    ForgetDisplayDevices();
    DeleteStoredChoices();
    // The plan deleted its contexts as it forgot them.
    contexts.clear();
  }

  static std::string Path(const std::string &name) {
    char full[MAX_PATH];
    GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    return full;
  }
  static void WriteRamp(const std::string &name, const Ramp &ramp, int delay) {
    GammaFileContent content;
    content.ramp = ramp;
    content.applyDelay = delay;
    ASSERT_TRUE(WriteGammaFile(name, content));
  }
  static void Send(UINT message, WPARAM wParam, LPARAM lParam) {
    unsigned char handled = 0;
    AppMessageHandler(nullptr, message, wParam, lParam, &handled);
  }
  void AddResolution(int width, int height, const std::string &file) {
    ResolutionEntry *tail = nullptr;
    AppState &state = GetAppState();
    for (ResolutionEntry *entry = state.resolutionTable.head; entry; entry = entry->next)
      tail = entry;
    AppendEntry(state.resolutionTable, &workRamp, Path(file).c_str(), tail, width, height);
  }

  // What the plan promises whatever road a ramp came by.
  void ExpectPlanKept(const Ramp &applied, const char *road) {
    SCOPED_TRACE(road);
    EXPECT_EQ(monitors[kFollows].shown, applied);
    EXPECT_EQ(monitors[kOwnFile].shown, own) << "the road reached the monitor with its own file";
    for (int untouched : {kLeftOut, kInHdr, kNoGamma, kRefuses}) {
      EXPECT_EQ(monitors[untouched].shown, Identity()) << monitors[untouched].name;
      EXPECT_EQ(monitors[untouched].sets, 0) << monitors[untouched].name;
    }
    for (int unread : {kLeftOut, kInHdr, kNoGamma})
      EXPECT_EQ(monitors[unread].reads, 0) << monitors[unread].name << " was read back";
    EXPECT_EQ(desktopAsked, 0) << "the desktop's DC would reach the monitors left alone";
  }

  TestFolder folder;
  Ramp own;
  GammaRamp hotkeyRamp;
  GammaRamp baseRamp;
  GammaRamp workRamp;
};

// The open dialogs of this process, answered from a thread of their own
// while the command's modal loop runs.
void AnswerFileDialog(const std::string &path) {
  HWND dialog = WaitForDialog(GetCurrentProcessId(), "ガンマファイルの読みこみ", 10000);
  if (dialog)
    TypeFileName(dialog, path);
}

void PreviewAndApply(int sliderPosition) {
  HWND dialog = WaitForDialog(GetCurrentProcessId(), "ガンマ設定の作成", 10000);
  if (!dialog)
    return;
  DragSlider(dialog, IDC_GAMMASLIDER, sliderPosition);
  ClickButton(dialog, IDC_APPLY);
}

TEST_F(MonitorRoadsTest, EveryRoadGoesByThePlan) {
  // The monitor with its own file takes it at start, as the resident
  // program does after its configuration.
  ApplyOwnRamps();
  ASSERT_EQ(monitors[kOwnFile].shown, own);

  struct Road {
    const char *what;
    Ramp ramp;
    std::function<void(const Ramp &)> take;
  };
  MonitorRoadsTest *test = this;
  const Road roads[] = {
      {"/E", Curve(1.3),
       [](const Ramp &ramp) {
         WriteRamp("e.qlr", ramp, 0);
         ApplyFileOnce(("/E \"" + Path("e.qlr") + "\"").c_str());
       }},
      {"hot key", Curve(1.6),
       [](const Ramp &) {
         GetAppState().presets.gamma[3] = 1.6;
         GetAppState().presets.darkLevel[3] = 0;
         Send(WM_HOOKCOMMAND, HOOKCMD_PRESET3, 0);
       }},
      {"resolution at once", Curve(1.7),
       [test](const Ramp &ramp) {
         WriteRamp("now.qlr", ramp, 0);
         test->AddResolution(800, 600, "now.qlr");
         Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
       }},
      {"resolution by timer", Curve(1.8),
       [test](const Ramp &ramp) {
         WriteRamp("later.qlr", ramp, 40);
         test->AddResolution(640, 480, "later.qlr");
         Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
         Send(WM_TIMER, kPendingRampTimer, 0);
       }},
      {"menu load", Curve(1.9),
       [](const Ramp &ramp) {
         WriteRamp("load.qlr", ramp, 0);
         std::thread answer(AnswerFileDialog, Path("load.qlr"));
         RunMenuCommand(IDM_LOADFILE);
         answer.join();
       }},
      {"restore", Curve(2.0),
       [test](const Ramp &) {
         test->baseRamp.SetCurve(2.0, 0);
         RunMenuCommand(IDM_RESTOREGAMMA);
       }},
      {"default line", Curve(2.1),
       [test](const Ramp &ramp) {
         WriteRamp("base.qlr", ramp, 0);
         std::ofstream("quilcfg.txt") << "*default " << Path("base.qlr") << "\n";
         FreeResolutionEntries(GetAppState().resolutionTable);
         GetAppState().resolutionTable = {};
         ReadConfigFile(GetAppState().resolutionTable, &test->baseRamp, &test->workRamp);
       }},
      {"creation preview", Curve(1.5),
       [](const Ramp &) {
         std::thread answer(PreviewAndApply, 8192 * 3 / 2);
         RunMenuCommand(IDM_CREATEGAMMA);
         answer.join();
       }},
  };
  for (const Road &road : roads) {
    road.take(road.ramp);
    ExpectPlanKept(road.ramp, road.what);
  }
}

TEST_F(MonitorRoadsTest, TheKeeperPutsBackEachMonitorsOwnRamp) {
  HWND window =
      CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  {
    GammaKeeper keeper(window);
    GetAppState().gammaKeeper = &keeper;
    ApplyOwnRamps();
    Send(WM_HOOKCOMMAND, HOOKCMD_RESET, 0);
    GammaRamp up;
    up.SetCurve(1.4, 0);
    ASSERT_EQ(up.Apply(), 1);
    // A reset: every monitor back on the identity.
    for (StandIn &monitor : monitors)
      monitor.shown = Identity();
    keeper.OnSystemEvent(WM_SETTINGCHANGE, 0, 0);
    keeper.OnSettleTimer(0);
    GetAppState().gammaKeeper = nullptr;
  }
  DestroyWindow(window);
  ExpectPlanKept(Curve(1.4), "keeper");
}

TEST_F(MonitorRoadsTest, OutcomeNamesTheRefusingAndTheSparedMonitors) {
  GammaRamp ramp;
  ramp.SetCurve(1.2, 0);
  ApplyOutcome outcome;
  EXPECT_EQ(ramp.Apply(&outcome), 1);
  EXPECT_EQ(outcome.monitorCount, 6);
  EXPECT_EQ(outcome.monitorsMeant, 2);
  EXPECT_EQ(outcome.monitorsTaken, 1);
  EXPECT_STREQ(outcome.refused, "Refuses (6)");
  EXPECT_STREQ(outcome.spared, "InHdr (4)");
  EXPECT_EQ(outcome.noGammaSupport, 0);
}

// The states a monitor set can be in when no monitor takes the ramp, and
// what an apply answers: only a set without gamma support says so.
TEST_F(MonitorRoadsTest, NoMonitorTakingTheRampIsToldApartFromARefusal) {
  struct Case {
    const char *what;
    std::vector<int> kept; // monitors of the standard set
    int taken;
    int noGammaSupport;
    int desktopAsked;
  };
  const Case cases[] = {
      {"none supports ramps", {kNoGamma}, 0, 1, 1},
      {"one refuses, one without support", {kRefuses, kNoGamma}, 0, 0, 1},
      {"left out and in HDR only: nothing is meant", {kLeftOut, kInHdr}, 1, 0, 0},
      {"no monitor listed", {}, 0, 0, 1},
  };
  std::vector<StandIn> all = monitors;
  for (const Case &c : cases) {
    monitors.clear();
    for (int index : c.kept)
      monitors.push_back(all[index]);
    ForgetDisplayDevices();
    desktopAsked = 0;
    GammaRamp ramp;
    ramp.SetCurve(1.2, 0);
    ApplyOutcome outcome;
    EXPECT_EQ(ramp.Apply(&outcome), c.taken) << c.what;
    EXPECT_EQ(outcome.noGammaSupport, c.noGammaSupport) << c.what;
    EXPECT_EQ(desktopAsked, c.desktopAsked) << c.what;
  }
}

TEST_F(MonitorRoadsTest, ContextsAreKeptWithThePlanAndMadeAgainWhenStale) {
  GammaRamp ramp;
  ramp.SetCurve(1.2, 0);
  ASSERT_EQ(ramp.Apply(), 1);
  int made = contextsMade;
  EXPECT_EQ(made, 7) << "six listed, and the one that refused made again";
  // The one that refuses is made again once per apply: it may be stale.
  for (int i = 0; i < 20; ++i)
    ramp.Apply();
  EXPECT_EQ(contextsMade, made + 20);
  // Once it takes the ramp, the context last made for it is kept too.
  monitors[kRefuses].refuses = 0;
  made = contextsMade;
  for (int i = 0; i < 20; ++i)
    ramp.Apply();
  EXPECT_EQ(contextsMade, made) << "a context made for every apply";

  // A context gone stale is made again, and the ramp still gets through.
  for (auto &context : contexts)
    if (context.second == kFollows)
      staleContexts.push_back(context.first);
  GammaRamp next;
  next.SetCurve(1.9, 0);
  EXPECT_EQ(next.Apply(), 1);
  EXPECT_EQ(monitors[kFollows].shown, Curve(1.9));
  EXPECT_EQ(contextsMade, made + 1);

  ForgetDisplayDevices();
  made = contextsMade;
  ramp.Apply();
  EXPECT_EQ(contextsMade, made + 6) << "the plan is made again with the list";
}

// What the tray says after three ramps on each set of monitors: one balloon
// per run of each kind, naming the monitors (a refusal first, HDR at the
// next apply), and for a display without gamma support no word of the
// unlock. The shell shows a balloon two seconds after its request.
TEST_F(MonitorRoadsTest, EachBalloonNamesWhatHappened) {
  HWND window =
      CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  TrayIcon tray;
  ASSERT_EQ(tray.Add(window, LoadIconA(nullptr, IDI_APPLICATION), WM_APP, "test", 0), 1);
  AppState &state = GetAppState();
  state.trayIcon = &tray;
  struct Case {
    const char *what;
    std::vector<int> kept;
    int balloons;
    const char *last; // what the last balloon says
  };
  const char kRefused[] = "ホットキーのガンマを次のモニターが受け付けませんでした: Refuses (6)";
  const char kSpared[] = "HDR表示中のため、次のモニターのガンマは変更しませんでした: InHdr (4)";
  const Case cases[] = {
      {"one refuses while another takes it", {kFollows, kRefuses}, 1, kRefused},
      {"one in HDR", {kFollows, kInHdr}, 1, kSpared},
      {"both", {kFollows, kRefuses, kInHdr}, 2, kSpared},
      {"none supports ramps",
       {kNoGamma},
       1,
       "この画面はガンマランプに対応していないため、ホットキーのガンマを変更できませんでした。"},
      {"every monitor refuses",
       {kRefuses},
       1,
       "ホットキーのガンマを画面が受け付けませんでした。"
       "メニューの「ガンマ範囲の制限を解除...」で受け付けられることがあります。"},
      {"all is well", {kFollows, kLeftOut, kNoGamma}, 0, nullptr},
  };
  std::vector<StandIn> all = monitors;
  for (const Case &c : cases) {
    monitors.clear();
    for (int index : c.kept)
      monitors.push_back(all[index]);
    ForgetDisplayDevices();
    state.refusalShown = state.partRefusalShown = state.hdrShown = 0;
    auto requests = [window] {
      return reinterpret_cast<INT_PTR>(GetPropA(window, "QuilloraBalloonRequests"));
    };
    INT_PTR before = requests();
    GammaRamp ramp;
    ramp.SetCurve(1.2, 0);
    for (int i = 0; i < 3; ++i)
      ApplyAndReport(state, ramp, "ホットキー");
    EXPECT_EQ(requests() - before, c.balloons) << c.what;
    if (!c.last)
      continue;
    std::string shown;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 8000; Sleep(50)) {
      shown = ReadShellBalloon();
      if (shown == c.last)
        break;
    }
    EXPECT_EQ(shown, c.last) << c.what;
  }
  state.trayIcon = nullptr;
  tray.Remove();
  DestroyWindow(window);
}

} // namespace
