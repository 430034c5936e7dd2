#include "config/AnsiText.h"

#include <cstring>

namespace {

int FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

} // namespace

int AnsiTextLength(const char *text) {
  return text ? static_cast<int>(std::strlen(text)) : 0;
}

int AnsiCompareNoCase(const char *a, const char *b) {
  const unsigned char *x = reinterpret_cast<const unsigned char *>(a);
  const unsigned char *y = reinterpret_cast<const unsigned char *>(b);
  while (*x && FoldAscii(*x) == FoldAscii(*y)) {
    ++x;
    ++y;
  }
  return FoldAscii(*x) - FoldAscii(*y);
}
