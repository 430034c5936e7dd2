#include "hook/HookModule.h"

#include "hook/HookCommands.h"
#include "hook/QuilHookApi.h"

#include <cstdint>

static_assert(WM_HOOKCOMMAND == WM_USER + 100, "the library posts WM_USER + 100");

namespace {

// The library is told the name it was loaded under, so both uses must agree.
const char kLibraryName[] = "QuilHook.dll";

// One set for the whole process, as there is one library in it. Called only
// while a HookModule holds the library loaded, and only through the helpers
// below: the library may have been built with either calling convention.
void *pfnStartHook = nullptr;
void *pfnEndHook = nullptr;
void *pfnRegisterQuilWindow = nullptr;

void *EntryPoint(HMODULE library, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(library, name));
}

// Our library's entry points are stdcall (QuilHookApi.h), which pop their
// argument; one built from the same interface in plain C is cdecl and leaves
// it for the caller. Calling one as the other leaves the stack pointer four
// bytes off after every call. So the argument is pushed by hand, with the
// stack pointer kept in ESI, which both conventions preserve, and put back
// after the call, whoever popped. EAX, ECX and EDX may be changed by the
// callee in both conventions.
void CallWithOneArgument(void *entry, std::uintptr_t argument) {
#if defined(__i386__)
  __asm__ volatile("movl %%esp, %%esi\n\t"
                   "pushl %[argument]\n\t"
                   "call *%[entry]\n\t"
                   "movl %%esi, %%esp"
                   :
                   : [entry] "r"(entry), [argument] "r"(argument)
                   : "eax", "ecx", "edx", "esi", "memory", "cc");
#else
  // Elsewhere there is one calling convention.
  reinterpret_cast<void(WINAPI *)(std::uintptr_t)>(entry)(argument);
#endif
}

// Without arguments both conventions leave the stack as they found it.
void CallWithoutArguments(void *entry) {
  reinterpret_cast<EndHookProc>(entry)();
}

void ForgetEntryPoints() {
  pfnStartHook = nullptr;
  pfnEndHook = nullptr;
  pfnRegisterQuilWindow = nullptr;
}

} // namespace

HookModule::HookModule() : library(nullptr), started(0) {
  library = LoadLibraryA(kLibraryName);
  if (!library)
    return;
  pfnStartHook = EntryPoint(library, "StartHook");
  pfnEndHook = EntryPoint(library, "EndHook");
  pfnRegisterQuilWindow = EntryPoint(library, "RegisterQuilWindow");
  if (pfnStartHook && pfnEndHook && pfnRegisterQuilWindow)
    return;
  FreeLibrary(library);
  library = nullptr;
  ForgetEntryPoints();
}

HookModule::~HookModule() {
  if (!library)
    return;
  Stop();
  FreeLibrary(library);
  library = nullptr;
  // What they point to has just gone.
  ForgetEntryPoints();
}

int HookModule::Start(HWND window) {
  if (!library || started)
    return 0;
  CallWithOneArgument(pfnStartHook, reinterpret_cast<std::uintptr_t>(kLibraryName));
  CallWithOneArgument(pfnRegisterQuilWindow, reinterpret_cast<std::uintptr_t>(window));
  started = 1;
  return 1;
}

int HookModule::Stop() {
  if (!library || !started)
    return 0;
  CallWithoutArguments(pfnEndHook);
  started = 0;
  return 1;
}
