#include "app/GammaRangeUnlock.h"

#include "app/MainWindow.h"
#include "config/RegistryKey.h"

#include <shellapi.h>

#include <cstdio>

namespace {

const char kIcmKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM";
const int kUnlockedRange = 256;
const char kTitle[] = "ガンマ範囲の制限";
// /reg:64 writes the 64-bit view even from the 32-bit program; 32-bit
// Windows has only the one view.
const char kRegArguments[] = "add \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM\" "
                             "/v GdiIcmGammaRange /t REG_DWORD /d 256 /f /reg:64";

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

// The exit code of reg.exe run with administrator rights, or an error of
// the start itself (ERROR_CANCELLED: refused at the prompt), in *error.
int RunElevatedReg(DWORD *exitCode, DWORD *error) {
  SHELLEXECUTEINFOA run = {};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.hwnd = GetMainWindow();
  run.lpVerb = "runas";
  run.lpFile = "reg.exe";
  run.lpParameters = kRegArguments;
  run.nShow = SW_HIDE;
  if (!ShellExecuteExA(&run)) {
    *error = GetLastError();
    return 0;
  }
  WaitForSingleObject(run.hProcess, INFINITE);
  GetExitCodeProcess(run.hProcess, exitCode);
  CloseHandle(run.hProcess);
  return 1;
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
  DWORD exitCode = 0, error = 0;
  if (!RunElevatedReg(&exitCode, &error)) {
    if (error == ERROR_CANCELLED)
      Say("取り消されました。何も変わっていません。", MB_OK | MB_ICONINFORMATION);
    else
      SayFailure(error);
    return;
  }
  if (exitCode != 0) {
    // reg.exe's exit code is its own, not a system error code: naming the
    // system's message for it would mislead.
    char text[160];
    std::snprintf(text, sizeof text,
                  "制限を解除できませんでした。\nreg.exe が終了コード %lu で終わりました。",
                  static_cast<unsigned long>(exitCode));
    Say(text, MB_OK | MB_ICONWARNING);
    return;
  }
  if (!GammaRangeUnlocked()) {
    SayFailure(ERROR_WRITE_FAULT);
    return;
  }
  Say("制限を解除しました。サインインし直すと有効になります。", MB_OK | MB_ICONINFORMATION);
}
