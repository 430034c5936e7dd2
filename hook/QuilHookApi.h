#ifndef QUILLORA_HOOK_QUILHOOKAPI_H
#define QUILLORA_HOOK_QUILHOOKAPI_H

#include <windows.h>

// The entry points of QuilHook.dll. The library exports them under exactly
// these undecorated names with the stdcall convention; the library checks
// its definitions against these types. The program calls them so that a
// library built with cdecl entry points works too (HookModule.cpp).

// The file name the library was loaded under, e.g. "QuilHook.dll". Installs
// the keyboard hook for the calling thread, which must pump messages.
// 1 when the hook is in place.
typedef BOOL(WINAPI *StartHookProc)(const char *moduleName);

// Removes the hook; afterwards the library may be unloaded at once.
// 1 when a hook was removed.
typedef BOOL(WINAPI *EndHookProc)(void);

// The window that receives WM_HOOKCOMMAND from now on.
typedef void(WINAPI *RegisterQuilWindowProc)(HWND window);

#endif
