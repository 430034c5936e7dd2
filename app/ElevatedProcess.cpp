#include "app/ElevatedProcess.h"

#include "ui/ComApartment.h"

#include <shellapi.h>

int RunElevated(HWND owner, const char *program, const char *parameters, DWORD *exitCode,
                DWORD *error) {
  // ShellExecuteEx may hand the verb to a shell extension, which needs COM.
  ComApartment com;
  SHELLEXECUTEINFOA run = {};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.hwnd = owner;
  run.lpVerb = "runas";
  run.lpFile = program;
  run.lpParameters = parameters;
  run.nShow = SW_HIDE;
  if (!ShellExecuteExA(&run)) {
    *error = GetLastError();
    return 0;
  }
  // Null only when no new process was started, which a program file always
  // is; the caller then goes by what it finds written.
  if (run.hProcess) {
    WaitForSingleObject(run.hProcess, INFINITE);
    GetExitCodeProcess(run.hProcess, exitCode);
    CloseHandle(run.hProcess);
  }
  return 1;
}
