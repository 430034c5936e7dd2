#include "ui/SystemLibrary.h"

#include <commctrl.h>

SystemLibrary::SystemLibrary(const char *name) : fileName(name), module(nullptr) {}

SystemLibrary::~SystemLibrary() {
  if (module)
    FreeLibrary(module);
  module = nullptr;
}

FARPROC SystemLibrary::Find(const char *name) {
  if (!module)
    module = LoadLibraryA(fileName);
  return module ? GetProcAddress(module, name) : nullptr;
}

namespace {

// Stays loaded while the process lives: the classes it registered must.
SystemLibrary commonControls("comctl32.dll");
SystemLibrary commonDialogs("comdlg32.dll");
int dialogControlsRegistered = 0;

} // namespace

int RegisterDialogControls() {
  if (dialogControlsRegistered)
    return 1;
  typedef BOOL(WINAPI * InitProc)(const INITCOMMONCONTROLSEX *);
  InitProc init = commonControls.Find<InitProc>("InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  dialogControlsRegistered = init && init(&controls);
  return dialogControlsRegistered;
}

namespace {

BOOL ShowFileDialog(const char *entryPoint, OPENFILENAMEA *request) {
  typedef BOOL(WINAPI * FileDialogProc)(OPENFILENAMEA *);
  FileDialogProc show = commonDialogs.Find<FileDialogProc>(entryPoint);
  return show ? show(request) : FALSE;
}

} // namespace

BOOL ShowOpenFileDialog(OPENFILENAMEA *request) {
  return ShowFileDialog("GetOpenFileNameA", request);
}

BOOL ShowSaveFileDialog(OPENFILENAMEA *request) {
  return ShowFileDialog("GetSaveFileNameA", request);
}

DWORD FileDialogError() {
  typedef DWORD(WINAPI * ErrorProc)();
  ErrorProc error = commonDialogs.Find<ErrorProc>("CommDlgExtendedError");
  return error ? error() : CDERR_INITIALIZATION;
}
