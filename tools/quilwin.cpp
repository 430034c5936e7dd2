// quilwin: drives Quillora's windows from outside, for scripts/screenshots.sh.
//
//   quilwin cursor X Y                      moves the mouse cursor
//   quilwin post CLASS MSG WPARAM LPARAM    posts to the first top-level
//                                           window of CLASS (hidden ones too)
//   quilwin rect CLASS [CAPTION]            prints "left top width height" of
//                                           a visible top-level window
//   quilwin modules CLASS                   prints the path of every module
//                                           loaded in the window's process
//   quilwin select CAPTION ID INDEX         selects line INDEX of list box ID
//                                           in the dialog CAPTION, as a click
//                                           would (the dialog is notified)
//   quilwin scroll CAPTION ID POS [ID POS]  puts slider or spinner ID of the
//                                           dialog CAPTION at POS, as a drag
//                                           would (the dialog is notified)
//
// post and rect wait up to 20 s for the window; exit code 1 when it never
// came. A caption given in UTF-8 arrives here in the ANSI code page, as
// FindWindowA wants it. Numbers may be decimal or 0x hexadecimal.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static HWND WaitForWindow(const char *className, const char *caption, bool visibleOnly) {
  for (int i = 0; i < 200; ++i) {
    HWND window = FindWindowA(className, caption);
    if (window && (!visibleOnly || IsWindowVisible(window)))
      return window;
    Sleep(100);
  }
  fprintf(stderr, "quilwin: no window of class %s\n", className);
  return nullptr;
}

static int PrintModules(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE)
    return 1;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
    printf("%s\n", module.szExePath);
  CloseHandle(snapshot);
  return 0;
}

static long Number(const char *text) { return strtol(text, nullptr, 0); }

// A slider sends its dialog WM_HSCROLL, a vertical spinner WM_VSCROLL.
static bool Scroll(HWND dialog, int id, int position) {
  HWND control = GetDlgItem(dialog, id);
  char className[64] = "";
  GetClassNameA(control, className, sizeof className);
  LPARAM from = reinterpret_cast<LPARAM>(control);
  if (!lstrcmpiA(className, TRACKBAR_CLASSA)) {
    SendMessageA(control, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), from);
    return true;
  }
  if (!lstrcmpiA(className, UPDOWN_CLASSA)) {
    SendMessageA(control, UDM_SETPOS32, 0, position);
    SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), from);
    return true;
  }
  return false;
}

int main(int argc, char **argv) {
  if (argc == 4 && !strcmp(argv[1], "cursor"))
    return SetCursorPos(Number(argv[2]), Number(argv[3])) ? 0 : 1;
  if (argc == 6 && !strcmp(argv[1], "post")) {
    HWND window = WaitForWindow(argv[2], nullptr, false);
    return window && PostMessageA(window, Number(argv[3]), Number(argv[4]), Number(argv[5])) ? 0
                                                                                           : 1;
  }
  if ((argc == 3 || argc == 4) && !strcmp(argv[1], "rect")) {
    HWND window = WaitForWindow(argv[2], argc == 4 ? argv[3] : nullptr, true);
    if (!window)
      return 1;
    // Once the window answers, it has been through its first paint.
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    RECT rect;
    GetWindowRect(window, &rect);
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
  }
  if (argc == 5 && !strcmp(argv[1], "select")) {
    HWND dialog = WaitForWindow("#32770", argv[2], true);
    HWND list = dialog ? GetDlgItem(dialog, Number(argv[3])) : nullptr;
    if (!list || SendMessageA(list, LB_SETCURSEL, Number(argv[4]), 0) == LB_ERR)
      return 1;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(Number(argv[3]), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return 0;
  }
  if (argc >= 5 && argc % 2 == 1 && !strcmp(argv[1], "scroll")) {
    HWND dialog = WaitForWindow("#32770", argv[2], true);
    for (int i = 3; dialog && i + 1 < argc; i += 2)
      if (!Scroll(dialog, Number(argv[i]), Number(argv[i + 1])))
        return 1;
    return dialog ? 0 : 1;
  }
  if (argc == 3 && !strcmp(argv[1], "modules")) {
    HWND window = WaitForWindow(argv[2], nullptr, false);
    return window ? PrintModules(window) : 1;
  }
  fputs("usage: quilwin cursor X Y | post CLASS MSG WPARAM LPARAM | rect CLASS [CAPTION] |"
        " modules CLASS | select CAPTION ID INDEX | scroll CAPTION ID POS [ID POS]\n",
        stderr);
  return 2;
}
