#include "config/ConfigLine.h"

#include "config/AnsiText.h"

#include <climits>
#include <cstdint>
#include <sys/stat.h>

namespace {

const char kDefaultKeyword[] = "default";

int IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the run of decimal digits at the cursor and moves past it. An empty
// run is 0; a run beyond INT_MAX stops growing there instead of overflowing.
int ReadDecimal(char *&cursor) {
  int value = 0;
  for (; IsDigit(*cursor); ++cursor) {
    int digit = *cursor - '0';
    value = (value > (INT_MAX - digit) / 10) ? INT_MAX : value * 10 + digit;
  }
  return value;
}

// Steps over one separator byte, but never over the end of the line.
void SkipOne(char *&cursor) {
  if (*cursor)
    ++cursor;
}

ConfigLine MakeLine(ConfigLineKind kind, char *path) {
  ConfigLine line = {kind, path, 0, 0};
  if (path)
    TrimAtControl(path);
  return line;
}

ConfigLine ParseResolutionLine(char *text) {
  char *cursor = text + 1;
  int width = ReadDecimal(cursor);
  SkipOne(cursor);
  int height = ReadDecimal(cursor);
  SkipOne(cursor);
  ConfigLine line = MakeLine(kResolutionLine, cursor);
  line.width = width;
  line.height = height;
  return line;
}

// The keyword ends at the first space only; a line end right after it stays
// part of the keyword, so "*default" alone on its line does not qualify.
ConfigLine ParseDefaultLine(char *text) {
  char *keyword = text + 1;
  char *end = keyword;
  while (*end && *end != ' ')
    ++end;
  char *path = end;
  if (*end) {
    *end = '\0';
    path = end + 1;
  }
  if (AnsiCompareNoCase(keyword, kDefaultKeyword) != 0)
    return MakeLine(kIgnoredLine, nullptr);
  return MakeLine(kDefaultLine, path);
}

} // namespace

ConfigLine ParseConfigLine(char *text) {
  if (text[0] != '*')
    return MakeLine(kPlainLine, text);
  char second = text[1];
  if (IsDigit(second))
    return ParseResolutionLine(text);
  if (second == 'D' || second == 'd')
    return ParseDefaultLine(text);
  if (second == 'H')
    return MakeLine(kHookLine, nullptr);
  return MakeLine(kIgnoredLine, nullptr);
}

void TrimAtControl(char *text) {
  while (static_cast<unsigned char>(*text) >= 32)
    ++text;
  *text = '\0';
}

int EndsWithNoCase(const char *name, const char *suffix) {
  if (!name || !suffix)
    return 0;
  int nameLength = AnsiTextLength(name);
  int suffixLength = AnsiTextLength(suffix);
  return nameLength > suffixLength &&
         AnsiCompareNoCase(name + nameLength - suffixLength, suffix) == 0;
}

int FileExists(const char *path) {
  struct stat status;
  if (!path || stat(path, &status) != 0)
    return 0;
  return static_cast<std::int32_t>(status.st_size) >= 0;
}
