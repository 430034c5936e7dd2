// A stand-in for QuilHook.dll that installs no hook but writes every call it
// receives, in order and with its argument, one line each, to the file named
// by the environment variable QUIL_HOOK_LOG (nothing when it is unset):
//
//   load                       the library was mapped into the process
//   StartHook <name>           the string it was given, or "(null)"
//   RegisterQuilWindow <hwnd>  the handle, as 0x followed by lower-case hex
//   EndHook
//   unload                     FreeLibrary took it out again
//
// Built in variants that leave out one entry point each (QUIL_HOOK_WITHOUT_*),
// and in one with cdecl entry points (QUIL_HOOK_CDECL), as a library built
// from the interface in plain C gets them by default.
// The file is opened for every line, so it survives the library's unloading
// and serves end-to-end runs of the program as well.

#include "hook/QuilHookApi.h"

#include <windows.h>

#include <cstdio>
#include <type_traits>

namespace {

void Record(const char *line) {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("QUIL_HOOK_LOG", path, sizeof path);
  if (length == 0 || length >= sizeof path)
    return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  char text[300];
  int size = std::snprintf(text, sizeof text, "%s\r\n", line);
  DWORD written = 0;
  if (size > 0)
    WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(file);
}

} // namespace

#define RECORDING_EXPORT extern "C" __declspec(dllexport)

#ifdef QUIL_HOOK_CDECL
#define RECORDING_CONVENTION __cdecl
// The program's types are stdcall; this variant differs from them on purpose.
#define CHECK_ENTRY_TYPE(name, type)
#else
#define RECORDING_CONVENTION WINAPI
#define CHECK_ENTRY_TYPE(name, type)                                                               \
  static_assert(std::is_same<decltype(&name), type>::value, #name);
#endif

#ifndef QUIL_HOOK_WITHOUT_STARTHOOK
RECORDING_EXPORT BOOL RECORDING_CONVENTION StartHook(const char *moduleName) {
  char line[MAX_PATH + 16];
  std::snprintf(line, sizeof line, "StartHook %s", moduleName ? moduleName : "(null)");
  Record(line);
  return TRUE;
}
CHECK_ENTRY_TYPE(StartHook, StartHookProc)
#endif

#ifndef QUIL_HOOK_WITHOUT_ENDHOOK
RECORDING_EXPORT BOOL RECORDING_CONVENTION EndHook(void) {
  Record("EndHook");
  return TRUE;
}
CHECK_ENTRY_TYPE(EndHook, EndHookProc)
#endif

#ifndef QUIL_HOOK_WITHOUT_REGISTERQUILWINDOW
RECORDING_EXPORT void RECORDING_CONVENTION RegisterQuilWindow(HWND window) {
  char line[64];
  std::snprintf(line, sizeof line, "RegisterQuilWindow 0x%lx",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
  Record(line);
}
CHECK_ENTRY_TYPE(RegisterQuilWindow, RegisterQuilWindowProc)
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH)
    Record("load");
  else if (reason == DLL_PROCESS_DETACH && !reserved)
    Record("unload");
  return TRUE;
}
