#ifndef QUILLORA_TESTS_FUZZ_FGETSPIECES_H
#define QUILLORA_TESTS_FUZZ_FGETSPIECES_H

#include "config/ConfigLine.h"

#include <cstddef>
#include <cstdint>

// How many lines the configuration readers see in these bytes: fgets pieces,
// each up to and including LF, at most kConfigLineSize - 1 bytes.
inline int CountPieces(const std::uint8_t *data, std::size_t size) {
  int pieces = 0;
  int length = 0;
  for (std::size_t i = 0; i < size; ++i) {
    ++length;
    if (data[i] == '\n' || length == kConfigLineSize - 1) {
      ++pieces;
      length = 0;
    }
  }
  return pieces + (length > 0 ? 1 : 0);
}

#endif
