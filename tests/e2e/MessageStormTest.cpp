#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"
#include "tests/e2e/ProcessMemory.h"
#include "ui/SettingsDialog.h"

#include <commctrl.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

// Ten thousand messages of every kind the resident program listens to, in a
// random mix, posted as fast as another program could: hook commands with
// any code, display changes to any size, timers with any identifier, tray
// notifications with any mouse message and menu commands with any
// identifier but exit. The mix comes from a fixed random start value, so a
// failing storm can be run again; QUIL_STORM_START sets another one.
//
// The program runs from its working folder with a hook library built with
// cdecl entry points beside it, so the storm also shows that such a library
// is started and ended properly.

namespace {

const int kStormSize = 10000;
const int kWarmUpSize = 2000;
const unsigned kDefaultStart = 20261210;
const unsigned kTimeoutMs = 60000;
// Growth that a leak in any handled message would exceed by far over
// 8,000 messages, and that the run-time's and Wine's own caches stay below.
const std::size_t kMemoryBoundBytes = 2 << 20;

// Presets 7 and 8 are kept out of the storm: selecting one marks the point
// at which the program has worked through everything posted before it.
const WPARAM kMarkerPresets[] = {HOOKCMD_PRESET8, HOOKCMD_PRESET7};
const double kMarkerGammas[] = {2.468, 2.222};

unsigned StormStart() {
  const char *text = std::getenv("QUIL_STORM_START");
  return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 0)) : kDefaultStart;
}

// Closes every popup menu and dialog the program opens, as a user would,
// until stopped; all but the one dialog a storm is aimed at.
class MenuAndDialogCloser {
public:
  explicit MenuAndDialogCloser(DWORD program)
      : processId(program), kept(nullptr), running(true), menus(0), dialogs(0),
        worker([this] { Run(); }) {}
  virtual ~MenuAndDialogCloser() { Stop(); }
  MenuAndDialogCloser(const MenuAndDialogCloser &) = delete;
  MenuAndDialogCloser &operator=(const MenuAndDialogCloser &) = delete;

  void Keep(HWND dialog) { kept = dialog; }
  void Stop() {
    running = false;
    if (worker.joinable())
      worker.join();
  }
  int Menus() const { return menus; }
  int Dialogs() const { return dialogs; }

private:
  struct Search {
    DWORD processId;
    std::vector<HWND> menus, dialogs;
  };

  static BOOL CALLBACK Collect(HWND window, LPARAM context) {
    Search &search = *reinterpret_cast<Search *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == search.processId && IsWindowVisible(window)) {
      if (lstrcmpA(className, "#32768") == 0)
        search.menus.push_back(window);
      else if (lstrcmpA(className, "#32770") == 0)
        search.dialogs.push_back(window);
    }
    return TRUE;
  }

  void Run() {
    std::map<HWND, int> sightings;
    while (running) {
      Search search = {processId, {}, {}};
      EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
      for (HWND menu : search.menus) {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        ++menus;
      }
      for (HWND dialog : search.dialogs) {
        if (dialog == kept)
          continue;
        int seen = sightings[dialog]++;
        if (seen == 0)
          ++dialogs;
        // Cancel first; a box without a cancel button takes "no", and
        // anything still there after that is closed outright.
        const WPARAM answers[] = {IDCANCEL, IDNO, IDOK};
        if (seen % 10 == 0)
          PostMessageA(dialog, WM_COMMAND, answers[(seen / 10) % 3], 0);
        if (seen % 50 == 49)
          PostMessageA(dialog, WM_CLOSE, 0, 0);
      }
      Sleep(10);
    }
  }

  DWORD processId;
  std::atomic<HWND> kept;
  std::atomic<bool> running;
  std::atomic<int> menus;
  std::atomic<int> dialogs;
  std::thread worker;
};

struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// The dialog's window or one of its controls, and what it gets.
struct DialogMessage {
  HWND window;
  Message message;
};

class StormMix {
public:
  explicit StormMix(unsigned start) : random(start) {}

  Message Next() {
    switch (random() % 5) {
    case 0:
      return {WM_HOOKCOMMAND, HookCode(), 0};
    case 1:
      return {WM_DISPLAYCHANGE, random() % 33, DisplaySize()};
    case 2:
      // lParam stays 0: a timer message with a procedure address would be
      // a call into whatever it points at, which no program survives.
      return {WM_TIMER, Either(random(), random() % 4), 0};
    case 3:
      return {WM_TRAYNOTIFY, random() % 4 ? 0 : random(), MouseMessage()};
    default:
      return {WM_COMMAND, CommandId(), 0};
    }
  }

private:
  // Half any code at all, half the small codes where the commands are.
  WPARAM HookCode() {
    WPARAM code;
    do
      code = Either(random(), random() % 32);
    while (code == kMarkerPresets[0] || code == kMarkerPresets[1]);
    return code;
  }
  // Mostly any size; now and then one the configuration names.
  LPARAM DisplaySize() {
    const LPARAM named[] = {MAKELPARAM(800, 600), MAKELPARAM(1024, 768), MAKELPARAM(640, 480)};
    return random() % 10 ? static_cast<LPARAM>(random()) : named[random() % 3];
  }
  LPARAM MouseMessage() {
    const LPARAM mouse[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK,
                            WM_RBUTTONDOWN, WM_RBUTTONUP,   WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,
                            WM_CONTEXTMENU};
    const int count = sizeof mouse / sizeof mouse[0];
    unsigned pick = random() % (count + 1);
    return pick < count ? mouse[pick] : static_cast<LPARAM>(random());
  }
  // Any identifier but exit's, with the menu's own now and then.
  WPARAM CommandId() {
    const WPARAM menu[] = {IDM_LOADFILE, IDM_CREATEGAMMA, IDM_RESTOREGAMMA, IDM_RESIDENTSETTINGS,
                           40002,        40003,           40004,            40006, 40007};
    WPARAM id;
    do
      id = random() % 10 ? static_cast<WPARAM>(random()) : menu[random() % 9];
    while (LOWORD(id) == IDM_EXIT);
    return id;
  }
  WPARAM Either(WPARAM a, WPARAM b) { return random() % 2 ? a : b; }

  std::mt19937 random;
};


// Messages to an open dialog and its controls, mixed into a storm.
class DialogMix {
public:
  virtual ~DialogMix() = default;
  // One or two messages: a control set, then the notification it would send.
  virtual std::vector<DialogMessage> Next() = 0;
};

// What a user, or another program, could do to the settings dialog's
// controls, with any values: choose list lines that exist or not, set the
// slider, the spinner and the level list anywhere, click its buttons, and
// send it commands with any identifier. OK, Cancel and closing are left
// out: they end the dialog, and the storm is meant to run while it is open.
class SettingsDialogMix : public DialogMix {
public:
  SettingsDialogMix(unsigned start, HWND settings) : random(start), dialog(settings) {}

  std::vector<DialogMessage> Next() override {
    switch (random() % 6) {
    case 0: {
      HWND list = GetDlgItem(dialog, kSettingsPresetList);
      const WORD codes[] = {LBN_SELCHANGE, LBN_SELCANCEL, LBN_DBLCLK,
                            static_cast<WORD>(random())};
      return {{list, {LB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(random() % 13) - 1), 0}},
              {dialog, {WM_COMMAND, MAKEWPARAM(kSettingsPresetList, codes[random() % 4]),
                        reinterpret_cast<LPARAM>(list)}}};
    }
    case 1: {
      HWND slider = GetDlgItem(dialog, kSettingsSlider);
      LPARAM position = Position();
      return {{slider, {TBM_SETPOS, TRUE, position}},
              {dialog, {WM_HSCROLL, MAKEWPARAM(random() % 9, position),
                        reinterpret_cast<LPARAM>(slider)}}};
    }
    case 2: {
      HWND spinner = GetDlgItem(dialog, kSettingsSpinner);
      LPARAM position = Position();
      return {{spinner, {UDM_SETPOS, 0, position}},
              {dialog, {WM_VSCROLL, MAKEWPARAM(random() % 9, position),
                        reinterpret_cast<LPARAM>(spinner)}}};
    }
    case 3:
      return {{GetDlgItem(dialog, kSettingsLevelCombo),
               {CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(random() % 12) - 1), 0}}};
    case 4: {
      const int buttons[] = {kSettingsApply, kSettingsResetGamma, kSettingsHookCheck};
      int id = buttons[random() % 3];
      HWND button = GetDlgItem(dialog, id);
      return {{button, {BM_SETCHECK, random() % 3, 0}},
              {dialog, {WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)}}};
    }
    default: {
      WPARAM id;
      do
        id = random();
      while (LOWORD(id) == IDOK || LOWORD(id) == IDCANCEL);
      return {{dialog, {WM_COMMAND, id, 0}}};
    }
    }
  }

private:
  // Mostly within the controls' range of 7000..30000, now and then anywhere.
  LPARAM Position() {
    return random() % 4 ? static_cast<LPARAM>(6000 + random() % 26000)
                        : static_cast<LPARAM>(random());
  }

  std::mt19937 random;
  HWND dialog;
};

// The same for the creation dialog: the slider and both spinners set
// anywhere, the resolution list, "戻す", and commands with any identifier.
// "適用" and "閉じる" are left out: they end the dialog. So is "保存": Wine's
// own file dialog crashes when it is sent commands as fast as this, and the
// save has tests of its own.
class CreateDialogMix : public DialogMix {
public:
  CreateDialogMix(unsigned start, HWND creation) : random(start), dialog(creation) {}

  std::vector<DialogMessage> Next() override {
    switch (random() % 6) {
    case 0: {
      HWND slider = GetDlgItem(dialog, IDC_GAMMASLIDER);
      LPARAM position = random() % 4 ? static_cast<LPARAM>(1024 + random() % 33000)
                                     : static_cast<LPARAM>(random());
      return {{slider, {TBM_SETPOS, TRUE, position}},
              {dialog, {WM_HSCROLL, MAKEWPARAM(random() % 9, position),
                        reinterpret_cast<LPARAM>(slider)}}};
    }
    case 1:
    case 2: {
      HWND spinner = GetDlgItem(dialog, random() % 2 ? IDC_DELAYSPIN : IDC_DARKSPIN);
      LPARAM position = random() % 4 ? static_cast<LPARAM>(random() % 120)
                                     : static_cast<LPARAM>(random());
      // Now and then a scroll message that names no spinner at all.
      LPARAM sender = random() % 8 ? reinterpret_cast<LPARAM>(spinner) : 0;
      return {{spinner, {UDM_SETPOS, 0, position}},
              {dialog, {WM_VSCROLL, MAKEWPARAM(random() % 9, position), sender}}};
    }
    case 3:
      return {{GetDlgItem(dialog, IDC_RESOLUTION),
               {CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(random() % 8) - 1), 0}}};
    case 4:
      return {{dialog, {WM_COMMAND, MAKEWPARAM(IDC_RESET, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_RESET))}}};
    default: {
      WPARAM id;
      do
        id = random();
      while (LOWORD(id) == IDCANCEL || LOWORD(id) == IDC_APPLY || LOWORD(id) == IDC_SAVE);
      return {{dialog, {WM_COMMAND, id, 0}}};
    }
    }
  }

private:
  std::mt19937 random;
  HWND dialog;
};

class MessageStormTest : public ResidentFixture {
protected:
  void SetUp() override {
    ResidentFixture::SetUp();
    program = WindowsPath(folder + "/quillora.exe");
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(WindowsPath(RECORDING_HOOK_CDECL_DLL).c_str(),
                          WindowsPath(folder + "/QuilHook.dll").c_str(), FALSE));
    logPath = folder + "/hook.log";
    SetEnvironmentVariableA("QUIL_HOOK_LOG", WindowsPath(logPath).c_str());
    WriteRamp("a.qlr", 800, 600, 0, 1.3);
    WriteRamp("b.qlr", 1024, 768, 300, 1.6);
    WriteRamp("base.qlr", 0, 0, 0, 1.1);
    WriteConfig("*800x600 a.qlr\r\n*1024x768 b.qlr\r\n*default base.qlr\r\n");
    SetPresetValue("Gamma8", 24680);
    SetPresetValue("Gamma7", 22220);
  }
  void TearDown() override {
    ResidentFixture::TearDown();
    SetEnvironmentVariableA("QUIL_HOOK_LOG", nullptr);
  }

  std::string HookLog() const {
    std::ifstream file(logPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  // Posts count messages of the mix, half of them to the dialog when there
  // is one, then a marker, and waits until the program has worked through
  // them all.
  void Storm(StormMix &mix, DialogMix *dialogMix, int count, int marker) {
    HWND window = resident.Window();
    for (int i = 0; i < count; ++i) {
      std::vector<DialogMessage> messages;
      if (dialogMix && i % 2)
        messages = dialogMix->Next();
      else
        messages.push_back(DialogMessage{window, mix.Next()});
      for (const DialogMessage &m : messages) {
        // A full queue refuses a post for a moment; the program keeps up.
        int tries = 0;
        while (!PostMessageA(m.window, m.message.message, m.message.wParam, m.message.lParam) &&
               ++tries < 1000)
          Sleep(5);
        ASSERT_LT(tries, 1000) << "the program no longer takes messages, at message " << i
                               << " (window " << (IsWindow(m.window) ? "exists" : "is gone")
                               << ", error " << GetLastError() << ")";
      }
    }
    ASSERT_TRUE(PostMessageA(window, WM_HOOKCOMMAND, kMarkerPresets[marker], 0));
    ASSERT_TRUE(WaitForMarker(CurveRamp(kMarkerGammas[marker], 0)))
        << "the program did not work through the storm";
  }

  // The whole storm in two parts; the first warms up whatever the program
  // and Wine allocate once, the second must leave memory where it was.
  void StormAndMeasure(StormMix &mix, DialogMix *dialogMix,
                       const MenuAndDialogCloser &closer) {
    Storm(mix, dialogMix, kWarmUpSize, 0);
    if (HasFatalFailure())
      return;
    std::size_t before = PrivateBytes(resident.ProcessId());
    Storm(mix, dialogMix, kStormSize - kWarmUpSize, 1);
    if (HasFatalFailure())
      return;
    std::size_t after = PrivateBytes(resident.ProcessId());
    std::printf("private memory %lu KiB after %d messages, %lu KiB after %d; "
                "%d escapes sent to open menus, %d dialogs or boxes closed\n",
                static_cast<unsigned long>(before >> 10), kWarmUpSize,
                static_cast<unsigned long>(after >> 10), kStormSize, closer.Menus(),
                closer.Dialogs());
    EXPECT_LT(after, before + kMemoryBoundBytes);
  }

  // Answers, still does its work, and ends cleanly: icon gone, hook ended.
  void ExpectSoundAndCloseIt(MenuAndDialogCloser &closer) {
    HWND window = resident.Window();
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));
    EXPECT_TRUE(TrayIconExists(window, 0));
    ASSERT_TRUE(PostMessageA(window, WM_HOOKCOMMAND, HOOKCMD_RESET, 0));
    EXPECT_TRUE(WaitForMarker(CurveRamp(1.0, 0)));

    closer.Stop();
    EXPECT_EQ(resident.Close(kTimeoutMs), 0);
    EXPECT_FALSE(TrayIconExists(window, 0));
    char registered[64];
    std::snprintf(registered, sizeof registered, "RegisterQuilWindow 0x%lx",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    EXPECT_EQ(HookLog(), std::string("load\r\nStartHook QuilHook.dll\r\n") + registered +
                             "\r\nEndHook\r\nunload\r\n");
  }

  // The marker's ramp may stand only for a moment before a pending timer
  // applies another, so poll often.
  static bool WaitForMarker(const std::vector<std::uint16_t> &ramp) {
    std::vector<int> wanted = HighBytes(ramp);
    DWORD start = GetTickCount();
    do {
      if (HighBytes(ReadDisplayRamp()) == wanted)
        return true;
      Sleep(5);
    } while (GetTickCount() - start < kTimeoutMs);
    return false;
  }

  // Opens a dialog through its menu command and storms the program and the
  // dialog together; the dialog must come through open and answering, and
  // still close.
  template <class Mix> void StormWhileDialogIsOpen(int command) {
    ASSERT_TRUE(StartResident(program));
    const unsigned start = StormStart();
    std::printf("message storm from random start value %u (QUIL_STORM_START)\n", start);
    ASSERT_TRUE(PostMessageA(resident.Window(), WM_COMMAND, static_cast<WPARAM>(command), 0));
    HWND dialog = nullptr;
    for (DWORD begun = GetTickCount(); !dialog && GetTickCount() - begun < kTimeoutMs; Sleep(20))
      dialog = FindProcessWindow(resident.ProcessId(), "#32770", true);
    ASSERT_NE(dialog, nullptr) << "the dialog did not open";
    // Only now: the closer would take the dialog for one to close.
    MenuAndDialogCloser closer(resident.ProcessId());
    closer.Keep(dialog);

    StormMix mix(start);
    Mix dialogMix(start + 1, dialog);
    StormAndMeasure(mix, &dialogMix, closer);
    if (HasFatalFailure())
      return;

    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));
    ASSERT_TRUE(IsWindowVisible(dialog));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    for (DWORD begun = GetTickCount(); IsWindow(dialog) && GetTickCount() - begun < kTimeoutMs;)
      Sleep(20);
    EXPECT_FALSE(IsWindow(dialog));
    ExpectSoundAndCloseIt(closer);
  }

  // The first file dialog loads the system's dialog library and the shell
  // behind it, once for the program's life: that belongs to the warm-up,
  // not to what the storm could leak.
  void OpenTheFileDialogOnce(const MenuAndDialogCloser &closer) {
    int before = closer.Dialogs();
    ASSERT_TRUE(PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0));
    for (DWORD begun = GetTickCount();
         closer.Dialogs() == before && GetTickCount() - begun < kTimeoutMs;)
      Sleep(20);
    ASSERT_GT(closer.Dialogs(), before) << "the file dialog did not open";
  }

  std::string program, logPath;
};

TEST_F(MessageStormTest, TenThousandMessagesLeaveTheProgramAnsweringAndItEndsCleanly) {
  ASSERT_TRUE(StartResident(program));
  const unsigned start = StormStart();
  std::printf("message storm from random start value %u (QUIL_STORM_START)\n", start);
  StormMix mix(start);
  MenuAndDialogCloser closer(resident.ProcessId());
  OpenTheFileDialogOnce(closer);
  if (HasFatalFailure())
    return;
  StormAndMeasure(mix, nullptr, closer);
  if (HasFatalFailure())
    return;
  ExpectSoundAndCloseIt(closer);
}

// Clicks on the icon queued faster than the program takes them: opening the
// menu for the first must not open it again for each of the others, one
// inside the other, until the stack runs out.
TEST_F(MessageStormTest, BurstOfTrayClicksOpensOneMenuAtATime) {
  ASSERT_TRUE(StartResident(program));
  MenuAndDialogCloser closer(resident.ProcessId());
  resident.Suspend();
  for (int i = 0; i < 5000; ++i)
    ASSERT_TRUE(PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0,
                             i % 2 ? WM_RBUTTONDOWN : WM_LBUTTONDOWN));
  ASSERT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, kMarkerPresets[0], 0));
  resident.Resume();
  EXPECT_TRUE(WaitForMarker(CurveRamp(kMarkerGammas[0], 0)))
      << "the program did not work through the clicks";
  for (DWORD begun = GetTickCount(); closer.Menus() == 0 && GetTickCount() - begun < kTimeoutMs;)
    Sleep(20);
  EXPECT_GT(closer.Menus(), 0) << "no click opened the menu";
  ASSERT_TRUE(resident.IsRunning());
  ExpectSoundAndCloseIt(closer);
}

TEST_F(MessageStormTest, TheSameStormWhileTheSettingsDialogIsOpen) {
  StormWhileDialogIsOpen<SettingsDialogMix>(IDM_RESIDENTSETTINGS);
}

TEST_F(MessageStormTest, TheSameStormWhileTheCreationDialogIsOpen) {
  StormWhileDialogIsOpen<CreateDialogMix>(IDM_CREATEGAMMA);
}

} // namespace
