#ifndef QUILLORA_TESTS_CONFIG_GAMMAFILEFIXTURE_H
#define QUILLORA_TESTS_CONFIG_GAMMAFILEFIXTURE_H

#include "tests/support/GammaFileWriter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The shapes the configuration tests need of the shared gamma file writer:
// unnamed files of a plain power curve.

inline std::vector<unsigned char> GammaFileBytes(int width, int height,
                                                 const std::vector<std::uint16_t> &ramp,
                                                 int applyDelay = 0) {
  GammaFileContent content;
  content.width = width;
  content.height = height;
  content.ramp = ramp;
  content.applyDelay = applyDelay;
  return GammaFileBytes(content);
}

inline bool WriteBytes(const char *path, const void *data, std::size_t size) {
  const unsigned char *bytes = static_cast<const unsigned char *>(data);
  return WriteFileBytes(path, std::vector<unsigned char>(bytes, bytes + size));
}

inline bool WriteGammaFile(const char *path, int width, int height, double gamma = 1.0) {
  return WriteFileBytes(path, GammaFileBytes(width, height, PowerRamp(gamma)));
}

#endif
