#include "tests/e2e/DialogDriver.h"

#include <commctrl.h>

namespace {

// The file-name box of the Explorer-style common file dialogs.
const int kFileNameBox = 1148;

struct DialogSearch {
  DWORD processId;
  const char *caption;
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto *search = reinterpret_cast<DialogSearch *>(context);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window))
    return TRUE;
  if (search->owner && GetWindow(window, GW_OWNER) != search->owner)
    return TRUE;
  if (search->caption) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char caption[128] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (processId != search->processId || lstrcmpA(caption, search->caption) != 0)
      return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND WaitFor(DialogSearch search, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found || GetTickCount() - start >= timeoutMs)
      return search.found;
    Sleep(20);
  }
}

} // namespace

HWND WaitForDialog(DWORD processId, const char *caption, unsigned timeoutMs) {
  return WaitFor({processId, caption, nullptr, nullptr}, timeoutMs);
}

HWND WaitForOwnedDialog(HWND owner, unsigned timeoutMs) {
  return WaitFor({0, nullptr, owner, nullptr}, timeoutMs);
}

bool WaitForWindowGone(HWND window, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (GetTickCount() - start >= timeoutMs)
      return false;
    Sleep(20);
  }
  return true;
}

std::string ItemText(HWND dialog, int controlId) {
  char text[256] = {};
  GetWindowTextA(GetDlgItem(dialog, controlId), text, sizeof text);
  return text;
}

namespace {

bool RectInside(const RECT &inner, const RECT &outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

} // namespace

bool LiesInside(HWND dialog, const RECT &area, std::initializer_list<int> controlIds) {
  RECT rect = {};
  if (!GetWindowRect(dialog, &rect) || !RectInside(rect, area))
    return false;
  for (int id : controlIds) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || !GetWindowRect(control, &rect) || !RectInside(rect, area))
      return false;
  }
  return true;
}

void DragSlider(HWND dialog, int controlId, int position) {
  HWND slider = GetDlgItem(dialog, controlId);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
               reinterpret_cast<LPARAM>(slider));
}

void ClickSpinner(HWND dialog, int controlId, int position) {
  HWND spinner = GetDlgItem(dialog, controlId);
  SendMessageA(spinner, UDM_SETPOS, 0, MAKELPARAM(position, 0));
  SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(spinner));
}

void ClickButton(HWND dialog, int controlId) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

void TypeFileName(HWND fileDialog, const std::string &windowsPath) {
  SetWindowTextA(GetDlgItem(fileDialog, kFileNameBox), windowsPath.c_str());
  PostMessageA(fileDialog, WM_COMMAND, IDOK, 0);
}
