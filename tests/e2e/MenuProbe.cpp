// menu_probe.dll: a menu can be read only inside the process that made it,
// so a test hooks this library into the program's thread
// (SetWindowsHookEx, WH_CALLWNDPROC) and asks through it. Sent the message
// registered as "QuilMenuProbe", with a command identifier in wParam, an
// open popup menu window gets the state of that entry (GetMenuState's flags)
// plus 1 as its window property "QuilMenuProbe", which any process can read;
// 0 when the menu has no such entry.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam,
                                                                LPARAM lParam) {
  const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
  if (code == HC_ACTION && call->message == RegisterWindowMessageA("QuilMenuProbe")) {
    auto menu = reinterpret_cast<HMENU>(SendMessageA(call->hwnd, MN_GETHMENU, 0, 0));
    UINT state = GetMenuState(menu, static_cast<UINT>(call->wParam), MF_BYCOMMAND);
    SetPropA(call->hwnd, "QuilMenuProbe", reinterpret_cast<HANDLE>(UINT_PTR{state} + 1));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
