#ifndef QUILLORA_HOOK_QUILHOOKAPI_H
#define QUILLORA_HOOK_QUILHOOKAPI_H

#include <windows.h>

// The entry points of QuilHook.dll. The library exports them under exactly
// these undecorated names with the stdcall convention; the library checks
// its definitions against these types. The program calls them so that a
// library built with cdecl entry points works too (HookModule.cpp).

// The file name the library was loaded under, e.g. "QuilHook.dll". Starts a
// thread of the library's own that installs the keyboard hook and runs it
// through its message loop; the calling thread need not pump messages and
// may block as long as it likes. Returns once that thread has installed the
// hook (1) or failed to and ended (0); 1 at once when the hook is already
// started. Not to be called under the loader lock (from a DllMain): it waits
// for a new thread.
typedef BOOL(WINAPI *StartHookProc)(const char *moduleName);

// Ends the hook's thread and waits for it: the hook is gone and the thread
// has ended when it returns, and the library may be unloaded at once.
// 1 when a hook was removed. Not to be called under the loader lock either.
// A library freed without it stays loaded, its hook running, until the
// process ends.
typedef BOOL(WINAPI *EndHookProc)(void);

// The window that receives WM_HOOKCOMMAND from now on.
typedef void(WINAPI *RegisterQuilWindowProc)(HWND window);

#endif
