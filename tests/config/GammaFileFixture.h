#ifndef QUILLORA_TESTS_CONFIG_GAMMAFILEFIXTURE_H
#define QUILLORA_TESTS_CONFIG_GAMMAFILEFIXTURE_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

// Gamma files written byte by byte, so the tests do not depend on the code
// that writes them in the program: "QLRAMP01", width, height, name length 0,
// 768 little-endian 16-bit entries, apply delay.

// A pure power curve with no dark level: the display server accepts these.
inline std::vector<std::uint16_t> PowerRamp(double gamma) {
  std::vector<std::uint16_t> ramp(768);
  for (int j = 0; j < 256; ++j) {
    int level = static_cast<int>(255.0 * std::pow(j / 255.0, 1.0 / gamma));
    for (int channel = 0; channel < 3; ++channel)
      ramp[channel * 256 + j] = static_cast<std::uint16_t>(level * 256);
  }
  return ramp;
}

inline void PutInt32(std::vector<unsigned char> &bytes, std::int32_t value) {
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

inline std::vector<unsigned char> GammaFileBytes(int width, int height,
                                                 const std::vector<std::uint16_t> &ramp,
                                                 int applyDelay = 0) {
  std::vector<unsigned char> bytes = {'Q', 'L', 'R', 'A', 'M', 'P', '0', '1'};
  PutInt32(bytes, width);
  PutInt32(bytes, height);
  PutInt32(bytes, 0);
  for (std::uint16_t entry : ramp) {
    bytes.push_back(static_cast<unsigned char>(entry & 0xFF));
    bytes.push_back(static_cast<unsigned char>(entry >> 8));
  }
  PutInt32(bytes, applyDelay);
  return bytes;
}

inline bool WriteBytes(const char *path, const void *data, std::size_t size) {
  std::FILE *file = std::fopen(path, "wb");
  if (!file)
    return false;
  bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

inline bool WriteGammaFile(const char *path, int width, int height, double gamma = 1.0) {
  std::vector<unsigned char> bytes = GammaFileBytes(width, height, PowerRamp(gamma));
  return WriteBytes(path, bytes.data(), bytes.size());
}

#endif
