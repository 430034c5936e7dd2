#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "gamma/GammaRamp.h"
#include "res/resource.h"
#include "ui/DisplayPowerNotification.h"
#include "ui/WinEventHook.h"

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Generous: the program waits half a second for the system to settle, and a
// loaded machine may add to that. The time it took is printed.
const unsigned kPutBack = 5000;
const unsigned kSoon = 2000;
// Long enough for a settle delay and a re-apply to have happened.
const unsigned kQuietPeriod = 1500;

// A message the system sends when it may have reset the display's ramp, or
// one that must leave the ramp alone. displayState >= 0 makes it a
// power-setting change of the console display (or of the setting named)
// with that state.
struct SystemEvent {
  const char *name;
  UINT message;
  WPARAM wParam;
  int displayState;
  const GUID *setting = &kConsoleDisplayState;
};

const SystemEvent kResettingEvents[] = {
    {"resume (automatic)", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, -1},
    {"resume (user)", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, -1},
    {"session unlock", WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, -1},
    {"console connect", WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, -1},
    {"remote connect", WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT, -1},
    {"display on", WM_POWERBROADCAST, kPowerSettingChange, 1},
    // What Windows 7 sends instead.
    {"monitor power on", WM_POWERBROADCAST, kPowerSettingChange, 1, &kMonitorPowerOn},
};

const SystemEvent kOtherEvents[] = {
    {"suspend", WM_POWERBROADCAST, PBT_APMSUSPEND, -1},
    {"power status change", WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, -1},
    {"session lock", WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, -1},
    {"console disconnect", WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, -1},
    {"display off", WM_POWERBROADCAST, kPowerSettingChange, 0},
    {"display dimmed", WM_POWERBROADCAST, kPowerSettingChange, 2},
    {"monitor power off", WM_POWERBROADCAST, kPowerSettingChange, 0, &kMonitorPowerOn},
};

// What a display driver's reset leaves on the screen.
std::vector<std::uint16_t> IdentityRamp() {
  GammaRamp ramp;
  ramp.SetIdentity();
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

// Memory inside the resident program: a power-setting message points to
// its data, which the system places in the receiving process.
class RemoteMemory {
public:
  RemoteMemory(DWORD processId, const void *bytes, SIZE_T size)
      : process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId)),
        address(nullptr) {
    if (process)
      address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (address && !WriteProcessMemory(process, address, bytes, size, nullptr))
      address = nullptr;
  }
  virtual ~RemoteMemory() {
    if (address)
      VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process)
      CloseHandle(process);
  }
  RemoteMemory(const RemoteMemory &) = delete;
  RemoteMemory &operator=(const RemoteMemory &) = delete;
  LPARAM Address() const { return reinterpret_cast<LPARAM>(address); }

private:
  HANDLE process;
  void *address;
};

class KeepGammaTest : public ResidentFixture {
protected:
  void TearDown() override {
    for (RemoteMemory *memory : displayStates)
      delete memory;
    displayStates.clear();
    ResidentFixture::TearDown();
  }

  // Sent, not posted: the program has handled it when this returns.
  void Send(const SystemEvent &event) {
    LPARAM lParam =
        event.displayState >= 0 ? DisplayStateMessage(*event.setting, event.displayState) : 0;
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(resident.Window(), event.message, event.wParam, lParam,
                                    SMTO_NORMAL, 10000, &result))
        << event.name;
  }

  LPARAM DisplayStateMessage(const GUID &setting, int state) {
    unsigned char bytes[sizeof(PowerSettingMessage) + sizeof(DWORD)] = {};
    PowerSettingMessage header = {setting, sizeof(DWORD), {0}};
    DWORD data = static_cast<DWORD>(state);
    std::memcpy(bytes, &header, offsetof(PowerSettingMessage, Data));
    std::memcpy(bytes + offsetof(PowerSettingMessage, Data), &data, sizeof data);
    displayStates.push_back(new RemoteMemory(resident.ProcessId(), bytes, sizeof bytes));
    EXPECT_NE(displayStates.back()->Address(), 0);
    return displayStates.back()->Address();
  }

  // Puts the reset ramp on the display as another program would.
  void ResetDisplay() {
    ASSERT_TRUE(SetDisplayRamp(reset));
    ASSERT_TRUE(WaitForDisplayRamp(reset, 0));
  }

  void ApplyByHotKey(WPARAM preset) {
    ASSERT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, preset, 0));
  }

  // After each resetting event the ramp comes back, however it was applied.
  void ExpectPutBackAfterEachEvent(const std::vector<std::uint16_t> &ramp) {
    for (const SystemEvent &event : kResettingEvents) {
      ResetDisplay();
      DWORD start = GetTickCount();
      Send(event);
      EXPECT_TRUE(WaitUntilShown(ramp)) << event.name;
      std::printf("%s: ramp back after %lu ms\n", event.name,
                  static_cast<unsigned long>(GetTickCount() - start));
    }
  }

  // With two monitors the ramp shows once the first one took it; the
  // test's next reset must come after the apply has reached the last.
  bool WaitUntilShown(const std::vector<std::uint16_t> &ramp) {
    return WaitForDisplayRamp(ramp, kPutBack) && resident.Sync();
  }

  const std::vector<std::uint16_t> reset = IdentityRamp();
  std::vector<RemoteMemory *> displayStates;
};

// The roads by which the resident program applies a ramp.
enum class Road {
  HotKey,
  ResolutionFileAtOnce,
  ResolutionFileByTimer,
  DefaultLine,
  RestoreCommand,
  LoadCommand
};

class KeepGammaRoadTest : public KeepGammaTest, public ::testing::WithParamInterface<Road> {
protected:
  // Starts the program and has it apply a ramp by the road; returns that
  // ramp.
  std::vector<std::uint16_t> ApplyBy(Road road) {
    switch (road) {
    case Road::HotKey:
      SetPresetValue("Gamma3", 20000);
      EXPECT_TRUE(StartResident(ProgramPath()));
      ApplyByHotKey(HOOKCMD_PRESET3);
      return CurveRamp(2.0, 0);
    case Road::ResolutionFileAtOnce:
    case Road::ResolutionFileByTimer: {
      int delay = road == Road::ResolutionFileByTimer ? 300 : 0;
      std::vector<std::uint16_t> ramp = WriteRamp("svga.qlr", 0, 0, delay, 1.6);
      WriteConfig("*800x600 svga.qlr\r\n");
      EXPECT_TRUE(StartResident(ProgramPath()));
      EXPECT_TRUE(SetDisplayMode(800, 600));
      return ramp;
    }
    case Road::DefaultLine:
      return StartWithDefaultLine();
    case Road::RestoreCommand: {
      // A hot-key ramp comes between, so that only the restore command can
      // have put the base ramp in force again.
      std::vector<std::uint16_t> base = StartWithDefaultLine();
      EXPECT_TRUE(WaitForDisplayRamp(base, kSoon));
      ApplyByHotKey(HOOKCMD_RESET);
      EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.0, 0), kSoon));
      EXPECT_TRUE(PostMessageA(resident.Window(), WM_COMMAND, IDM_RESTOREGAMMA, 0));
      return base;
    }
    case Road::LoadCommand: {
      std::vector<std::uint16_t> ramp = WriteRamp("loaded.qlr", 0, 0, 0, 1.4);
      EXPECT_TRUE(StartResident(ProgramPath()));
      EXPECT_TRUE(PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0));
      HWND open = WaitForDialog(resident.ProcessId(), "ガンマファイルの読みこみ", kPutBack);
      EXPECT_NE(open, nullptr);
      if (open)
        TypeFileName(open, WindowsPath(folder) + "\\loaded.qlr");
      return ramp;
    }
    }
    return {};
  }

  std::vector<std::uint16_t> StartWithDefaultLine() {
    std::vector<std::uint16_t> ramp = WriteRamp("base.qlr", 0, 0, 0, 0.7);
    WriteConfig("*default base.qlr\r\n");
    EXPECT_TRUE(StartResident(ProgramPath()));
    return ramp;
  }
};

TEST_P(KeepGammaRoadTest, RampComesBackAfterEachEvent) {
  std::vector<std::uint16_t> ramp = ApplyBy(GetParam());
  ASSERT_TRUE(WaitUntilShown(ramp)) << "applied in the first place";
  ExpectPutBackAfterEachEvent(ramp);
}

std::string RoadName(const ::testing::TestParamInfo<Road> &road) {
  const char *const names[] = {"HotKey",      "ResolutionFileAtOnce", "ResolutionFileByTimer",
                               "DefaultLine", "RestoreCommand",       "LoadCommand"};
  return names[static_cast<int>(road.param)];
}

INSTANTIATE_TEST_SUITE_P(Roads, KeepGammaRoadTest,
                         ::testing::Values(Road::HotKey, Road::ResolutionFileAtOnce,
                                           Road::ResolutionFileByTimer, Road::DefaultLine,
                                           Road::RestoreCommand, Road::LoadCommand),
                         RoadName);

// The common case for the checks below: a hot-key ramp in force, then the
// display reset by someone else.
class KeepGammaHotKeyTest : public KeepGammaTest {
protected:
  void StartAndApply() {
    SetPresetValue("Gamma3", 20000);
    ASSERT_TRUE(StartResident(ProgramPath()));
    ApplyByHotKey(HOOKCMD_PRESET3);
    ASSERT_TRUE(WaitUntilShown(applied));
  }
  const std::vector<std::uint16_t> applied = CurveRamp(2.0, 0);
};

TEST_F(KeepGammaHotKeyTest, OtherEventsLeaveTheDisplayAlone) {
  StartAndApply();
  ResetDisplay();
  for (const SystemEvent &event : kOtherEvents)
    Send(event);
  ExpectStill(reset, kQuietPeriod);
}

TEST_F(KeepGammaHotKeyTest, ResumeBroadcastReachesTheHiddenMainWindow) {
  StartAndApply();
  ResetDisplay();
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0,
                      SMTO_ABORTIFHUNG, 10000, &result);
  EXPECT_TRUE(WaitForDisplayRamp(applied, kPutBack));
}

TEST_F(KeepGammaHotKeyTest, KeepGammaZeroPutsNothingBack) {
  SetPresetValue("KeepGamma", 0);
  StartAndApply();
  ResetDisplay();
  for (const SystemEvent &event : kResettingEvents)
    Send(event);
  ExpectStill(reset, kQuietPeriod);
}

TEST_F(KeepGammaHotKeyTest, AnyOtherKeepGammaKeeps) {
  SetPresetValue("KeepGamma", 2);
  StartAndApply();
  ResetDisplay();
  Send(kResettingEvents[0]);
  EXPECT_TRUE(WaitForDisplayRamp(applied, kPutBack));
}

TEST_F(KeepGammaHotKeyTest, NothingAppliedInThisRunNothingPutBack) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  ResetDisplay();
  for (const SystemEvent &event : kResettingEvents)
    Send(event);
  ExpectStill(reset, kQuietPeriod);
  ExpectStill(reset, 0);
  // The program was listening all along: once it has applied a ramp, the
  // same events put it back.
  ApplyByHotKey(HOOKCMD_PRESET3);
  ASSERT_TRUE(WaitUntilShown(CurveRamp(1.3, 0)));
  ResetDisplay();
  Send(kResettingEvents[0]);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.3, 0), kPutBack));
}

TEST_F(KeepGammaHotKeyTest, DisplayAlreadyShowingTheRampIsLeftAlone) {
  StartAndApply();
  // A ramp that the display shows within one 8-bit level of the applied
  // one, as a rounding driver could hand it back: no reason to apply again,
  // and an apply would be seen, since it would bring back the exact levels.
  const std::vector<std::uint16_t> nearlyApplied = CurveRamp(2.01, 0);
  int levelsApart = 0, entriesApart = 0;
  for (std::size_t i = 0; i < applied.size(); ++i) {
    int apart = std::abs((nearlyApplied[i] >> 8) - (applied[i] >> 8));
    levelsApart = std::max(levelsApart, apart);
    entriesApart += apart != 0;
  }
  ASSERT_EQ(levelsApart, 1);
  ASSERT_GT(entriesApart, 0);
  ASSERT_TRUE(SetDisplayRamp(nearlyApplied));
  for (const SystemEvent &event : kResettingEvents)
    Send(event);
  ExpectStill(nearlyApplied, kQuietPeriod);
}

TEST_F(KeepGammaHotKeyTest, SettleTimerMessageWithoutAnEventDoesNothing) {
  StartAndApply();
  ResetDisplay();
  ASSERT_TRUE(PostMessageA(resident.Window(), WM_TIMER, kKeepGammaTimer, 0));
  ExpectStill(reset, kQuietPeriod);
}

// Each event sent while the display shows the reset ramp: a program that
// checked at every event, at once or on a timer of its own, would put the
// ramp back about a thousand times. One re-apply per settle delay (half a
// second) is the most allowed. The display is read before every event and
// reset only after a re-apply has shown on it, so a re-apply that a timer
// makes between two events is counted as well.
TEST_F(KeepGammaHotKeyTest, BurstOfEventsGivesOneReapplyPerSettleDelay) {
  StartAndApply();
  const int kEvents = 1000;
  int reapplied = 0;
  ResetDisplay();
  DWORD start = GetTickCount();
  for (int i = 0; i < kEvents; ++i) {
    if (HighBytes(ReadDisplayRamp()) == HighBytes(applied)) {
      ++reapplied;
      ResetDisplay();
    }
    Send(kResettingEvents[i % 6]);
  }
  EXPECT_TRUE(WaitForDisplayRamp(applied, kPutBack)) << "after the burst, the ramp comes back";
  ++reapplied;
  DWORD elapsed = GetTickCount() - start;
  // And then it stays asleep: a ramp set afterwards is left alone.
  ResetDisplay();
  ExpectStill(reset, kQuietPeriod);
  std::printf("%d events in %lu ms, ramp put back %d times\n", kEvents,
              static_cast<unsigned long>(elapsed), reapplied);
  EXPECT_LE(reapplied, 1 + static_cast<int>(elapsed / 500));
}

TEST_F(KeepGammaHotKeyTest, RampWaitingForTimerOneIsLeftAlone) {
  std::vector<std::uint16_t> slow = WriteRamp("svga.qlr", 0, 0, 8000, 1.6);
  WriteConfig("*800x600 svga.qlr\r\n");
  StartAndApply();
  ASSERT_TRUE(SetDisplayMode(800, 600));
  ResetDisplay();
  Send(kResettingEvents[0]);
  // Neither the hot-key ramp before it nor anything else comes first.
  ExpectStill(reset, kQuietPeriod);
  EXPECT_TRUE(WaitForDisplayRamp(slow, 15000) && resident.Sync())
      << "timer 1 still applies its ramp";
  // From then on it is the ramp in force.
  ResetDisplay();
  Send(kResettingEvents[2]);
  EXPECT_TRUE(WaitForDisplayRamp(slow, kPutBack));
}

// A check that came while a per-resolution ramp waited is not lost when a
// later display change drops that ramp without applying anything: the
// ramp in force still comes back.
TEST_F(KeepGammaHotKeyTest, CheckPutOffForAWaitingRampFollowsWhenThatRampIsDropped) {
  // Long enough that timer 1 cannot fire before the test ends.
  WriteRamp("svga.qlr", 0, 0, 60000, 1.6);
  WriteRamp("xga.qlr", 0, 0, 0, 1.4);
  WriteConfig("*800x600 svga.qlr\r\n*1024x768 xga.qlr\r\n");
  StartAndApply();
  ASSERT_TRUE(SetDisplayMode(800, 600));
  ResetDisplay();
  Send(kResettingEvents[2]);
  ExpectStill(reset, kQuietPeriod);
  // The file of the next mode no longer loads: that change applies nothing
  // and drops the waiting ramp.
  ASSERT_EQ(std::remove((folder + "/xga.qlr").c_str()), 0);
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(applied, kPutBack));
}

// The events Windows resets the ramp at without a message of the power or
// session kind: another window in front (the Settings app, Action Center, a
// notification, a full-screen program) and a desktop switch (the UAC
// prompt, the lock screen) reach the program through its event hooks; a
// changed setting and a device that came or went are broadcast to every
// top-level window. Wine raises neither hook event by itself, and passes on
// one that another process raises only when it names a window.
struct NewEvent {
  const char *name;
  DWORD winEvent; // 0: a message instead
  UINT message;
  WPARAM wParam;
  // 1: put back only over the identity ramp, as a game may set its own
  // ramp as it comes to the front.
  int onlyOverReset;
};

const NewEvent kNewEvents[] = {
    {"foreground window", EVENT_SYSTEM_FOREGROUND, 0, 0, 1},
    {"desktop switch", kDesktopSwitchEvent, 0, 0, 1},
    {"wallpaper setting", 0, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0},
    {"devices changed", 0, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0},
};

class KeepGammaEventTest : public KeepGammaHotKeyTest {
protected:
  void SetUp() override {
    KeepGammaHotKeyTest::SetUp();
    front = CreateWindowExA(0, "STATIC", "front", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(front, nullptr);
  }
  void TearDown() override {
    DestroyWindow(front);
    KeepGammaHotKeyTest::TearDown();
  }

  // As the system would raise it: a hook event names a window of this
  // process, a message is sent (handled when this returns).
  void Raise(const NewEvent &event) {
    if (event.winEvent) {
      Notify(event.winEvent);
      return;
    }
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(resident.Window(), event.message, event.wParam, 0, SMTO_NORMAL,
                                    10000, &result))
        << event.name;
  }

  // Wine's NotifyWinEvent looks up the hooks in a copy that the calling
  // thread keeps of which kinds are active. This thread's copy, made before
  // the program hooked the events, was not brought up to date by asking
  // for messages, and the call did nothing; a thread that makes its message
  // queue after the program hooked them has a fresh copy.
  void Notify(DWORD winEvent) {
    HWND window = front;
    std::thread([winEvent, window] {
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
      NotifyWinEvent(winEvent, window, OBJID_WINDOW, CHILDID_SELF);
    }).join();
  }

  // What the program counts on its window: checks made, ramps put back.
  int Counted(const char *property) {
    EXPECT_TRUE(resident.Sync());
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(resident.Window(), property)));
  }
  int PutBack() { return Counted("QuilloraKeepPutBack"); }
  int Checks() { return Counted("QuilloraKeepChecks"); }

  HWND front = nullptr;
};

TEST_F(KeepGammaEventTest, EachEventPutsAResetRampBackOnceAndFollowsItsRule) {
  StartAndApply();
  const std::vector<std::uint16_t> others = CurveRamp(1.2, 0);
  for (const NewEvent &event : kNewEvents) {
    ResetDisplay();
    int before = PutBack();
    DWORD start = GetTickCount();
    Raise(event);
    EXPECT_TRUE(WaitUntilShown(applied)) << event.name << ": over the identity ramp";
    std::printf("%s: ramp back after %lu ms\n", event.name,
                static_cast<unsigned long>(GetTickCount() - start));
    ExpectStill(applied, kQuietPeriod);
    EXPECT_EQ(PutBack(), before + 1) << event.name << ": once";

    // Another program's own ramp.
    ASSERT_TRUE(SetDisplayRamp(others));
    Raise(event);
    if (!event.onlyOverReset) {
      EXPECT_TRUE(WaitUntilShown(applied)) << event.name << ": over another program's ramp";
      continue;
    }
    ExpectStill(others, kQuietPeriod);
    EXPECT_EQ(PutBack(), before + 1) << event.name << ": left alone";
    // An event that always resets the ramp keeps the rule of before.
    Send(kResettingEvents[0]);
    EXPECT_TRUE(WaitUntilShown(applied)) << event.name << ", then a resume";
  }
}

// Each event restarts the settle delay: a burst is one check, and a check
// finds the ramp shown and applies nothing. A program that checked at every
// event would read the display a thousand times.
TEST_F(KeepGammaEventTest, ABurstOfForegroundChangesGivesAFewChecksAndNoApply) {
  StartAndApply();
  const int kEvents = 1000;
  int checksBefore = Checks(), putBackBefore = PutBack();
  DWORD start = GetTickCount();
  std::atomic<int> sent(0);
  HWND window = front;
  // From a thread started after the program hooked the events (see Notify),
  // while this one asks the program to answer.
  std::thread burst([&sent, window] {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    for (; sent < kEvents; ++sent)
      NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, window, OBJID_WINDOW, CHILDID_SELF);
  });
  while (sent < kEvents) {
    EXPECT_TRUE(resident.Sync(2000)) << "the program answers after " << sent << " events";
    Sleep(10);
  }
  burst.join();
  // Until the program has handled every event.
  EXPECT_TRUE(resident.Sync());
  DWORD elapsed = GetTickCount() - start;
  ExpectStill(applied, kQuietPeriod);
  int checks = Checks() - checksBefore;
  std::printf("%d foreground changes in %lu ms: %d checks, %d ramps put back\n", kEvents,
              static_cast<unsigned long>(elapsed), checks, PutBack() - putBackBefore);
  EXPECT_GE(checks, 1) << "the events were heard";
  EXPECT_LE(checks, 1 + static_cast<int>(elapsed / 500));
  EXPECT_EQ(PutBack(), putBackBefore);
}

// With nothing but a default line no rule applies a ramp at a change of
// resolution; when the change took the ramp away, the one in force comes
// back. The display is reset before the change, so that the check cannot
// come first.
TEST_F(KeepGammaEventTest, OnlyADefaultLineAChangeOfResolutionBringsTheRampInForceBack) {
  WriteRamp("base.qlr", 0, 0, 0, 0.7);
  WriteConfig("*default base.qlr\r\n");
  StartAndApply();
  ResetDisplay();
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  EXPECT_TRUE(WaitUntilShown(applied));
}

TEST_F(KeepGammaEventTest, KeepGammaZeroSwitchesTheseEventsOffToo) {
  SetPresetValue("KeepGamma", 0);
  WriteRamp("base.qlr", 0, 0, 0, 0.7);
  WriteConfig("*default base.qlr\r\n");
  StartAndApply();
  ResetDisplay();
  for (const NewEvent &event : kNewEvents)
    Raise(event);
  ASSERT_TRUE(ChangeDisplayMode(800, 600));
  ExpectStill(reset, kQuietPeriod);
}

// A ramp that a one-shot run ("/E file") applies while the program is
// resident is the user's choice: the keeper takes it as the ramp in force
// and does not put its own older ramp back over it.
class KeepGammaOneShotTest : public KeepGammaTest {
protected:
  void SetUp() override {
    KeepGammaTest::SetUp();
    oneShot = WriteRamp("chosen.qlr", 0, 0, 0, 1.6);
    ASSERT_TRUE(StartResident(ProgramPath()));
    ApplyByHotKey(HOOKCMD_PRESET3);
    ASSERT_TRUE(WaitUntilShown(hotKey));
  }

  int RunOneShot(unsigned timeoutMs) {
    return RunCommandLine(
        "\"" + ProgramPath() + "\" /E \"" + WindowsPath(folder) + "\\chosen.qlr\"", timeoutMs);
  }

  const std::vector<std::uint16_t> hotKey = CurveRamp(1.3, 0);
  std::vector<std::uint16_t> oneShot;
};

TEST_F(KeepGammaOneShotTest, EventAfterAOneShotRunLeavesItsRamp) {
  ASSERT_EQ(RunOneShot(kPutBack), 0);
  ASSERT_TRUE(WaitForDisplayRamp(oneShot, 0));
  Send(kResettingEvents[2]);
  ExpectStill(oneShot, kQuietPeriod);
  // It is now the ramp that comes back after a reset.
  ResetDisplay();
  Send(kResettingEvents[0]);
  EXPECT_TRUE(WaitForDisplayRamp(oneShot, kPutBack));
}

// The resident program cannot answer while its thread is held; the one-shot
// run still applies its file and ends at once, with its usual exit code.
TEST_F(KeepGammaOneShotTest, BusyResidentProgramDoesNotHoldUpTheOneShotRun) {
  resident.Suspend();
  DWORD start = GetTickCount();
  int exitCode = RunOneShot(kPutBack);
  DWORD elapsed = GetTickCount() - start;
  resident.Resume();
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(WaitForDisplayRamp(oneShot, 0));
  std::printf("one-shot run took %lu ms beside a held resident program\n",
              static_cast<unsigned long>(elapsed));
  EXPECT_LT(elapsed, 3000u);
}

// Only a WM_COPYDATA of exactly one ramp, with the program's own tag, names
// a ramp in force; the keeper ignores anything else and puts its own ramp
// back as before.
TEST_F(KeepGammaOneShotTest, OtherCopyDataIsIgnored) {
  struct Notice {
    const char *name;
    ULONG_PTR tag;
    DWORD bytes;
  };
  const DWORD kRampBytes = GammaRamp::kEntryCount * sizeof(std::uint16_t);
  const Notice kNotices[] = {{"one entry short", kAppliedRampNotice, kRampBytes - 2},
                             {"one entry more", kAppliedRampNotice, kRampBytes + 2},
                             {"empty", kAppliedRampNotice, 0},
                             {"other tag", kAppliedRampNotice + 1, kRampBytes}};
  std::vector<std::uint16_t> data(oneShot);
  data.push_back(data.back());
  for (const Notice &notice : kNotices) {
    COPYDATASTRUCT copy = {notice.tag, notice.bytes, data.data()};
    ASSERT_TRUE(resident.Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy))) << notice.name;
  }
  ASSERT_TRUE(SetDisplayRamp(oneShot));
  Send(kResettingEvents[2]);
  EXPECT_TRUE(WaitForDisplayRamp(hotKey, kPutBack));
}

} // namespace
