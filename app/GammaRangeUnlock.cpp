#include "app/GammaRangeUnlock.h"

#include "app/ElevatedProcess.h"
#include "app/MainWindow.h"
#include "app/Wow64.h"
#include "config/RegistryKey.h"

#include <cstdio>

namespace {

const char kIcmKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM";
const int kUnlockedRange = 256;
const char kTitle[] = "ガンマ範囲の制限";
const char kRegArguments[] = "add \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM\" "
                             "/v GdiIcmGammaRange /t REG_DWORD /d 256 /f";
// A 32-bit program on 64-bit Windows is redirected to a registry view of
// its own, and its system folder is SysWOW64 under System32's name: the
// switch makes whichever reg.exe runs write the 64-bit view, the one Windows
// reads. Elsewhere there is one view, and Vista's reg.exe without an update
// refuses the switch.
const char kTo64BitView[] = " /reg:64";

int Say(const char *text, UINT type) {
  return MessageBoxA(GetMainWindow(), text, kTitle, type);
}

// The system's reason for an error code, or the code itself.
void SayFailure(DWORD error) {
  char reason[256] = "";
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                      reason, sizeof reason, nullptr))
    std::snprintf(reason, sizeof reason, "エラー %lu", static_cast<unsigned long>(error));
  char text[400];
  std::snprintf(text, sizeof text, "制限を解除できませんでした。\n%s", reason);
  Say(text, MB_OK | MB_ICONWARNING);
}

// The system folder's reg.exe, by its full path: an unqualified name may be
// found first in the program's folder, which is also the working folder
// when the program starts with Windows. 0 with the error when the system
// folder is not known.
int SystemRegPath(char *path, DWORD *error) {
  const char kName[] = "\\reg.exe";
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + sizeof kName > MAX_PATH) {
    *error = length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW;
    return 0;
  }
  // Not followed by a separator, unless the folder is a drive's root.
  lstrcatA(path, path[length - 1] == '\\' ? kName + 1 : kName);
  return 1;
}

// Runs the system's reg.exe with administrator rights, then reports what the
// value reads.
void WriteUnlockedRange() {
  DWORD exitCode = 0, error = 0;
  char reg[MAX_PATH];
  if (!SystemRegPath(reg, &error)) {
    SayFailure(error);
    return;
  }
  char arguments[sizeof kRegArguments + sizeof kTo64BitView];
  lstrcpyA(arguments, kRegArguments);
  if (RunsUnderWow64())
    lstrcatA(arguments, kTo64BitView);
  if (!RunElevated(GetMainWindow(), reg, arguments, &exitCode, &error)) {
    if (error == ERROR_CANCELLED)
      Say("取り消されました。何も変わっていません。", MB_OK | MB_ICONINFORMATION);
    else
      SayFailure(error);
    return;
  }
  // Only the value itself says it is done: reg.exe's exit code is its own,
  // and whatever ran under that name may have ended with 0 and written
  // nothing.
  if (!GammaRangeUnlocked()) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "制限を解除できませんでした。\nGdiIcmGammaRange が 256 以上になっていません "
                  "(reg.exe の終了コード %lu)。",
                  static_cast<unsigned long>(exitCode));
    Say(text, MB_OK | MB_ICONWARNING);
    return;
  }
  Say("制限を解除しました。サインインし直すと有効になります。", MB_OK | MB_ICONINFORMATION);
}

} // namespace

int GammaRangeUnlocked() {
  RegistryKey key;
  int range = 0;
  return key.OpenToRead64(kIcmKey, HKEY_LOCAL_MACHINE) &&
         key.GetDword("GdiIcmGammaRange", &range, 0) == 0 && range >= kUnlockedRange;
}

void UnlockGammaRange() {
  if (GammaRangeUnlocked()) {
    Say("ガンマ範囲の制限はすでに解除されています。", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (Say("Windows が受け付けるガンマの範囲を広げます (GdiIcmGammaRange = 256)。\n"
          "管理者の権限を求められます。次のサインインから有効になります。\n"
          "解除しますか?",
          MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  WriteUnlockedRange();
}
