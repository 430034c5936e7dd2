#ifndef QUILLORA_TESTS_SUPPORT_GAMMAFILEWRITER_H
#define QUILLORA_TESTS_SUPPORT_GAMMAFILEWRITER_H

#include <cstdint>
#include <string>
#include <vector>

// Gamma files written byte by byte, independently of the program's own
// writer, so that tests of the reader do not take the writer's word for the
// format.
struct GammaFileContent {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::string name;
  std::vector<std::uint16_t> ramp; // 768 entries: red, green, blue
  std::int32_t applyDelay = 0;
};

std::vector<unsigned char> GammaFileBytes(const GammaFileContent &content);
bool WriteFileBytes(const std::string &path, const std::vector<unsigned char> &bytes);
bool WriteGammaFile(const std::string &path, const GammaFileContent &content);

// A ramp of three equal channels, 65535 * (j / 255) ^ (1 / gamma) rounded
// down to a multiple of 256: a plain gamma curve that the display takes.
std::vector<std::uint16_t> PowerRamp(double gamma);

#endif
