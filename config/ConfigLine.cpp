#include "config/ConfigLine.h"

#include "config/AnsiText.h"

#include <climits>
#include <cstdint>
#include <sys/stat.h>

namespace {

const char kDefaultKeyword[] = "default";
const char kTimeKeyword[] = "time";
const char kFadeKeyword[] = "fade";

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
  ConfigLine line = {kind, path, 0, 0, 0};
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

// Reads two digits at the cursor as a number below `limit` and moves past
// them; -1 when there are not two digits or the number is too large.
int ReadTwoDigits(const char *&cursor, int limit) {
  if (!IsDigit(cursor[0]) || !IsDigit(cursor[1]))
    return -1;
  int value = (cursor[0] - '0') * 10 + (cursor[1] - '0');
  cursor += 2;
  return value < limit ? value : -1;
}

// "h:mm" or "hh:mm:ss" at the cursor as the second of the day; -1 when it is
// no time of day (24:00, 7:5, 19:00:60).
int ReadTimeOfDay(const char *&cursor) {
  if (!IsDigit(*cursor))
    return -1;
  int hours = *cursor++ - '0';
  if (IsDigit(*cursor))
    hours = hours * 10 + (*cursor++ - '0');
  if (hours > 23 || *cursor++ != ':')
    return -1;
  int minutes = ReadTwoDigits(cursor, 60);
  int seconds = 0;
  if (minutes >= 0 && *cursor == ':')
    seconds = ReadTwoDigits(++cursor, 60);
  if (minutes < 0 || seconds < 0)
    return -1;
  return (hours * 60 + minutes) * 60 + seconds;
}

ConfigLine ParseTimeLine(char *value) {
  const char *cursor = value;
  int secondOfDay = ReadTimeOfDay(cursor);
  if (secondOfDay < 0 || *cursor != ' ')
    return MakeLine(kIgnoredLine, nullptr);
  ConfigLine line = MakeLine(kTimeLine, value + (cursor - value) + 1);
  if (!*line.path)
    return MakeLine(kIgnoredLine, nullptr);
  line.seconds = secondOfDay;
  return line;
}

// Minutes, or seconds with an "s"; spaces may follow, nothing else.
ConfigLine ParseFadeLine(char *value) {
  TrimAtControl(value);
  char *cursor = value;
  int amount = ReadDecimal(cursor);
  int inSeconds = *cursor == 's' || *cursor == 'S';
  cursor += inSeconds;
  while (*cursor == ' ')
    ++cursor;
  int limit = inSeconds ? kLongestFadeSeconds : kLongestFadeSeconds / 60;
  if (cursor == value || !IsDigit(*value) || *cursor || amount > limit)
    return MakeLine(kIgnoredLine, nullptr);
  ConfigLine line = MakeLine(kFadeLine, nullptr);
  line.seconds = inSeconds ? amount : amount * 60;
  return line;
}

// The keyword ends at the first space only; a line end right after it stays
// part of the keyword, so "*default" alone on its line does not qualify.
ConfigLine ParseKeywordLine(char *text) {
  char *keyword = text + 1;
  char *end = keyword;
  while (*end && *end != ' ')
    ++end;
  char *value = end;
  if (*end) {
    *end = '\0';
    value = end + 1;
  }
  if (AnsiCompareNoCase(keyword, kDefaultKeyword) == 0)
    return MakeLine(kDefaultLine, value);
  if (AnsiCompareNoCase(keyword, kTimeKeyword) == 0)
    return ParseTimeLine(value);
  if (AnsiCompareNoCase(keyword, kFadeKeyword) == 0)
    return ParseFadeLine(value);
  return MakeLine(kIgnoredLine, nullptr);
}

} // namespace

ConfigLine ParseConfigLine(char *text) {
  if (text[0] != '*')
    return MakeLine(kPlainLine, text);
  char second = text[1];
  if (IsDigit(second))
    return ParseResolutionLine(text);
  if (second == 'H')
    return MakeLine(kHookLine, nullptr);
  return ParseKeywordLine(text);
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
