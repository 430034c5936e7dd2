#include "hook/HookCommands.h"
#include "hook/HookModule.h"

#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// The real QuilHook.dll, loaded as the program loads it (HookModule) on a
// thread that pumps messages like the program's, with keys injected through
// SendInput. A low-level hook of the test's own, installed before the
// library's and so called after it, shows which keys the library passed on.

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
      std::lock_guard<std::mutex> guard(seen->lock);
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
// the hook through HookModule, as the resident program does.
class Receiver {
public:
  Receiver() {
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
    HookModule *module = new HookModule;
    hookStarted = state.window && testHook && module->Start(state.window) == 1;
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

} // namespace
