#include "gamma/MoveFileOver.h"

#ifdef _WIN32
#include <windows.h>

// The C library's rename refuses to overwrite an existing file on Windows.
int MoveFileOver(const char *from, const char *to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}
#else
#include <cstdio>

int MoveFileOver(const char *from, const char *to) {
  return std::rename(from, to) == 0 ? 1 : 0;
}
#endif
