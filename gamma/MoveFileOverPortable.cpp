#include "gamma/MoveFileOver.h"

#include <cstdio>

// Outside Windows a file open in another program can still be renamed and
// deleted: one try says it all.
int MoveFileOver(const char *from, const char *to) {
  return std::rename(from, to) == 0 ? 1 : 0;
}

int RemoveFile(const char *path) {
  return std::remove(path) == 0 ? 1 : 0;
}
