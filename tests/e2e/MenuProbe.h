#ifndef QUILLORA_TESTS_E2E_MENUPROBE_H
#define QUILLORA_TESTS_E2E_MENUPROBE_H

#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"

#include <windows.h>

// menu_probe.dll hooked into the thread of a program's window while the
// object lives (see MenuProbe.cpp).
class MenuProbe {
public:
  explicit MenuProbe(HWND programWindow) {
    library = LoadLibraryA(WindowsPath(MENU_PROBE_DLL).c_str());
    auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void *>(GetProcAddress(library, "MenuProbeHook")));
    DWORD thread = GetWindowThreadProcessId(programWindow, nullptr);
    installed = hook ? SetWindowsHookExA(WH_CALLWNDPROC, hook, library, thread) : nullptr;
  }
  virtual ~MenuProbe() {
    if (installed)
      UnhookWindowsHookEx(installed);
    if (library)
      FreeLibrary(library);
  }
  MenuProbe(const MenuProbe &) = delete;
  MenuProbe &operator=(const MenuProbe &) = delete;

  // GetMenuState's flags for the entry of the open menu, or -1.
  int EntryState(HWND menuWindow, UINT command) {
    DWORD_PTR ignored = 0;
    if (!installed || !SendMessageTimeoutA(menuWindow, RegisterWindowMessageA("QuilMenuProbe"),
                                           command, 0, SMTO_NORMAL, 10000, &ignored))
      return -1;
    auto answer = reinterpret_cast<UINT_PTR>(GetPropA(menuWindow, "QuilMenuProbe"));
    return answer ? static_cast<int>(answer - 1) : -1;
  }

private:
  HMODULE library = nullptr;
  HHOOK installed = nullptr;
};

// Opens the program's tray menu as a click on the icon does, and reads the
// entry's check mark while it is open: 1 checked, 0 not, -1 when no menu
// opened or the entry could not be read. The menu is closed again.
inline int TrayMenuCheck(ResidentProcess &resident, UINT command) {
  if (!PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN))
    return -1;
  HWND menuWindow = WaitForProgramMenu(resident.ProcessId(), 20000);
  if (!menuWindow)
    return -1;
  int state = MenuProbe(resident.Window()).EntryState(menuWindow, command);
  PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  if (!WaitForProgramMenuGone(resident.ProcessId(), 20000) || state < 0)
    return -1;
  return (state & MF_CHECKED) ? 1 : 0;
}

#endif
