#include "gamma/NewFile.h"

#include <cerrno>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>

std::FILE *CreateNewFile(const char *path, int *exists) {
  int descriptor = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  *exists = descriptor < 0 && errno == EEXIST;
  if (descriptor < 0)
    return nullptr;
  std::FILE *file = _fdopen(descriptor, "wb");
  if (!file)
    _close(descriptor);
  return file;
}
#else
#include <unistd.h>

std::FILE *CreateNewFile(const char *path, int *exists) {
  int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
  *exists = descriptor < 0 && errno == EEXIST;
  if (descriptor < 0)
    return nullptr;
  std::FILE *file = fdopen(descriptor, "wb");
  if (!file)
    close(descriptor);
  return file;
}
#endif
