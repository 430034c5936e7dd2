#include "gamma/FileName.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

int IsLeadByte(unsigned char c) {
#ifdef _WIN32
  return IsDBCSLeadByte(c);
#else
  // Without Windows there is no ANSI code page to ask: CP932 is the one the
  // program's users have.
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
#endif
}

} // namespace

const char *FileNameOf(const char *path) {
  const char *name = path;
  for (const char *c = path; *c; ++c) {
    if (std::strchr("/\\:", *c))
      name = c + 1;
    else if (IsLeadByte(static_cast<unsigned char>(*c)) && c[1])
      ++c;
  }
  return name;
}
