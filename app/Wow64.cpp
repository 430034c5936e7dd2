#include "app/Wow64.h"

#include "ui/SystemLibrary.h"

#include <windows.h>

int RunsUnderWow64() {
  // IsWow64Process answers FALSE for a 32-bit x86 program on 64-bit Windows
  // on ARM; IsWow64Process2 (Windows 10 1709 on) names the emulated machine
  // everywhere.
  typedef BOOL(WINAPI * Wow64Process2Proc)(HANDLE, USHORT *, USHORT *);
  SystemLibrary kernel("kernel32.dll");
  if (auto wow64Process2 = kernel.Find<Wow64Process2Proc>("IsWow64Process2")) {
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN, native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (wow64Process2(GetCurrentProcess(), &process, &native))
      return process != IMAGE_FILE_MACHINE_UNKNOWN;
  }
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
