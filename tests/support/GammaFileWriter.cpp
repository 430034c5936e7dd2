#include "tests/support/GammaFileWriter.h"

#include <cmath>
#include <cstdio>

namespace {
void PutInt32(std::vector<unsigned char> &bytes, std::int32_t value) {
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<unsigned char>(bits >> shift));
}
} // namespace

std::vector<unsigned char> GammaFileBytes(const GammaFileContent &content) {
  std::vector<unsigned char> bytes = {'Q', 'L', 'R', 'A', 'M', 'P', '0', '1'};
  PutInt32(bytes, content.width);
  PutInt32(bytes, content.height);
  PutInt32(bytes, static_cast<std::int32_t>(content.name.size()));
  bytes.insert(bytes.end(), content.name.begin(), content.name.end());
  for (std::uint16_t entry : content.ramp) {
    bytes.push_back(static_cast<unsigned char>(entry & 0xFF));
    bytes.push_back(static_cast<unsigned char>(entry >> 8));
  }
  PutInt32(bytes, content.applyDelay);
  return bytes;
}

bool WriteFileBytes(const std::string &path, const std::vector<unsigned char> &bytes) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (!file)
    return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool WriteGammaFile(const std::string &path, const GammaFileContent &content) {
  return WriteFileBytes(path, GammaFileBytes(content));
}

std::vector<std::uint16_t> PowerRamp(double gamma) {
  std::vector<std::uint16_t> ramp(768);
  for (int j = 0; j < 256; ++j) {
    double level = 255.0 * std::pow(j / 255.0, 1.0 / gamma);
    auto entry = static_cast<std::uint16_t>(static_cast<int>(level) * 256);
    ramp[j] = ramp[256 + j] = ramp[512 + j] = entry;
  }
  return ramp;
}
