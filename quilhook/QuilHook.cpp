// QuilHook.dll: watches the keyboard for Quillora's hot keys and posts each
// one to the registered window as WM_HOOKCOMMAND. The chords are listed in
// README.md beside this file.

#include "hook/HookCommands.h"
#include "hook/QuilHookApi.h"

#include <windows.h>

#include <atomic>
#include <type_traits>

#define QUILHOOK_EXPORT extern "C" __declspec(dllexport)

QUILHOOK_EXPORT BOOL WINAPI StartHook(const char *moduleName);
QUILHOOK_EXPORT BOOL WINAPI EndHook(void);
QUILHOOK_EXPORT void WINAPI RegisterQuilWindow(HWND window);

static_assert(std::is_same<decltype(&StartHook), StartHookProc>::value, "StartHook");
static_assert(std::is_same<decltype(&EndHook), EndHookProc>::value, "EndHook");
static_assert(std::is_same<decltype(&RegisterQuilWindow), RegisterQuilWindowProc>::value,
              "RegisterQuilWindow");

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HHOOK keyboardHook = nullptr;
// Set from whichever thread registers; read by the hook procedure.
std::atomic<HWND> quilWindow{nullptr};
// Keys whose press was taken as a hot key. Their release is taken too, so
// no program sees a release without the press. Touched only by the hook
// procedure, which runs on the thread that installed the hook.
bool takenKeys[256];

bool IsDown(int virtualKey) {
  return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// Ctrl+Alt+Shift together is rarely a program's shortcut. The Windows key
// must be up: Ctrl+Alt+Shift+Win is the "Office key", whose chords belong
// to Office. The system's asynchronous key state is read rather than
// tracking modifiers here: a hook misses releases while another desktop
// (the secure one of Ctrl+Alt+Del) has the keyboard, and a tracked state
// would then stay stuck.
bool ChordModifiersHeld() {
  return IsDown(VK_CONTROL) && IsDown(VK_MENU) && IsDown(VK_SHIFT) && !IsDown(VK_LWIN) &&
         !IsDown(VK_RWIN);
}

// The command a key stands for while the chord modifiers are held, or -1.
// Only the digits of the main row: with Shift held, the numeric keypad
// reports navigation keys instead of digits.
int CommandForKey(DWORD virtualKey) {
  if (virtualKey >= '0' && virtualKey <= '9')
    return static_cast<int>(HOOKCMD_PRESET0 + (virtualKey - '0'));
  switch (virtualKey) {
  case VK_UP:
    return HOOKCMD_GAMMAUP;
  case VK_DOWN:
    return HOOKCMD_GAMMADOWN;
  case VK_HOME:
    return HOOKCMD_RESET;
  default:
    return -1;
  }
}

// Posts the command of a chord and says whether the key is to be kept from
// every other program. A held chord repeats its key presses, and each one
// posts again: holding the gamma keys keeps stepping the gamma.
bool TakeKey(const KBDLLHOOKSTRUCT &key) {
  if (key.vkCode >= 256)
    return false;
  if (key.flags & LLKHF_UP) {
    bool taken = takenKeys[key.vkCode];
    takenKeys[key.vkCode] = false;
    return taken;
  }
  int command = CommandForKey(key.vkCode);
  HWND window = quilWindow.load();
  if (command < 0 || !window || !ChordModifiersHeld())
    return false;
  // A hot key claims its chord, as one registered with RegisterHotKey would:
  // the focused program must not act on it too. When the window is gone,
  // the key is not ours to take.
  if (!PostMessageA(window, WM_HOOKCOMMAND, static_cast<WPARAM>(command), 0))
    return false;
  takenKeys[key.vkCode] = true;
  return true;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && TakeKey(*reinterpret_cast<const KBDLLHOOKSTRUCT *>(data)))
    return 1;
  return CallNextHookEx(nullptr, code, message, data);
}

void RemoveHook() {
  if (!keyboardHook)
    return;
  UnhookWindowsHookEx(keyboardHook);
  keyboardHook = nullptr;
  for (bool &taken : takenKeys)
    taken = false;
}

} // namespace

// A low-level hook sees the keys of every program but runs on the thread
// that installs it, through that thread's message loop. The module name is
// the one the program loaded us under; the hook is tied to this module's
// own handle, which needs no look-up by name.
BOOL WINAPI StartHook(const char *moduleName) {
  (void)moduleName;
  if (keyboardHook)
    return TRUE;
  keyboardHook =
      SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, reinterpret_cast<HINSTANCE>(&__ImageBase), 0);
  return keyboardHook != nullptr;
}

BOOL WINAPI EndHook(void) {
  if (!keyboardHook)
    return FALSE;
  RemoveHook();
  return TRUE;
}

void WINAPI RegisterQuilWindow(HWND window) {
  quilWindow.store(window);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Unloaded without EndHook: the system would go on calling into code that
  // is gone. At process exit (reserved set) the system cleans up itself.
  if (reason == DLL_PROCESS_DETACH && !reserved)
    RemoveHook();
  return TRUE;
}
