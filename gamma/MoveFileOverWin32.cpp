#include "gamma/MoveFileOver.h"

#include <windows.h>

namespace {

// Scanners hold a new file for some tens to hundreds of milliseconds; a file
// held for longer is not waited for: the save is reported as failed.
const DWORD kPatienceMs = 1000;
const DWORD kPauseMs = 100;

// What a file open in another program without FILE_SHARE_DELETE, or one
// waiting to be deleted, makes a rename or a delete fail with. A read-only
// file gives access denied too, and then only costs the wait.
bool HeldByAnother(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

template <typename Step> int RetryWhileHeld(Step step) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (step())
      return 1;
    if (!HeldByAnother(GetLastError()) || GetTickCount() - start >= kPatienceMs)
      return 0;
    Sleep(kPauseMs);
  }
}

} // namespace

// The C library's rename refuses to overwrite an existing file on Windows.
int MoveFileOver(const char *from, const char *to) {
  return RetryWhileHeld([=] { return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0; });
}

int RemoveFile(const char *path) {
  return RetryWhileHeld([=] { return DeleteFileA(path) != 0; });
}
