#include "ui/MonitorDialog.h"

#include "gamma/GammaRamp.h"
#include "ui/GammaFileDialog.h"

#include <cstdio>
#include <initializer_list>
#include <new>

namespace {

// Set while the dialog itself fills the path box: the EN_CHANGE that sends
// is no change of the user's. One dialog at a time, so one per process.
int fillingPath = 0;

MonitorDialogData &Data(DialogWindow *dialog) {
  return *static_cast<MonitorDialogData *>(dialog->data);
}

LRESULT SendItem(DialogWindow *dialog, int control, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageA(dialog->Handle(), control, message, wParam, lParam);
}

// The entry selected in the list, or null.
MonitorDialogEntry *Selected(DialogWindow *dialog) {
  LRESULT index = SendItem(dialog, kMonitorList, LB_GETCURSEL, 0, 0);
  MonitorDialogData &data = Data(dialog);
  if (index < 0 || index >= data.count)
    return nullptr;
  return &data.entries[index];
}

int ButtonFor(int choice) {
  if (choice == kMonitorOwnFile)
    return kMonitorOwnFileButton;
  return choice == kMonitorLeftOut ? kMonitorLeaveOutButton : kMonitorFollowButton;
}

int ChoiceFor(int button) {
  if (button == kMonitorOwnFileButton)
    return kMonitorOwnFile;
  return button == kMonitorLeaveOutButton ? kMonitorLeftOut : kMonitorFollows;
}

// The path box and 「参照...」 serve 「このファイル」 only.
void ShowChoice(DialogWindow *dialog) {
  MonitorDialogEntry *entry = Selected(dialog);
  for (int button : {kMonitorFollowButton, kMonitorOwnFileButton, kMonitorLeaveOutButton})
    dialog->EnableItem(button, entry != nullptr);
  CheckRadioButton(dialog->Handle(), kMonitorFollowButton, kMonitorLeaveOutButton,
                   entry ? ButtonFor(entry->setting.choice) : 0);
  fillingPath = 1;
  SetDlgItemTextA(dialog->Handle(), kMonitorPathBox, entry ? entry->setting.path : "");
  fillingPath = 0;
  BOOL own = entry && entry->setting.choice == kMonitorOwnFile;
  dialog->EnableItem(kMonitorPathBox, own);
  dialog->EnableItem(kMonitorBrowseButton, own);
}

void Initialise(DialogWindow *dialog) {
  MonitorDialogData &data = Data(dialog);
  for (int i = 0; i < data.count; ++i)
    SendItem(dialog, kMonitorList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data.entries[i].line));
  SendItem(dialog, kMonitorPathBox, EM_LIMITTEXT, MAX_PATH - 1, 0);
  SendItem(dialog, kMonitorList, LB_SETCURSEL, 0, 0);
  ShowChoice(dialog);
}

void Choose(DialogWindow *dialog, int button) {
  MonitorDialogEntry *entry = Selected(dialog);
  if (entry && entry->setting.choice != ChoiceFor(button)) {
    entry->setting.choice = ChoiceFor(button);
    entry->changed = 1;
  }
  ShowChoice(dialog);
}

void TakePath(DialogWindow *dialog) {
  MonitorDialogEntry *entry = Selected(dialog);
  if (!entry || fillingPath)
    return;
  GetDlgItemTextA(dialog->Handle(), kMonitorPathBox, entry->setting.path,
                  sizeof entry->setting.path);
  entry->changed = 1;
}

// The load command's open dialog; its path goes into the box, and from
// there into the entry.
void Browse(DialogWindow *dialog) {
  char path[MAX_PATH] = "";
  if (Selected(dialog) && ChooseGammaFileToOpen(dialog->Handle(), path, sizeof path))
    SetDlgItemTextA(dialog->Handle(), kMonitorPathBox, path);
}

int FileLoads(const char *path) {
  GammaRamp *ramp = new (std::nothrow) GammaRamp;
  int loads = ramp && path[0] && ramp->LoadFromFile(path);
  delete ramp;
  return loads;
}

// The first changed entry whose own file does not load, or -1.
int FirstUnloadable(const MonitorDialogData &data) {
  for (int i = 0; i < data.count; ++i) {
    const MonitorDialogEntry &entry = data.entries[i];
    if (entry.changed && entry.setting.choice == kMonitorOwnFile && !FileLoads(entry.setting.path))
      return i;
  }
  return -1;
}

void Confirm(DialogWindow *dialog) {
  int refused = FirstUnloadable(Data(dialog));
  if (refused < 0) {
    dialog->End(1);
    return;
  }
  SendItem(dialog, kMonitorList, LB_SETCURSEL, static_cast<WPARAM>(refused), 0);
  ShowChoice(dialog);
  char text[MAX_PATH + 96];
  std::snprintf(text, sizeof text, "ガンマファイルとして読みこめませんでした。\n%s",
                Data(dialog).entries[refused].setting.path);
  MessageBoxA(dialog->Handle(), text, "Quil", MB_OK | MB_ICONWARNING);
}

void OnCommand(DialogWindow *dialog, WPARAM wParam) {
  int control = LOWORD(wParam);
  int notification = HIWORD(wParam);
  switch (control) {
  case IDOK:
    Confirm(dialog);
    break;
  case IDCANCEL:
    dialog->End(0);
    break;
  case kMonitorList:
    if (notification == LBN_SELCHANGE)
      ShowChoice(dialog);
    break;
  case kMonitorFollowButton:
  case kMonitorOwnFileButton:
  case kMonitorLeaveOutButton:
    if (notification == BN_CLICKED)
      Choose(dialog, control);
    break;
  case kMonitorPathBox:
    if (notification == EN_CHANGE)
      TakePath(dialog);
    break;
  case kMonitorBrowseButton:
    Browse(dialog);
    break;
  default:
    break;
  }
}

} // namespace

void MonitorDialogHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM, BYTE *) {
  switch (message) {
  case WM_INITDIALOG:
    Initialise(dialog);
    break;
  case WM_SHOWWINDOW:
    if (wParam)
      PlaceAtCursor(dialog->Handle());
    break;
  case WM_COMMAND:
    OnCommand(dialog, wParam);
    break;
  default:
    break;
  }
}
