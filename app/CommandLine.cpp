#include "app/CommandLine.h"

#include <cstring>

const char *FindArgumentText(const char *commandLine) {
  if (!commandLine)
    return nullptr;
  const char *firstQuote = std::strchr(commandLine, '"');
  if (!firstQuote)
    return nullptr;
  const char *secondQuote = std::strchr(firstQuote + 1, '"');
  if (!secondQuote)
    return nullptr;
  if (std::strlen(secondQuote + 1) < 2)
    return nullptr;
  return secondQuote + 2;
}

char *FindApplyPath(char *argumentText) {
  if (argumentText[0] != '/' || (argumentText[1] != 'E' && argumentText[1] != 'e'))
    return nullptr;
  // "/E" alone, or with only the separator, names no file; looking past the
  // end of the text for a path would read beyond the buffer.
  if (std::strlen(argumentText) < 4)
    return argumentText + std::strlen(argumentText);
  char *path = argumentText + 3;
  if (*path != '"')
    return path;
  ++path;
  char *closingQuote = std::strchr(path, '"');
  if (closingQuote)
    *closingQuote = '\0';
  return path;
}
