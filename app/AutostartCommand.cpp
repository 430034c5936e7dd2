#include "app/AutostartCommand.h"

#include "config/StartupApproval.h"
#include "ui/StartupShortcut.h"

#include <windows.h>

namespace {

const wchar_t kCaption[] = L"Windowsと同時に起動";
// The shortcut's file name, which also names Windows' own switch for it.
const char kShortcutName[] = "Quillora.lnk";

// Empty when the path does not fit: no shortcut then reads as this
// program's, and none can be written.
void ProgramPath(wchar_t *program) {
  DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    program[0] = L'\0';
}

const wchar_t *Reason(StartupShortcut::Failure failure) {
  switch (failure) {
  case StartupShortcut::kNoStartupFolder:
    return L"スタートアップフォルダーの場所がわかりません。";
  case StartupShortcut::kNoCom:
    return L"COMを使えないため、ショートカットを読み書きできません。";
  case StartupShortcut::kNotWritten:
    return L"スタートアップフォルダーにショートカットを書きこめません。";
  case StartupShortcut::kNotDeleted:
    return L"スタートアップフォルダーのショートカットを削除できません。";
  default:
    return L"ショートカットを作れません。";
  }
}

void ShowFailure(const StartupShortcut &shortcut) {
  wchar_t text[128 + MAX_PATH];
  lstrcpyW(text, Reason(shortcut.LastFailure()));
  // The folder tells the user where to look.
  if (shortcut.Folder()[0]) {
    lstrcatW(text, L"\n");
    lstrcatW(text, shortcut.Folder());
  }
  MessageBoxW(nullptr, text, kCaption, MB_OK | MB_ICONWARNING);
}

// A shortcut that Task Manager or Settings switched off stays in the
// folder, and Windows does not start it.
int StartsAtSignIn(StartupShortcut &shortcut) {
  return shortcut.StartsProgram() && !StartupItemSwitchedOff(kShortcutName);
}

} // namespace

int StartsWithWindows() {
  wchar_t program[MAX_PATH];
  ProgramPath(program);
  StartupShortcut shortcut(program);
  return StartsAtSignIn(shortcut);
}

void RunAutostartCommand() {
  wchar_t program[MAX_PATH];
  ProgramPath(program);
  StartupShortcut shortcut(program);
  // Asked again rather than taken from the check mark: the folder may have
  // changed while the menu was open.
  int on = StartsAtSignIn(shortcut);
  if (!(on ? shortcut.Remove() : shortcut.Write()))
    ShowFailure(shortcut);
  else if (!on && !SwitchStartupItemOn(kShortcutName))
    MessageBoxW(nullptr,
                L"ショートカットは書きこみましたが、Windowsの設定でオフにされたままです。\n"
                L"タスクマネージャーの「スタートアップ」で有効にしてください。",
                kCaption, MB_OK | MB_ICONWARNING);
}
