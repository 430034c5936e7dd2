#ifndef QUILLORA_UI_WINEVENTHOOK_H
#define QUILLORA_UI_WINEVENTHOOK_H

#include <windows.h>

// The events the program hooks. It is built for systems older than the
// desktop switch event (Windows 8), so its number is its own.
const DWORD kForegroundEvent = EVENT_SYSTEM_FOREGROUND;
const DWORD kDesktopSwitchEvent = 0x0020; // EVENT_SYSTEM_DESKTOPSWITCH

// Asks the system to tell one window of one kind of event that other
// programs raise (EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_DESKTOPSWITCH ...):
// the window is posted `message` with the event in wParam. The hook runs out
// of context, so no library goes into other programs; the system calls it
// back on the thread that registered, from that thread's message loop, and
// the program's own windows coming to the foreground are left out.
class WinEventHook {
public:
  WinEventHook();
  // Unhooks. Must run on the thread that registered, as UnhookWinEvent
  // requires.
  virtual ~WinEventHook();
  WinEventHook(const WinEventHook &) = delete;
  WinEventHook &operator=(const WinEventHook &) = delete;

  // 1 when the system took the hook; 0 when it refused it or no more hooks
  // fit. A hook held is dropped first.
  int Register(DWORD event, HWND window, UINT message);
  // 1 when a hook was dropped; 0 when none was held.
  int Unregister();
  int IsRegistered() const { return hook != nullptr; }

private:
  static void CALLBACK Notify(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                              DWORD thread, DWORD time);

  HWINEVENTHOOK hook;
  HWND window;
  UINT message;
};

#endif
