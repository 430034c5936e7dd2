#ifndef QUILLORA_CONFIG_CONFIGLINE_H
#define QUILLORA_CONFIG_CONFIGLINE_H

// One line of "quilcfg.txt", as the reader gets it from fgets: at most
// kConfigLineSize - 1 bytes, ending in LF unless the line was longer or the
// file ended. A longer physical line arrives in pieces, each parsed on its own.

const int kConfigLineSize = 260;

enum ConfigLineKind {
  kPlainLine,      // the whole line is a gamma file path
  kResolutionLine, // "*<width><sep><height><sep><path>"
  kDefaultLine,    // "*default <path>", the keyword in any case
  kHookLine,       // "*H...": reserved, the registry decides about the hook
  kTimeLine,       // "*time <h:mm[:ss]> <path>", the keyword in any case
  kFadeLine,       // "*fade <minutes>" or "*fade <seconds>s", the keyword in any case
  kIgnoredLine,    // any other line starting with "*", and time or fade lines
                   // that do not parse
};

// The longest fade a line may ask for: a whole day, in seconds.
const int kLongestFadeSeconds = 24 * 60 * 60;

struct ConfigLine {
  ConfigLineKind kind;
  // Points into the parsed line, already cut by TrimAtControl. Empty when
  // the line ended before its path; null for hook and ignored lines.
  char *path;
  // Resolution lines only, else 0. A digit run too long for an int gives
  // the largest int.
  int width;
  int height;
  // Time lines: the second of the day, 0 to 86399. Fade lines: the fade's
  // length in seconds, 0 to kLongestFadeSeconds. Else 0.
  int seconds;
};

// Classifies a line by its first two bytes (and its keyword) and splits it.
// A time line needs hours 0 to 23 in one or two digits, minutes and
// optional seconds in two digits each (0 to 59), one space and a path that
// is not empty; a fade line needs digits alone, optionally ending in "s",
// within kLongestFadeSeconds. Anything else after those keywords makes the
// line kIgnoredLine. Writes into the line (cuts the path, ends the
// keyword). Never reads past the line's terminating NUL, whatever bytes it
// holds.
ConfigLine ParseConfigLine(char *line);

// Cuts the text at its first byte below 32 (CR, LF, tab, NUL...). Bytes of
// 0x80 and above are kept, so Shift-JIS paths stay whole.
void TrimAtControl(char *text);

// 1 when name is longer than suffix and ends in it, ignoring case; 0
// otherwise or when either is null.
int EndsWithNoCase(const char *name, const char *suffix);

// 1 when the file system reports a status for path (a directory passes
// too) whose size, as a signed 32-bit value, is not negative; else 0.
int FileExists(const char *path);

#endif
