// Feeds arbitrary command lines to the argument rules, as GetCommandLineA
// would hand them over (text up to the first NUL), and the argument text on
// to the /E path rule in a buffer of exactly its size, as the one-shot start
// copies it. Both rules must stay inside their text and find exactly what
// the rules say.
#include "app/CommandLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void Require(bool holds, const char *what) {
  if (!holds) {
    std::fprintf(stderr, "command_line_fuzz: %s\n", what);
    std::abort();
  }
}

void CheckArgumentText(const char *line, const char *found) {
  const char *firstQuote = std::strchr(line, '"');
  const char *secondQuote = firstQuote ? std::strchr(firstQuote + 1, '"') : nullptr;
  const std::size_t afterQuote = secondQuote ? std::strlen(secondQuote + 1) : 0;
  if (!secondQuote || afterQuote < 2) {
    Require(found == nullptr, "argument text without two quotes and two characters after");
    return;
  }
  Require(found == secondQuote + 2, "argument text does not start two after the second quote");
  Require(*found != '\0', "empty argument text");
}

void CheckApplyPath(const std::string &text) {
  // Exactly the text and its NUL, so that any read past it is caught.
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  char *const begin = copy.get();
  char *const end = begin + text.size();
  const char *path = FindApplyPath(begin);

  const bool isSwitch = text.size() >= 2 && text[0] == '/' && (text[1] == 'E' || text[1] == 'e');
  if (!isSwitch) {
    Require(path == nullptr, "a path without /E");
    Require(std::memcmp(begin, text.c_str(), text.size() + 1) == 0, "text changed without /E");
    return;
  }
  Require(path != nullptr, "/E without a path");
  Require(path >= begin && path <= end, "path outside the text");
  if (text.size() < 4) {
    Require(*path == '\0', "a path where the text ends before it");
    return;
  }
  if (text[3] != '"') {
    Require(path == begin + 3 && std::strcmp(path, text.c_str() + 3) == 0,
            "an unquoted path is not the rest of the text");
    return;
  }
  Require(path == begin + 4, "a quoted path does not start after its quote");
  const std::size_t closing = text.find('"', 4);
  const std::string expected =
      text.substr(4, closing == std::string::npos ? std::string::npos : closing - 4);
  Require(expected == path, "a quoted path does not end at its closing quote");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string line(reinterpret_cast<const char *>(data),
                         strnlen(reinterpret_cast<const char *>(data), size));
  const char *found = FindArgumentText(line.c_str());
  CheckArgumentText(line.c_str(), found);
  if (found)
    CheckApplyPath(found);
  // The path rule on its own, for texts the argument rule would not hand on.
  CheckApplyPath(line);
  return 0;
}
