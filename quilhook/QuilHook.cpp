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

// The thread that owns the hook, while the hook is started. Read and written
// only by StartHook and EndHook, which the program calls from one thread.
HANDLE hookThread = nullptr;
DWORD hookThreadId = 0;
// Set from whichever thread registers; read by the hook procedure.
std::atomic<HWND> quilWindow{nullptr};
// Keys whose press was taken as a hot key. Their release is taken too, so
// no program sees a release without the press. Touched only by the hook
// thread: the hook procedure runs there, and the thread clears them when it
// starts.
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

// What StartHook hands the hook thread, and what the thread tells it back
// before StartHook returns.
struct HookStart {
  HMODULE reference;
  HANDLE settled;
  BOOL installed;
};

// Waits for the keys of the whole system, and nothing else: every key press
// waits for this thread to run the hook procedure. Ended by WM_QUIT.
void RunHook(HookStart &start) {
  for (bool &taken : takenKeys)
    taken = false;
  // Makes the thread's message queue before the hook and EndHook need it:
  // PostThreadMessage fails on a thread that has none yet, and Wine calls
  // no low-level hook on such a thread.
  MSG message;
  PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HHOOK hook =
      SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, reinterpret_cast<HINSTANCE>(&__ImageBase), 0);
  start.installed = hook != nullptr;
  // `start` lives in StartHook, which returns once it sees this.
  SetEvent(start.settled);
  if (!hook)
    return;
  // GetMessageA gives -1 on an error; that must end the loop, not spin it.
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  UnhookWindowsHookEx(hook);
}

// The thread owns a reference on this library and drops it only as it ends,
// in one call: dropped first, the library could be unmapped while the thread
// still returns into it. So a FreeLibrary without EndHook cannot pull the
// code from under a running hook; the library then stays, hook and all,
// until EndHook or the end of the process. DllMain has nothing to do for
// it: while the thread runs the library is never unloaded, and under the
// loader lock it could not wait for the thread to end anyway.
DWORD WINAPI HookThreadMain(LPVOID parameter) {
  HookStart &start = *static_cast<HookStart *>(parameter);
  HMODULE reference = start.reference;
  RunHook(start);
  FreeLibraryAndExitThread(reference, 0);
}

void CloseHookThread() {
  CloseHandle(hookThread);
  hookThread = nullptr;
  hookThreadId = 0;
}

// Starts the hook thread with a reference of its own on this library and
// waits until the thread has installed the hook or failed to. 1 when the
// thread runs the hook.
int StartHookThread(HookStart &start) {
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&HookThreadMain), &start.reference))
    return 0;
  hookThread = CreateThread(nullptr, 0, HookThreadMain, &start, 0, &hookThreadId);
  if (!hookThread) {
    FreeLibrary(start.reference);
    return 0;
  }
  // Every key of the system waits for this thread. It only ever blocks in
  // GetMessage or runs the short hook procedure, so at the top priority it
  // answers at once even on a busy machine and still takes next to no time
  // from anyone.
  SetThreadPriority(hookThread, THREAD_PRIORITY_TIME_CRITICAL);
  HANDLE settledOrEnded[] = {start.settled, hookThread};
  WaitForMultipleObjects(2, settledOrEnded, FALSE, INFINITE);
  if (start.installed)
    return 1;
  WaitForSingleObject(hookThread, INFINITE);
  CloseHookThread();
  return 0;
}

} // namespace

// Windows calls a low-level hook on the thread that installed it, through
// that thread's message loop, and every key press on the system waits for
// it; a hook that keeps missing LowLevelHooksTimeout is removed without a
// word. The program's main thread pauses after each ramp, so the hook gets a
// thread of its own that does nothing else. The module name is the one the
// program loaded us under; the hook is tied to this module's own handle,
// which needs no look-up by name.
BOOL WINAPI StartHook(const char *moduleName) {
  (void)moduleName;
  if (hookThread)
    return TRUE;
  HookStart start = {nullptr, CreateEventA(nullptr, TRUE, FALSE, nullptr), FALSE};
  if (!start.settled)
    return FALSE;
  int started = StartHookThread(start);
  CloseHandle(start.settled);
  return started;
}

// Waits for the thread to remove the hook and end, so that the library may
// be unloaded as soon as this returns.
BOOL WINAPI EndHook(void) {
  if (!hookThread)
    return FALSE;
  PostThreadMessageA(hookThreadId, WM_QUIT, 0, 0);
  WaitForSingleObject(hookThread, INFINITE);
  CloseHookThread();
  return TRUE;
}

void WINAPI RegisterQuilWindow(HWND window) {
  quilWindow.store(window);
}
