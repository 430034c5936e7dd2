#ifndef QUILLORA_UI_MONITORDIALOG_H
#define QUILLORA_UI_MONITORDIALOG_H

// The dialog "モニターごとの設定" (template IDD_MONITORSETTINGS): one line per
// monitor, attached or remembered, and for the one selected its choice:
// follow the common ramp, a file of its own, or left out. The choices are
// edited in entries the caller owns and hands over as the dialog's data;
// the dialog touches neither the registry nor the screen.

#include "config/MonitorSettings.h"
#include "ui/DialogWindow.h"

#include <windows.h>

// The controls of the template.
enum MonitorControl {
  kMonitorList = 1101,
  kMonitorFollowButton = 1102,   // 「全体と同じ」
  kMonitorOwnFileButton = 1103,  // 「このファイル」
  kMonitorLeaveOutButton = 1104, // 「変更しない」
  kMonitorPathBox = 1105,
  kMonitorBrowseButton = 1106, // 「参照...」
};

struct MonitorDialogEntry {
  static const int kLineSize = 160;
  MonitorSetting setting;
  // What the list shows: name, Windows number, resolution, 主, HDR表示中;
  // or the name and 未接続 for one only remembered.
  char line[kLineSize];
  // Set when the dialog changed the choice or the path.
  int changed;
};

struct MonitorDialogData {
  MonitorDialogEntry *entries;
  int count;
};

// dialog->data is a MonitorDialogData. "OK" first checks that every changed
// entry with a file of its own names a gamma file that loads: one that does
// not is refused in a message, selected, and the dialog stays open. Ends
// with 1 from "OK", with 0 from "キャンセル", Escape or the close button.
void MonitorDialogHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM lParam,
                          BYTE *handled);

#endif
