#include "ui/DialogWindow.h"

#include "ui/DialogPlacement.h"
#include "ui/SystemLibrary.h"

#include <commctrl.h>

namespace {

const char kObjectProperty[] = "GP";
const int kGammaSlider = 1006;

BOOL CALLBACK RemoveProperty(HWND window, LPSTR name, HANDLE, ULONG_PTR) {
  RemovePropA(window, name);
  return TRUE;
}

BOOL MoveWindowTo(HWND window, int left, int top) {
  return SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The work area of the monitor under the point, or nearest to it: the
// taskbar and other docked bars are left out, and a monitor left of or above
// the primary one keeps its negative coordinates. Without monitor
// information, the primary screen.
PlacementArea WorkAreaAt(POINT point) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (monitor && GetMonitorInfoA(monitor, &info))
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

DialogWindow::DialogWindow(DialogHandler dialogHandler)
    : data(nullptr), icon(nullptr), y(0), x(0), modal(0), hwnd(nullptr), handler(dialogHandler) {}

DialogWindow::~DialogWindow() {
  if (!hwnd)
    return;
  if (modal == 1)
    EndDialog(hwnd, 0);
  else
    DestroyWindow(hwnd);
  hwnd = nullptr;
}

INT_PTR DialogWindow::ShowModal(int templateId, HWND owner) {
  modal = 1;
  // Both dialogs hold trackbar and up-down controls.
  RegisterDialogControls();
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

int DialogWindow::End(INT_PTR result) {
  if (!hwnd)
    return 0;
  BOOL ended = modal ? EndDialog(hwnd, result) : DestroyWindow(hwnd);
  hwnd = nullptr;
  modal = 0;
  return ended;
}

HWND DialogWindow::Item(int controlId) const {
  return GetDlgItem(hwnd, controlId);
}

void DialogWindow::EnableItem(int controlId, BOOL enable) const {
  EnableWindow(GetDlgItem(hwnd, controlId), enable);
}

void DialogWindow::SetSliderPos(int position) const {
  SendDlgItemMessageA(hwnd, kGammaSlider, TBM_SETPOS, TRUE, position);
}

void DialogWindow::MoveTo(int left, int top, int clamp) {
  x = left;
  y = top;
  if (!hwnd)
    return;
  if (clamp) {
    RECT rect;
    GetWindowRect(hwnd, &rect);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (y + (rect.bottom - rect.top) > screenHeight)
      y = screenHeight - (rect.bottom - rect.top);
    if (x + (rect.right - rect.left) > screenWidth)
      x = screenWidth - (rect.right - rect.left);
  }
  MoveWindowTo(hwnd, x, y);
}

DialogWindow *DialogWindow::Bind(HWND window, LPARAM initParam) {
  DialogWindow *dialog = reinterpret_cast<DialogWindow *>(initParam);
  if (!dialog)
    return nullptr;
  dialog->hwnd = window;
  SetPropA(window, kObjectProperty, dialog);
  // This changes the icon of the class that every dialog shares.
  if (dialog->icon)
    SetClassLongPtrA(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(dialog->icon));
  dialog->MoveTo(dialog->x, dialog->y, 0);
  return dialog;
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  DialogWindow *dialog = static_cast<DialogWindow *>(GetPropA(window, kObjectProperty));
  if (!dialog && message == WM_INITDIALOG)
    dialog = Bind(window, lParam);
  // Messages before WM_INITDIALOG (WM_SETFONT, WM_NCCREATE...) and after
  // WM_DESTROY have no object to go to.
  if (!dialog)
    return FALSE;
  BYTE handled = 0;
  // Every property goes, other code's too, so that none outlives the window.
  if (message == WM_DESTROY)
    EnumPropsExA(window, RemoveProperty, 0);
  if (dialog->handler)
    dialog->handler(dialog, message, wParam, lParam, &handled);
  return handled ? TRUE : FALSE;
}

BOOL PlaceAtCursor(HWND window) {
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  RECT rect;
  GetWindowRect(window, &rect);
  int left = cursor.x;
  int top = cursor.y;
  KeepInsideArea(&left, &top, rect.right - rect.left, rect.bottom - rect.top, WorkAreaAt(cursor));
  return MoveWindowTo(window, left, top);
}
