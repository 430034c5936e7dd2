#include "hook/HookCommands.h"
#include "hook/HookModule.h"
#include "hook/QuilHookApi.h"

#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// The real QuilHook.dll, loaded as the program loads it (HookModule) on a
// thread that pumps messages like the program's, or started from the test's
// own thread, which pumps none, with keys injected through SendInput. A
// low-level hook of the test's own, installed before the library's and so
// called after it, shows which keys the library passed on: what another
// program would receive.

namespace {

struct KeyEvent {
  WORD key;
  bool up;
  bool operator==(const KeyEvent &other) const { return key == other.key && up == other.up; }
};

std::ostream &operator<<(std::ostream &out, const KeyEvent &event) {
  return out << (event.up ? "up " : "down ") << event.key;
}

using Keys = std::vector<KeyEvent>;
using Commands = std::vector<unsigned>;

// Ends each burst of input: when the test's hook sees its release, every key
// before it has been through both hooks, and the marker message it posts
// queues behind every command the library posted.
const WORD kEndOfBurst = VK_F24;
const UINT kMarkerMessage = WM_APP + 1;
const UINT kUnloadMessage = WM_APP + 2;

bool IsExtended(WORD key) {
  switch (key) {
  case VK_UP:
  case VK_DOWN:
  case VK_HOME:
  case VK_RCONTROL:
  case VK_RMENU:
  case VK_LWIN:
    return true;
  default:
    return false;
  }
}

INPUT KeyInput(KeyEvent event) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = event.key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(event.key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags =
      (event.up ? KEYEVENTF_KEYUP : 0) | (IsExtended(event.key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

// Modifiers down, the key pressed (repeated while held) and released,
// modifiers up in reverse order.
Keys Chord(const std::vector<WORD> &modifiers, WORD key, int presses = 1) {
  Keys keys;
  for (WORD modifier : modifiers)
    keys.push_back({modifier, false});
  for (int i = 0; i < presses; ++i)
    keys.push_back({key, false});
  keys.push_back({key, true});
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
    keys.push_back({*it, true});
  return keys;
}

Keys Without(const Keys &keys, WORD key) {
  Keys rest;
  for (const KeyEvent &event : keys)
    if (event.key != key)
      rest.push_back(event);
  return rest;
}

const std::vector<WORD> kChordModifiers = {VK_LCONTROL, VK_LMENU, VK_LSHIFT};

// What the receiving side saw: the commands that reached the window and
// the keys that reached the test's hook, up to the end-of-burst marker.
struct Seen {
  std::mutex lock;
  std::condition_variable marked;
  Commands commands;
  Keys keys;
  // When the first of the keys reached the test's hook (performance counter).
  LONGLONG firstKeyAt = 0;
  int markers = 0;
  HWND window = nullptr;
};

Seen *seen = nullptr;

LRESULT CALLBACK TestKeyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto *key = reinterpret_cast<const KBDLLHOOKSTRUCT *>(data);
    KeyEvent event = {static_cast<WORD>(key->vkCode), (key->flags & LLKHF_UP) != 0};
    if (event.key == kEndOfBurst) {
      if (event.up)
        PostMessageA(seen->window, kMarkerMessage, 0, 0);
    } else {
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      std::lock_guard<std::mutex> guard(seen->lock);
      if (seen->keys.empty())
        seen->firstKeyAt = now.QuadPart;
      seen->keys.push_back(event);
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOOKCOMMAND || message == kMarkerMessage) {
    std::lock_guard<std::mutex> guard(seen->lock);
    if (message == WM_HOOKCOMMAND)
      seen->commands.push_back(static_cast<unsigned>(wParam));
    else
      ++seen->markers;
    seen->marked.notify_all();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The program's side: a thread with a window and a message loop that starts
// the hook through HookModule, as the resident program does. Without the
// library it only receives: the window and the test's hook.
class Receiver {
public:
  enum Library { kWithLibrary, kWithoutLibrary };
  explicit Receiver(Library library = kWithLibrary) : withLibrary(library == kWithLibrary) {
    seen = &state;
    ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, Run, this, 0, &threadId);
    WaitForSingleObject(ready, 10000);
  }
  ~Receiver() {
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(ready);
    seen = nullptr;
  }

  bool Started() const { return hookStarted; }
  HWND Window() const { return state.window; }
  LONGLONG FirstKeyAt() {
    std::lock_guard<std::mutex> guard(state.lock);
    return state.firstKeyAt;
  }

  // Ends the hook and unloads the library on the receiving thread.
  bool Unload() {
    ResetEvent(ready);
    return PostThreadMessageA(threadId, kUnloadMessage, 0, 0) &&
           WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0;
  }

  // Injects the keys and collects what arrived for them.
  bool Send(const Keys &keys, Commands &commands, Keys &passed) {
    int markersBefore;
    {
      std::lock_guard<std::mutex> guard(state.lock);
      state.commands.clear();
      state.keys.clear();
      markersBefore = state.markers;
    }
    std::vector<INPUT> inputs;
    for (const KeyEvent &event : keys)
      inputs.push_back(KeyInput(event));
    inputs.push_back(KeyInput({kEndOfBurst, false}));
    inputs.push_back(KeyInput({kEndOfBurst, true}));
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
      return false;
    std::unique_lock<std::mutex> guard(state.lock);
    if (!state.marked.wait_for(guard, std::chrono::seconds(20),
                               [&] { return state.markers > markersBefore; }))
      return false;
    commands = state.commands;
    passed = state.keys;
    return true;
  }

private:
  static DWORD WINAPI Run(LPVOID self) {
    static_cast<Receiver *>(self)->Loop();
    return 0;
  }

  void Loop() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReceiverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuilHookTestReceiver";
    RegisterClassA(&windowClass);
    state.window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, windowClass.hInstance, nullptr);
    HHOOK testHook =
        SetWindowsHookExA(WH_KEYBOARD_LL, TestKeyboardHook, GetModuleHandleA(nullptr), 0);
    HookModule *module = withLibrary ? new HookModule : nullptr;
    hookStarted = state.window && testHook && (!module || module->Start(state.window) == 1);
    SetEvent(ready);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (!message.hwnd && message.message == kUnloadMessage) {
        delete module;
        module = nullptr;
        SetEvent(ready);
        continue;
      }
      DispatchMessageA(&message);
    }
    delete module;
    if (testHook)
      UnhookWindowsHookEx(testHook);
    DestroyWindow(state.window);
  }

  bool withLibrary;
  Seen state;
  HANDLE ready = nullptr;
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  bool hookStarted = false;
};


class QuilHookTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(SetDllDirectoryA(WindowsPath(QUILHOOK_DIR).c_str()));
    receiver = new Receiver;
    ASSERT_TRUE(receiver->Started());
    ASSERT_NE(GetModuleHandleA("QuilHook.dll"), nullptr);
  }
  void TearDown() override {
    delete receiver;
    SetDllDirectoryA(nullptr);
  }

  Receiver *receiver = nullptr;
};

struct ChordCase {
  std::vector<WORD> modifiers;
  WORD key;
  unsigned command;
};

TEST_F(QuilHookTest, EachChordPostsItsCommandAndKeepsItsKeyFromOthers) {
  std::vector<ChordCase> cases;
  for (unsigned digit = 0; digit <= 9; ++digit)
    cases.push_back({kChordModifiers, static_cast<WORD>('0' + digit), HOOKCMD_PRESET0 + digit});
  cases.push_back({kChordModifiers, VK_UP, HOOKCMD_GAMMAUP});
  cases.push_back({kChordModifiers, VK_DOWN, HOOKCMD_GAMMADOWN});
  cases.push_back({kChordModifiers, VK_HOME, HOOKCMD_RESET});
  cases.push_back({{VK_RSHIFT, VK_RCONTROL, VK_RMENU}, '7', HOOKCMD_PRESET7});

  for (const ChordCase &c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key);
    Keys keys = Chord(c.modifiers, c.key);
    Commands commands;
    Keys passed;
    ASSERT_TRUE(receiver->Send(keys, commands, passed));
    EXPECT_EQ(commands, Commands({c.command}));
    // The modifiers go on; the key's press and release do not.
    EXPECT_EQ(passed, Without(keys, c.key));
  }
}

TEST_F(QuilHookTest, HeldChordRepeatsItsCommand) {
  Commands commands;
  Keys passed;
  ASSERT_TRUE(receiver->Send(Chord(kChordModifiers, VK_UP, 3), commands, passed));
  EXPECT_EQ(commands, Commands({HOOKCMD_GAMMAUP, HOOKCMD_GAMMAUP, HOOKCMD_GAMMAUP}));
  ASSERT_TRUE(receiver->Send(Chord(kChordModifiers, VK_DOWN, 2), commands, passed));
  EXPECT_EQ(commands, Commands({HOOKCMD_GAMMADOWN, HOOKCMD_GAMMADOWN}));
}

TEST_F(QuilHookTest, OtherKeysPassOnUntouched) {
  const std::vector<Keys> cases = {
      Chord({}, '5'),
      Chord({}, VK_UP),
      Chord({VK_LCONTROL, VK_LMENU}, '5'),
      Chord({VK_LCONTROL, VK_LSHIFT}, VK_UP),
      Chord({VK_LMENU, VK_LSHIFT}, VK_HOME),
      Chord(kChordModifiers, 'A'),
      Chord(kChordModifiers, VK_END),
      Chord(kChordModifiers, VK_NUMPAD5),
      // The "Office key" chords.
      Chord({VK_LWIN, VK_LCONTROL, VK_LMENU, VK_LSHIFT}, '5'),
      // Modifiers pressed after the key make no chord.
      Keys({{'5', false},
            {VK_LCONTROL, false},
            {VK_LMENU, false},
            {VK_LSHIFT, false},
            {'5', true},
            {VK_LSHIFT, true},
            {VK_LMENU, true},
            {VK_LCONTROL, true}}),
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    Commands commands;
    Keys passed;
    ASSERT_TRUE(receiver->Send(cases[i], commands, passed));
    EXPECT_EQ(commands, Commands());
    EXPECT_EQ(passed, cases[i]);
  }
}

TEST_F(QuilHookTest, AfterEndHookTheLibraryUnloadsAndKeysPassOn) {
  ASSERT_TRUE(receiver->Unload());
  EXPECT_EQ(GetModuleHandleA("QuilHook.dll"), nullptr);

  Keys keys = Chord(kChordModifiers, '1');
  Commands commands;
  Keys passed;
  ASSERT_TRUE(receiver->Send(keys, commands, passed));
  EXPECT_EQ(commands, Commands());
  EXPECT_EQ(passed, keys);
}

// The library started from the test's own thread, which pumps no messages:
// through HookModule as the program does, or through its exports, with the
// receiving window and the test's hook on a thread of their own.
class StartingThreadTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(SetDllDirectoryA(WindowsPath(QUILHOOK_DIR).c_str()));
    receiver = new Receiver(Receiver::kWithoutLibrary);
    ASSERT_TRUE(receiver->Started());
    // The program's main thread has windows, and so a message queue; Wine
    // calls no low-level hook on a thread that has none.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  }
  void TearDown() override {
    delete receiver;
    SetDllDirectoryA(nullptr);
  }

  Receiver *receiver = nullptr;
};

// Lets this thread's messages run until the handle is signalled. What came
// before is handled first: MsgWaitForMultipleObjects waits only for news.
bool PumpUntil(HANDLE handle, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&message);
    DWORD elapsed = GetTickCount() - start;
    if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0)
      return true;
    if (elapsed >= timeoutMs)
      return false;
    MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
  }
}

// Keys sent from a thread of their own, timed from just before SendInput to
// the moment the first of them reached the test's hook, as another program
// would receive it.
struct TimedSend {
  Receiver *receiver = nullptr;
  Keys keys;
  HANDLE began = nullptr;
  bool delivered = false;
  Commands commands;
  Keys passed;
  double firstKeyMs = 0;

  static DWORD WINAPI Run(LPVOID self) {
    static_cast<TimedSend *>(self)->Send();
    return 0;
  }
  void Send() {
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    // A thread's first call into the window manager sets up its state there;
    // a program that types has done so long before.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(began);
    QueryPerformanceCounter(&start);
    delivered = receiver->Send(keys, commands, passed);
    firstKeyMs = 1000.0 * static_cast<double>(receiver->FirstKeyAt() - start.QuadPart) /
                 static_cast<double>(frequency.QuadPart);
  }
};

// The longest pause of the program's main thread, after a change of
// resolution; a hot key's is 150 ms. It is also Windows' default
// LowLevelHooksTimeout, so a hook on the pausing thread would hold every key
// this long.
const DWORD kPauseMs = 300;

TEST_F(StartingThreadTest, KeysPassWhileTheStartingThreadPauses) {
  HookModule module;
  ASSERT_EQ(module.Start(receiver->Window()), 1);

  // A held hot key and the keys around it, sent while this thread blocks
  // without pumping messages, as the program's main thread sleeps after a
  // ramp. The pause is timed from the sending, so it always covers it.
  TimedSend send;
  send.receiver = receiver;
  send.keys = Chord(kChordModifiers, VK_UP, 2);
  send.began = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE sender = CreateThread(nullptr, 0, TimedSend::Run, &send, 0, nullptr);
  ASSERT_NE(sender, nullptr);
  ASSERT_EQ(WaitForSingleObject(send.began, 10000), WAIT_OBJECT_0);
  WaitForSingleObject(sender, kPauseMs);
  EXPECT_TRUE(PumpUntil(sender, 30000));
  CloseHandle(sender);
  CloseHandle(send.began);

  ASSERT_TRUE(send.delivered);
  EXPECT_EQ(send.commands, Commands({HOOKCMD_GAMMAUP, HOOKCMD_GAMMAUP}));
  EXPECT_EQ(send.passed, Without(send.keys, VK_UP));
  // Through a thread of the library's own a key takes a few milliseconds;
  // through the pausing thread it would wait out the pause. Half the pause
  // leaves a loaded machine a wide margin and still tells the two apart.
  EXPECT_LT(send.firstKeyMs, kPauseMs / 2.0);
}

int ThreadsOfThisProcess() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return -1;
  int count = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId())
      ++count;
  CloseHandle(snapshot);
  return count;
}

// FARPROC is a generic signature; going through void * says so.
template <typename Function> Function Export(HMODULE library, const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}

// The library's exports, called directly on a library loaded here.
struct Exports {
  explicit Exports(HMODULE library)
      : start(Export<StartHookProc>(library, "StartHook")),
        end(Export<EndHookProc>(library, "EndHook")),
        registerWindow(Export<RegisterQuilWindowProc>(library, "RegisterQuilWindow")) {}
  bool Found() const { return start && end && registerWindow; }

  StartHookProc start;
  EndHookProc end;
  RegisterQuilWindowProc registerWindow;
};

TEST_F(StartingThreadTest, StartHookReturnsWithTheHookInPlaceAndEndHookLeavesNoThread) {
  HMODULE library = LoadLibraryA("QuilHook.dll");
  ASSERT_NE(library, nullptr);
  Exports hook(library);
  ASSERT_TRUE(hook.Found());
  int before = ThreadsOfThisProcess();
  ASSERT_GT(before, 0);

  ASSERT_EQ(hook.start("QuilHook.dll"), TRUE);
  hook.registerWindow(receiver->Window());
  // Sent at once: had StartHook returned before its thread installed the
  // hook, the chord would pass on as plain keys.
  Keys keys = Chord(kChordModifiers, '3');
  Commands commands;
  Keys passed;
  ASSERT_TRUE(receiver->Send(keys, commands, passed));
  EXPECT_EQ(commands, Commands({HOOKCMD_PRESET3}));
  EXPECT_EQ(passed, Without(keys, '3'));
  // One thread of its own, and no second one for a second start.
  EXPECT_EQ(ThreadsOfThisProcess(), before + 1);
  EXPECT_EQ(hook.start("QuilHook.dll"), TRUE);
  EXPECT_EQ(ThreadsOfThisProcess(), before + 1);

  EXPECT_EQ(hook.end(), TRUE);
  EXPECT_EQ(ThreadsOfThisProcess(), before);
  EXPECT_EQ(hook.end(), FALSE);
  ASSERT_TRUE(receiver->Send(keys, commands, passed));
  EXPECT_EQ(commands, Commands());
  EXPECT_EQ(passed, keys);
  FreeLibrary(library);
  EXPECT_EQ(GetModuleHandleA("QuilHook.dll"), nullptr);
}

// Freed without EndHook, the library must not vanish from under its running
// hook thread: it stays, and the hook with it, until EndHook.
TEST_F(StartingThreadTest, FreedWithoutEndHookTheLibraryStaysUntilItsHookEnds) {
  HMODULE library = LoadLibraryA("QuilHook.dll");
  ASSERT_NE(library, nullptr);
  Exports hook(library);
  ASSERT_TRUE(hook.Found());
  ASSERT_EQ(hook.start("QuilHook.dll"), TRUE);
  hook.registerWindow(receiver->Window());
  FreeLibrary(library);
  ASSERT_EQ(GetModuleHandleA("QuilHook.dll"), library);

  Keys keys = Chord(kChordModifiers, VK_HOME);
  Commands commands;
  Keys passed;
  ASSERT_TRUE(receiver->Send(keys, commands, passed));
  EXPECT_EQ(commands, Commands({HOOKCMD_RESET}));

  // EndHook runs in the library: it needs a reference of the caller's own
  // while it returns, after the thread has dropped its own.
  ASSERT_EQ(LoadLibraryA("QuilHook.dll"), library);
  EXPECT_EQ(hook.end(), TRUE);
  FreeLibrary(library);
  EXPECT_EQ(GetModuleHandleA("QuilHook.dll"), nullptr);
  ASSERT_TRUE(receiver->Send(keys, commands, passed));
  EXPECT_EQ(passed, keys);
}

} // namespace
